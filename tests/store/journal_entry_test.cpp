#include "store/journal_entry.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "common/numbers.hpp"

namespace zel {
namespace {

JournalEntry FullEntry() {
  JournalEntry e;
  e.account = "201-01-0001";
  e.bookingDate = 38000;
  e.documentNo = "FV 12/2024";
  e.entryNo = 0x1234;
  e.side = 255;
  e.counterAccount = "700-1";
  e.journalNo = -2;
  e.amount = 1234.5L;
  e.currencyCode = "EUR";
  e.currencyRate = 43210;
  e.currencyAmount = -286.25L;
  e.transactionNo = "F/2024/7";
  e.documentDate = 37999;
  e.dueDate = 38014;
  e.groupDate = 37990;
  e.description = "Sprzedaz towaru";
  e.extraCode = "ABCDE";
  e.sourceFile = "K2024";
  e.operationDate = 37998;
  e.settledFlag = 255;
  e.maskIndex = 3;
  return e;
}

std::uint16_t U16(const RecordBytes& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::string Text(const RecordBytes& b, std::size_t at) {
  return std::string(reinterpret_cast<const char*>(b.data()) + at + 1, b[at]);
}

TEST(JournalEntryCodec, FieldsStandAtTheirOffsets) {
  const RecordBytes b = EncodeJournalEntry(FullEntry());
  struct Row {
    const char* name;
    std::size_t offset;
    std::string expected;
  } texts[] = {
      {"account", 0, "201-01-0001"},      {"documentNo", 28, "FV 12/2024"},
      {"counterAccount", 45, "700-1"},    {"currencyCode", 83, "EUR"},
      {"transactionNo", 101, "F/2024/7"}, {"description", 130, "Sprzedaz towaru"},
      {"extraCode", 161, "ABCDE"},        {"sourceFile", 167, "K2024"},
  };
  for (const Row& row : texts) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Text(b, row.offset), row.expected);
  }
  struct Word {
    const char* name;
    std::size_t offset;
    std::uint16_t expected;
  } words[] = {
      {"bookingDate", 26, 38000},    {"entryNo", 41, 0x1234}, {"journalNo", 71, 0xFFFE},
      {"documentDate", 122, 37999},  {"dueDate", 124, 38014}, {"groupDate", 128, 37990},
      {"operationDate", 188, 37998},
  };
  for (const Word& w : words) {
    SCOPED_TRACE(w.name);
    EXPECT_EQ(U16(b, w.offset), w.expected);
  }
  EXPECT_EQ(b[43], 255);
  EXPECT_EQ(b[192], 255);
  EXPECT_EQ(b[234], 3);
  EXPECT_EQ(b[87] | (b[88] << 8) | (b[89] << 16) | (b[90] << 24), 43210);
  // The amounts are the ten bytes of the x87 value.
  long double amount = 0;
  std::memcpy(&amount, b.data() + 73, 10);
  EXPECT_EQ(amount, 1234.5L);
  std::memcpy(&amount, b.data() + 91, 10);
  EXPECT_EQ(amount, -286.25L);
  // Reserved ranges are zero.
  for (std::size_t at : {44u, 126u, 127u, 176u, 187u, 190u, 191u, 193u, 233u, 235u, 249u})
    EXPECT_EQ(b[at], 0) << "byte " << at;
}

TEST(JournalEntryCodec, RoundTripKeepsEveryField) {
  const JournalEntry in = FullEntry();
  JournalEntry out;
  ASSERT_TRUE(DecodeJournalEntry(EncodeJournalEntry(in).data(), &out));
  EXPECT_EQ(EncodeJournalEntry(out), EncodeJournalEntry(in));
  EXPECT_EQ(out.account, in.account);
  EXPECT_EQ(out.journalNo, -2);
  EXPECT_EQ(out.currencyRate, 43210);
  EXPECT_FALSE(AmountsDiffer(out.amount, in.amount));
  EXPECT_EQ(out.damage, 0);
}

TEST(JournalEntryCodec, BytesAfterTextsAreWrittenAsZero) {
  RecordBytes dirty;
  dirty.fill(0xAA);
  dirty[0] = 3;   // account: three bytes of text, then garbage
  dirty[28] = 2;  // documentNo: two bytes of text, then garbage
  JournalEntry e;
  DecodeJournalEntry(dirty.data(), &e);
  const RecordBytes clean = EncodeJournalEntry(e);
  EXPECT_EQ(clean[3], 0xAA);
  for (std::size_t at = 4; at < 26; ++at) EXPECT_EQ(clean[at], 0) << "byte " << at;
  EXPECT_EQ(clean[30], 0xAA);
  for (std::size_t at = 31; at < 41; ++at) EXPECT_EQ(clean[at], 0) << "byte " << at;
}

TEST(JournalEntryCodec, LengthBytesAboveCapacityAreClamped) {
  RecordBytes b{};
  b[0] = 200;   // account holds 25
  b[28] = 255;  // documentNo holds 12
  b[130] = 31;  // description holds 30
  std::memset(b.data() + 1, 'A', 25);
  JournalEntry e;
  DecodeJournalEntry(b.data(), &e);
  EXPECT_EQ(e.account.size(), 25u);
  EXPECT_EQ(e.documentNo.size(), 12u);
  EXPECT_EQ(e.description.size(), 30u);
}

TEST(AmountCodec, RejectsWhatIsNotAUsableNumber) {
  struct Row {
    const char* name;
    std::uint8_t bytes[10];
    bool ok;
  } rows[] = {
      {"zero", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, true},
      {"one", {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}, true},
      {"minus one", {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0xBF}, true},
      {"denormal", {1, 0, 0, 0, 0, 0, 0, 0, 0, 0}, true},
      {"infinity", {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}, false},
      {"minus infinity", {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0xFF}, false},
      {"quiet NaN", {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F}, false},
      {"pseudo-NaN", {1, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0x7F}, false},
      {"unnormal", {0, 0, 0, 0, 0, 0, 0, 0x40, 0xFF, 0x3F}, false},
      {"pseudo-denormal", {0, 0, 0, 0, 0, 0, 0, 0x80, 0, 0}, false},
      {"1e4000", {0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0x74}, false},
      {"all FF", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Amount x = 99;
    EXPECT_EQ(DecodeAmount(row.bytes, &x), row.ok);
    EXPECT_TRUE(std::isfinite(x));
    if (!row.ok) {
      EXPECT_EQ(x, 0);
    }
  }
  Amount one = 0;
  DecodeAmount(rows[1].bytes, &one);
  EXPECT_EQ(one, 1.0L);
}

TEST(AmountCodec, EncodesFiniteValuesExactlyAndTheRestAsZero) {
  for (Amount x : {0.0L, 0.01L, -12345678.9012L, 1e17L}) {
    std::uint8_t b[10];
    EncodeAmount(x, b);
    Amount back = 1;
    ASSERT_TRUE(DecodeAmount(b, &back));
    EXPECT_EQ(back, x);
  }
  std::uint8_t b[10];
  EncodeAmount(std::numeric_limits<Amount>::quiet_NaN(), b);
  for (std::uint8_t c : b) EXPECT_EQ(c, 0);
}

TEST(JournalEntryCodec, DamagedAmountsAreFlaggedAndReadAsZero) {
  JournalEntry in = FullEntry();
  RecordBytes b = EncodeJournalEntry(in);
  const std::uint8_t nan[10] = {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F};
  std::memcpy(b.data() + 73, nan, 10);
  JournalEntry out;
  EXPECT_FALSE(DecodeJournalEntry(b.data(), &out));
  EXPECT_TRUE(out.AmountDamaged());
  EXPECT_EQ(out.amount, 0);
  EXPECT_EQ(out.account, in.account);

  b = EncodeJournalEntry(in);
  std::memcpy(b.data() + 91, nan, 10);
  EXPECT_FALSE(DecodeJournalEntry(b.data(), &out));
  EXPECT_FALSE(out.AmountDamaged());
  EXPECT_EQ(out.damage, kCurrencyAmountDamaged);
  EXPECT_EQ(out.amount, 1234.5L);
}

TEST(SymbolOrder, ComparesLengthPrefixedBytes) {
  struct Row {
    const char* name;
    std::string a, b;
    int sign;
  } rows[] = {
      {"equal", "201", "201", 0},
      {"shorter first", "20", "201", -1},
      {"byte decides", "202", "2019", 1},
      {"empty first", "", "0", -1},
      {"high bytes are above ASCII", "\xB9", "z", 1},
      {"sentinel above everything", "\xFE", "\xFD\xFF\xFF", 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const int c = CompareSymbols(row.a, row.b);
    EXPECT_EQ((c > 0) - (c < 0), row.sign);
    EXPECT_EQ(CompareSymbols(row.b, row.a) > 0, row.sign < 0);
  }
}

TEST(DocumentOrder, FieldsDecideInTurn) {
  const JournalEntry base = FullEntry();
  struct Row {
    const char* name;
    void (*change)(JournalEntry&);
  } rows[] = {
      {"documentNo", [](JournalEntry& e) { e.documentNo = "FV 13/2024"; }},
      {"entryNo",
       [](JournalEntry& e) {
         e.entryNo = 0x1235;
         e.documentNo = "FV 12/2024";
       }},
      {"transactionNo", [](JournalEntry& e) { e.transactionNo = "F/2024/8"; }},
      {"amount", [](JournalEntry& e) { e.amount = 1234.51L; }},
      {"dueDate", [](JournalEntry& e) { e.dueDate = 38015; }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    JournalEntry later = base;
    later.side = 0;  // a smaller side must not outweigh an earlier field
    row.change(later);
    EXPECT_TRUE(DocumentOrderLess(base, later));
    EXPECT_FALSE(DocumentOrderLess(later, base));
  }
  JournalEntry credit = base;
  credit.side = 0;
  EXPECT_TRUE(DocumentOrderLess(credit, base));
  JournalEntry near = base;
  near.amount = 1234.50001L;  // equal after Round4
  EXPECT_EQ(CompareDocumentOrder(base, near), 0);
}

TEST(PostingRules, DueDateDefaultsAndControlRecords) {
  JournalEntry e = FullEntry();
  EXPECT_EQ(EffectiveDueDate(e, true), 38014);
  e.dueDate = 0;
  EXPECT_EQ(EffectiveDueDate(e, false), 38000);
  EXPECT_EQ(EffectiveDueDate(e, true), 38014);  // a debit is a receivable: +14
  e.side = 0;
  EXPECT_EQ(EffectiveDueDate(e, true), 38000);
  e.side = 1;
  e.bookingDate = 0xFFFA;
  EXPECT_EQ(EffectiveDueDate(e, true), 0xFFFF);  // never wraps around
  e.journalNo = -1;
  EXPECT_TRUE(e.IsControl());
  e.journalNo = 0;
  EXPECT_FALSE(e.IsControl());
}

TEST(PostingRules, CurrencyCodeMustMatchExactly) {
  struct Row {
    const char* name;
    const char* filter;
    Amount expected;
  } rows[] = {
      {"firm's currency", "", 1234.5L}, {"same code", "EUR", -286.25L},
      {"other case", "eur", 1234.5L},   {"shorter", "EU", 1234.5L},
      {"other code", "USD", 1234.5L},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    JournalEntry e = FullEntry();
    EXPECT_TRUE(ApplyCurrency(e, row.filter));
    EXPECT_EQ(e.amount, row.expected);
  }
  JournalEntry damaged = FullEntry();
  damaged.damage = kCurrencyAmountDamaged;
  damaged.currencyAmount = 0;
  EXPECT_FALSE(ApplyCurrency(damaged, "EUR"));
  EXPECT_TRUE(damaged.AmountDamaged());
  EXPECT_EQ(damaged.amount, 0);
}

}  // namespace
}  // namespace zel
