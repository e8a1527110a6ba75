#include "store/journal_entry.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "common/numbers.hpp"

namespace zel {

namespace {

std::uint16_t GetU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t GetU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void PutU32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

template <std::size_t N>
void Field(const std::uint8_t* p, FixedText<N>& t) {
  t.assign(std::string_view(reinterpret_cast<const char*>(p + 1), std::min<std::size_t>(p[0], N)));
}

}  // namespace

bool DecodeAmount(const std::uint8_t* p, Amount* out) {
  *out = 0;
  if (!AmountUsable(p)) return false;
  static_assert(sizeof(Amount) >= 10);
  std::memcpy(out, p, 10);  // x86-64: the first ten bytes are the value
  return true;
}

void EncodeAmount(Amount value, std::uint8_t* p) {
  if (!std::isfinite(value)) value = 0;
  std::uint8_t bytes[sizeof(Amount)] = {};
  std::memcpy(bytes, &value, sizeof(Amount));
  std::memcpy(p, bytes, 10);
}

bool JournalEntry::IsSentinel() const {
  return account.view() == kSentinelSymbol;
}

bool DecodeJournalEntry(const std::uint8_t* p, JournalEntry* e) {
  Field(p + 0, e->account);
  e->bookingDate = GetU16(p + 26);
  Field(p + 28, e->documentNo);
  e->entryNo = GetU16(p + 41);
  e->side = p[43];
  Field(p + 45, e->counterAccount);
  e->journalNo = static_cast<std::int16_t>(GetU16(p + 71));
  e->damage = 0;
  if (!DecodeAmount(p + 73, &e->amount)) e->damage |= kAmountDamaged;
  Field(p + 83, e->currencyCode);
  e->currencyRate = static_cast<std::int32_t>(GetU32(p + 87));
  if (!DecodeAmount(p + 91, &e->currencyAmount)) e->damage |= kCurrencyAmountDamaged;
  Field(p + 101, e->transactionNo);
  e->documentDate = GetU16(p + 122);
  e->dueDate = GetU16(p + 124);
  e->groupDate = GetU16(p + 128);
  Field(p + 130, e->description);
  Field(p + 161, e->extraCode);
  Field(p + 167, e->sourceFile);
  e->operationDate = GetU16(p + 188);
  e->settledFlag = p[192];
  e->maskIndex = p[234];
  return e->damage == 0;
}

void EncodeJournalEntry(const JournalEntry& e, std::uint8_t* p) {
  std::memset(p, 0, kJournalRecordSize);
  namespace f = journal_field;
  e.account.Encode(p + f::kAccount);
  PutRecordU16(p + f::kBookingDate, e.bookingDate);
  e.documentNo.Encode(p + f::kDocumentNo);
  PutRecordU16(p + f::kEntryNo, e.entryNo);
  p[f::kSide] = e.side;
  e.counterAccount.Encode(p + 45);
  PutRecordU16(p + f::kJournalNo, static_cast<std::uint16_t>(e.journalNo));
  EncodeAmount(e.amount, p + f::kAmount);
  e.currencyCode.Encode(p + 83);
  PutU32(p + 87, static_cast<std::uint32_t>(e.currencyRate));
  EncodeAmount(e.currencyAmount, p + 91);
  e.transactionNo.Encode(p + f::kTransactionNo);
  PutRecordU16(p + 122, e.documentDate);
  PutRecordU16(p + 124, e.dueDate);
  PutRecordU16(p + 128, e.groupDate);
  e.description.Encode(p + 130);
  e.extraCode.Encode(p + f::kExtraCode);
  e.sourceFile.Encode(p + 167);
  PutRecordU16(p + 188, e.operationDate);
  p[192] = e.settledFlag;
  p[234] = e.maskIndex;
}

RecordBytes EncodeJournalEntry(const JournalEntry& e) {
  RecordBytes bytes;
  EncodeJournalEntry(e, bytes.data());
  return bytes;
}

int CompareSymbols(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  if (n != 0) {
    const int c = std::memcmp(a.data(), b.data(), n);  // memcmp compares unsigned bytes
    if (c != 0) return c;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool AccountOrderLess(const JournalEntry& a, const JournalEntry& b) {
  return CompareSymbols(a.account, b.account) < 0;
}

int CompareDocumentOrder(const JournalEntry& a, const JournalEntry& b) {
  if (int c = CompareSymbols(a.documentNo, b.documentNo); c != 0) return c;
  if (a.entryNo != b.entryNo) return a.entryNo < b.entryNo ? -1 : 1;
  if (int c = CompareSymbols(a.transactionNo, b.transactionNo); c != 0) return c;
  const Amount x = Round4(a.amount);
  const Amount y = Round4(b.amount);
  if (x < y) return -1;
  if (y < x) return 1;
  if (a.dueDate != b.dueDate) return a.dueDate < b.dueDate ? -1 : 1;
  if (a.side != b.side) return a.side < b.side ? -1 : 1;
  return 0;
}

const JournalEntry& SentinelEntry() {
  static const JournalEntry sentinel = [] {
    JournalEntry e;
    e.account = kSentinelSymbol;
    return e;
  }();
  return sentinel;
}

DayNo EffectiveDueDate(const JournalEntry& e, bool receivables) {
  if (e.dueDate != 0) return e.dueDate;
  unsigned due = e.bookingDate;
  if (receivables && e.side != 0) due += 14;
  return static_cast<DayNo>(std::min<unsigned>(due, 0xFFFFu));
}

bool ApplyCurrency(JournalEntry& e, std::string_view currency_code) {
  if (currency_code.empty() || e.currencyCode.view() != currency_code) return true;
  e.amount = e.currencyAmount;
  if ((e.damage & kCurrencyAmountDamaged) != 0) {
    e.damage |= kAmountDamaged;
    e.amount = 0;
    return false;
  }
  return true;
}

}  // namespace zel
