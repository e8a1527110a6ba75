#include "store/block_reader.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "common/numbers.hpp"
#include "store/status_capture.hpp"
#include "support/journal_builder.hpp"

namespace zel {
namespace {

using test::JournalBuilder;
using test::StatusCapture;

// n postings to accounts "A0000".."A(n-1)", amount = record number + 1.
JournalBuilder Numbered(int n) {
  JournalBuilder b;
  for (int i = 0; i < n; ++i) {
    char account[16];
    std::snprintf(account, sizeof account, "A%04d", i);
    b.Post(account, 38000, i + 1, i % 2 == 0);
  }
  return b;
}

struct Scan {
  int records = 0;
  Amount sum = 0;
  int sentinels_after = 0;
};

Scan ScanAll(RecordSource& source, std::size_t block = kJournalBlock) {
  BlockReader reader(source, "T.DFX", block);
  Scan s;
  for (;;) {
    const JournalEntry& e = reader.Next();
    if (e.IsSentinel()) break;
    ++s.records;
    s.sum += e.amount;
  }
  for (int i = 0; i < 3; ++i) s.sentinels_after += reader.Next().IsSentinel() ? 1 : 0;
  return s;
}

TEST(BlockReader, SentinelEndsEveryFileLength) {
  struct Row {
    const char* name;
    int records;
    std::size_t block;
    std::size_t tail;  // stray bytes after the last whole record
  } rows[] = {
      {"empty file", 0, 200, 0},           {"one record", 1, 200, 0},
      {"exactly one block", 200, 200, 0},  {"one block and one", 201, 200, 0},
      {"three small blocks", 150, 50, 0},  {"size not a multiple of 250", 7, 200, 123},
      {"only a torn record", 0, 200, 249},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string bytes = Numbered(row.records).Bytes() + std::string(row.tail, 'x');
    MemorySource source(bytes);
    const Scan s = ScanAll(source, row.block);
    EXPECT_EQ(s.records, row.records);
    EXPECT_EQ(s.sentinels_after, 3);
    EXPECT_FALSE(AmountsDiffer(s.sum, Amount(row.records) * (row.records + 1) / 2));
  }
}

TEST(BlockReader, StartsAtARecordAndCountsPositions) {
  const std::string bytes = Numbered(450).Bytes();
  MemorySource source(bytes);
  BlockReader reader(source, "T.DFX", 200, 390);
  const JournalEntry& first = reader.Next();
  EXPECT_EQ(first.account.view(), "A0390");
  EXPECT_TRUE(reader.StartedBlock());
  EXPECT_EQ(reader.RecordNumber(), 390u);
  int rest = 0;
  while (!reader.Next().IsSentinel()) ++rest;
  EXPECT_EQ(rest, 59);
  EXPECT_EQ(reader.Position(), 450u);
  EXPECT_TRUE(reader.AtEnd());
}

TEST(BlockReader, DamagedAmountsAreSkippedAndReportedOnce) {
  JournalBuilder b = Numbered(5);
  const std::uint8_t nan[10] = {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F};
  const std::uint8_t unnormal[10] = {0, 0, 0, 0, 0, 0, 0, 0x40, 0x05, 0x40};
  b.SetRawAmount(1, nan);
  b.SetRawAmount(3, unnormal);
  const std::string bytes = b.Bytes();
  MemorySource source(bytes);
  StatusCapture status;
  BlockReader reader(source, "N2024.DFX");
  Amount sum = 0;
  int n = 0;
  for (const JournalEntry* e = &reader.Next(); !e->IsSentinel(); e = &reader.Next()) {
    sum += e->amount;
    ++n;
  }
  EXPECT_EQ(n, 3);
  EXPECT_TRUE(std::isfinite(sum));
  EXPECT_FALSE(AmountsDiffer(sum, 1 + 3 + 5));
  EXPECT_EQ(reader.DamagedCount(), 2u);
  ASSERT_EQ(status.messages.size(), 1u);
  EXPECT_EQ(status.messages[0].second, kWarning);
  EXPECT_NE(status.messages[0].first.find("nr 2"), std::string::npos);
  EXPECT_NE(status.messages[0].first.find("N2024.DFX"), std::string::npos);

  BlockReader keeping(source, "N2024.DFX");
  keeping.KeepDamaged(true);
  keeping.Next();
  const JournalEntry& damaged = keeping.Next();
  EXPECT_TRUE(damaged.AmountDamaged());
  EXPECT_EQ(damaged.amount, 0);
}

TEST(BlockReader, ViewsAgreeWithDecodedRecords) {
  JournalBuilder b = Numbered(3);
  b.Control("A9999", "PK 9", 77);
  b[1].bookingDate = 38123;
  const std::string bytes = b.Bytes();
  MemorySource source(bytes);
  BlockReader views(source, "T.DFX");
  BlockReader entries(source, "T.DFX");
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const JournalView v = views.NextView();
    const JournalEntry& e = entries.Next();
    EXPECT_EQ(v.account(), e.account.view());
    EXPECT_EQ(v.bookingDate(), e.bookingDate);
    EXPECT_EQ(v.IsDebit(), e.IsDebit());
    EXPECT_EQ(v.IsControl(), e.IsControl());
    EXPECT_EQ(v.amount(), e.amount);
  }
  EXPECT_TRUE(views.NextView().IsSentinel());
  EXPECT_TRUE(views.NextView().IsSentinel());
}

TEST(SeekFirstAccount, FindsTheFirstRecordNotBelow) {
  JournalBuilder b;
  for (const char* a : {"100", "100", "130", "201-01", "201-01", "201-02", "202", "700"})
    b.Post(a, 38000, 1, true);
  const std::string bytes = b.Bytes();
  MemorySource source(bytes);
  struct Row {
    const char* name;
    const char* symbol;
    std::uint64_t expected;
  } rows[] = {
      {"before everything", "0", 0},
      {"empty symbol", "", 0},
      {"first of equal ones", "201-01", 3},
      {"prefix", "201", 3},
      {"between", "201-015", 5},
      {"last account", "700", 7},
      {"past the last account", "800", 8},
      {"sentinel", "\xFE", 8},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(SeekFirstAccount(source, row.symbol), row.expected);
  }
  const std::string empty;
  MemorySource none(empty);
  EXPECT_EQ(SeekFirstAccount(none, "100"), 0u);
}

TEST(AccountRangeReader, ReadsOneRangeOfAnAnnualFile) {
  JournalBuilder b;
  b.Post("100", 38000, 1, true);
  b.Post("201-01", 37900, 10, true);  // before the period: kept
  b.Control("201-01", "PK 1", 999);   // never a posting
  b.Post("201-01", 38100, 20, false);
  b.Post("201-02", 38400, 40, true);  // after the period end
  b.Post("201-02", 38200, 80, true);
  b.Post("2010", 38000, 160, true);
  b.Post("202", 38000, 320, true);
  const std::string bytes = b.Bytes();
  MemorySource source(bytes);
  struct Row {
    const char* name;
    AccountRange range;
    Amount sum;
  } rows[] = {
      {"one account", {"201-01", "201-01", false, 38365}, 30},
      {"prefix range", {"201", "201", true, 38365}, 270},
      {"up to a symbol", {"201", "201-02", false, 38365}, 110},
      {"no period limit", {"201-02", "201-02", false, 0}, 120},
      {"whole file", {"", "", false, 0}, 631},
      {"start past the last account", {"300", "", false, 0}, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    AccountRangeReader reader(source, "N.DFX", row.range);
    Amount sum = 0;
    for (const JournalEntry* e = &reader.Next(); !e->IsSentinel(); e = &reader.Next()) {
      EXPECT_FALSE(e->IsControl());
      sum += e->amount;
    }
    EXPECT_FALSE(AmountsDiffer(sum, row.sum)) << static_cast<double>(sum);
    EXPECT_TRUE(reader.Next().IsSentinel());
  }
}

}  // namespace
}  // namespace zel
