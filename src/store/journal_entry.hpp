// The journal entry: one posting of an amount to one account, stored as a
// fixed 250-byte little-endian record in the journal files (".DFX", ".AFX").
//
// Records are decoded from and encoded to byte arrays field by field; nothing
// casts a packed struct. Decoding never fails: a length byte above a text's
// capacity is clamped, and an amount whose ten bytes are not a usable finite
// number reads as 0 with a damage bit set, so it can never reach a total.
// Texts stay in the bytes of the file: `transactionNo` and `description` are
// DOS Mazovia (DosToWin to show them), the rest plain ASCII. Reserved byte
// ranges are not kept; the encoder writes them as zero.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/fixed_text.hpp"
#include "common/types.hpp"

namespace zel {

inline constexpr std::size_t kJournalRecordSize = 250;

using AccountSymbol = FixedText<25>;
using RecordBytes = std::array<std::uint8_t, kJournalRecordSize>;

// Where the fields a writer sets one by one lie in a record (the offsets
// listed in JournalEntry), for code that fills records without an entry.
namespace journal_field {
inline constexpr std::size_t kAccount = 0, kBookingDate = 26, kDocumentNo = 28, kEntryNo = 41,
                             kSide = 43, kJournalNo = 71, kAmount = 73, kTransactionNo = 101,
                             kExtraCode = 161;
}  // namespace journal_field

// A 16-bit field of a record, least significant byte first.
inline void PutRecordU16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

// The end-of-data key: one character, byte 254; above every real symbol.
inline constexpr std::string_view kSentinelSymbol = "\xFE";

// Damage bits of a decoded record.
inline constexpr std::uint8_t kAmountDamaged = 1;          // `amount` unreadable
inline constexpr std::uint8_t kCurrencyAmountDamaged = 2;  // `currencyAmount` unreadable

struct JournalEntry {
  AccountSymbol account;          // 0, 26, string[25], ASCII
  DayNo bookingDate = 0;          // 26, 2, u16
  FixedText<12> documentNo;       // 28, 13, string[12], ASCII; first two characters: kind
  std::uint16_t entryNo = 0;      // 41, 2, u16, from 1
  std::uint8_t side = 0;          // 43, 1, non-zero debit ("Wn"), zero credit ("Ma")
                                  // 44, 1, reserved
  AccountSymbol counterAccount;   // 45, 26, string[25], ASCII; may be empty
  std::int16_t journalNo = 0;     // 71, 2, s16; 0 not numbered, -1 control record
  Amount amount = 0;              // 73, 10, x87 extended real
  FixedText<3> currencyCode;      // 83, 4, string[3], ASCII; empty = firm's currency
  std::int32_t currencyRate = 0;  // 87, 4, s32, units of 0.0001
  Amount currencyAmount = 0;      // 91, 10, x87 extended real
  FixedText<20> transactionNo;    // 101, 21, string[20], DOS Mazovia; settlement key
  DayNo documentDate = 0;         // 122, 2, u16
  DayNo dueDate = 0;              // 124, 2, u16; 0 = not given
                                  // 126, 2, reserved
  DayNo groupDate = 0;            // 128, 2, u16; ".AFX" only
  FixedText<30> description;      // 130, 31, string[30], DOS Mazovia
  FixedText<5> extraCode;         // 161, 6, string[5]
  FixedText<8> sourceFile;        // 167, 9, string[8], ASCII
                                  // 176, 12, reserved
  DayNo operationDate = 0;        // 188, 2, u16
                                  // 190, 2, reserved
  std::uint8_t settledFlag = 0;   // 192, 1, ".AFX" only: 255 when the group nets to zero
                                  // 193, 41, reserved
  std::uint8_t maskIndex = 0;     // 234, 1, ".AFX" only: 1-based mask number
                                  // 235, 15, reserved

  std::uint8_t damage = 0;  // not stored: kAmountDamaged | kCurrencyAmountDamaged

  bool IsControl() const { return journalNo == -1; }
  bool IsDebit() const { return side != 0; }
  bool IsSentinel() const;
  bool AmountDamaged() const { return (damage & kAmountDamaged) != 0; }
};

// The ten bytes of an x87 extended real. Decoding answers false (and sets 0)
// for NaN, infinity, the unnormal and pseudo-denormal patterns and for
// magnitudes of 2^60 (about 1.15e18) and more, which no book-keeping amount
// reaches and whose sums could overflow; encoding writes a value that is not
// finite as zero. AmountUsable is the same test without the value.
inline bool AmountUsable(const std::uint8_t* p) {
  const unsigned exponent = (p[8] | (p[9] << 8)) & 0x7FFFu;
  const bool integer_bit = (p[7] & 0x80u) != 0;
  // A zero exponent is zero or a denormal, and must not carry the explicit
  // integer bit (pseudo-denormal). Otherwise the integer bit is required
  // (else "unnormal"), and the exponent stays below that of 2^60, which also
  // keeps out infinity and NaN (all ones).
  if (exponent == 0) return !integer_bit;
  return integer_bit && exponent < 16383u + 60u;
}
bool DecodeAmount(const std::uint8_t* p, Amount* out);
void EncodeAmount(Amount value, std::uint8_t* p);

// Decodes 250 bytes at p. Returns false when an amount was damaged (the
// record's damage bits say which); the record is filled either way.
bool DecodeJournalEntry(const std::uint8_t* p, JournalEntry* out);
// Encodes into 250 bytes at p: bytes after every text and reserved bytes zero.
void EncodeJournalEntry(const JournalEntry& e, std::uint8_t* p);
RecordBytes EncodeJournalEntry(const JournalEntry& e);

// Length-prefixed symbol order: unsigned bytes over the common length, then
// the shorter first. Negative, zero or positive.
int CompareSymbols(std::string_view a, std::string_view b);
inline bool SymbolLess(std::string_view a, std::string_view b) {
  return CompareSymbols(a, b) < 0;
}

// Annual (account) order.
bool AccountOrderLess(const JournalEntry& a, const JournalEntry& b);
// Document order: documentNo, entryNo, transactionNo, amount (after Round4),
// dueDate, side.
int CompareDocumentOrder(const JournalEntry& a, const JournalEntry& b);
inline bool DocumentOrderLess(const JournalEntry& a, const JournalEntry& b) {
  return CompareDocumentOrder(a, b) < 0;
}

// The record a block reader puts after the last record read.
const JournalEntry& SentinelEntry();

// Due date a report uses: `dueDate`, or when it is 0 the booking date, plus
// 14 days for a debit posting when the report treats debits as receivables.
// The day number never wraps around.
DayNo EffectiveDueDate(const JournalEntry& e, bool receivables);

// Restricting a report to a currency (empty code: the firm's currency, no
// change). A posting whose currency code equals the code exactly takes
// `currencyAmount` in place of `amount`. Returns false when that currency
// amount was damaged: the amount is then 0 and the caller counts the record
// as damaged.
bool ApplyCurrency(JournalEntry& e, std::string_view currency_code);

}  // namespace zel
