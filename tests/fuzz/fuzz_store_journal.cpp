// Journal files of any content: the block reader, the account search and
// the range reader never crash, never hand out a damaged amount or a record
// out of account order, and every decoded record encodes and decodes to itself.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "store/block_reader.hpp"

using namespace zel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  MemorySource source(bytes);
  const std::uint64_t records = size / kJournalRecordSize;

  BlockReader reader(source, "F.DFX", size % 7 == 0 ? 200 : 1 + size % 13);
  Amount debit = 0;
  Amount credit = 0;
  std::uint64_t seen = 0;
  for (;;) {
    const JournalEntry& e = reader.Next();
    if (reader.AtEnd()) {
      if (!e.IsSentinel()) std::abort();
      break;
    }
    ++seen;
    if (e.AmountDamaged()) std::abort();
    (e.IsDebit() ? debit : credit) += e.amount;
    JournalEntry again;
    const RecordBytes encoded = EncodeJournalEntry(e);
    DecodeJournalEntry(encoded.data(), &again);
    if (EncodeJournalEntry(again) != encoded) std::abort();
  }
  if (!std::isfinite(debit) || !std::isfinite(credit)) std::abort();
  if (seen + reader.DamagedCount() != records) std::abort();

  if (records > 0) {
    AccountSymbol wanted = AccountSymbol::Decode(data);
    const std::uint64_t at = SeekFirstAccount(source, wanted);
    if (at > records) std::abort();
    AccountRange range;
    range.first = wanted.str();
    range.last = range.first;
    range.last_is_prefix = (data[0] & 1) != 0;
    range.period_end = static_cast<DayNo>(size);
    AccountRangeReader ranged(source, "F.DFX", range, 50);
    Amount sum = 0;
    AccountSymbol last;
    for (const JournalEntry* e = &ranged.Next(); !ranged.AtEnd(); e = &ranged.Next()) {
      if (e->IsControl() || e->AmountDamaged()) std::abort();
      if (range.period_end != 0 && e->bookingDate > range.period_end) std::abort();
      // The order guard stops the reader before a record out of order.
      if (CompareSymbols(e->account, last) < 0) std::abort();
      last = e->account;
      sum += e->amount;
    }
    if (!std::isfinite(sum)) std::abort();
  }
  return 0;
}
