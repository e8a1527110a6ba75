#include "support/journal_builder.hpp"

#include <cstring>
#include <fstream>

#include "platform/file.hpp"

namespace zel::test {

JournalEntry Posting(std::string_view account, DayNo booking, Amount amount, bool debit,
                     std::string_view document, std::uint16_t entry) {
  JournalEntry e;
  e.account = account;
  e.bookingDate = booking;
  e.documentDate = booking;
  e.operationDate = booking;
  e.amount = amount;
  e.side = debit ? 255 : 0;
  e.documentNo = document;
  e.entryNo = entry;
  return e;
}

JournalEntry& JournalBuilder::Add(const JournalEntry& e) {
  entries_.push_back(e);
  return entries_.back();
}

JournalEntry& JournalBuilder::Post(std::string_view account, DayNo booking, Amount amount,
                                   bool debit, std::string_view document, std::uint16_t entry) {
  return Add(Posting(account, booking, amount, debit, document, entry));
}

JournalEntry& JournalBuilder::Control(std::string_view account, std::string_view document,
                                      Amount total) {
  JournalEntry e = Posting(account, 0, total, true, document, 0);
  e.journalNo = -1;
  return Add(e);
}

void JournalBuilder::SetRawAmount(std::size_t index, const std::uint8_t (&bytes)[10]) {
  raw_amounts_.emplace_back(index, std::vector<std::uint8_t>(bytes, bytes + 10));
}

std::string JournalBuilder::Bytes() const {
  std::string out(entries_.size() * kJournalRecordSize, '\0');
  auto* p = reinterpret_cast<std::uint8_t*>(out.data());
  for (std::size_t i = 0; i < entries_.size(); ++i)
    EncodeJournalEntry(entries_[i], p + i * kJournalRecordSize);
  for (const auto& [index, bytes] : raw_amounts_)
    if (index < entries_.size()) std::memcpy(p + index * kJournalRecordSize + 73, bytes.data(), 10);
  return out;
}

bool JournalBuilder::WriteTo(std::string_view spec_path) const {
  return WriteBytes(spec_path, Bytes());
}
bool JournalBuilder::WriteToNative(const std::string& native_path) const {
  return WriteBytesNative(native_path, Bytes());
}

AccountRecord& ChartBuilder::Add(std::string_view symbol, std::string_view name,
                                 std::string_view address, std::string_view nip,
                                 std::string_view short_name) {
  AccountRecord r;
  r.symbol = symbol;
  r.status = 1;
  r.name = name;
  r.address = address;
  r.nip = nip;
  r.shortName = short_name;
  records_.push_back(r);
  return records_.back();
}

AccountRecord& ChartBuilder::Delete(std::string_view symbol) {
  AccountRecord r;
  r.symbol = symbol;
  r.status = 1;
  records_.push_back(r);
  return records_.back();
}

std::string ChartBuilder::Bytes() const {
  std::string out(records_.size() * kAccountRecordSize, '\0');
  auto* p = reinterpret_cast<std::uint8_t*>(out.data());
  for (std::size_t i = 0; i < records_.size(); ++i) {
    AccountRecord dos = records_[i];
    AccountTextsToDos(dos);
    EncodeAccountRecord(dos, p + i * kAccountRecordSize);
  }
  return out;
}

bool ChartBuilder::WriteTo(std::string_view spec_path) const {
  return WriteBytes(spec_path, Bytes());
}
bool ChartBuilder::WriteToNative(const std::string& native_path) const {
  return WriteBytesNative(native_path, Bytes());
}

bool WriteBytes(std::string_view spec_path, std::string_view bytes) {
  File f;
  if (!f.Open(spec_path, Access::kReadWrite, Share::kExclusive, Disposition::kCreateAlways))
    return false;
  const bool ok = bytes.empty() || f.WriteAt(0, bytes.data(), bytes.size());
  return f.Close() && ok;
}

bool WriteBytesNative(const std::string& native_path, std::string_view bytes) {
  std::ofstream out(native_path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace zel::test
