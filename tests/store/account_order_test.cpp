#include "store/account_order.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/cp1250.hpp"
#include "common/numbers.hpp"
#include "store/block_reader.hpp"
#include "support/journal_builder.hpp"

namespace zel {
namespace {

using test::JournalBuilder;

// Feeds the symbols as records 0, 1, ...; answers the number of the record
// that broke the order, or -1.
std::int64_t FirstBreak(const std::vector<std::string>& symbols) {
  AccountOrderGuard guard;
  std::int64_t broken = -1;
  for (std::size_t i = 0; i < symbols.size(); ++i) {
    const bool ok = guard.Feed(symbols[i], i);
    if (!ok && broken < 0) broken = static_cast<std::int64_t>(i);
    // Once broken, every record answers false, whatever its symbol.
    if (broken >= 0) {
      EXPECT_FALSE(ok) << i;
    }
  }
  EXPECT_EQ(guard.Broken(), broken >= 0);
  if (broken >= 0) {
    EXPECT_EQ(guard.BrokenRecord(), static_cast<std::uint64_t>(broken));
  }
  return broken;
}

TEST(AccountOrderGuard, FirstSymbolLowerThanTheOneBeforeBreaksTheOrder) {
  struct Row {
    const char* name;
    std::vector<std::string> symbols;
    std::int64_t broken;
  } rows[] = {
      {"equal and rising", {"100", "100", "130", "201", "201-01", "201-01", "2010"}, -1},
      {"shorter symbol first", {"20", "201", "201-01"}, -1},
      {"empty symbol first", {"", "100"}, -1},
      {"longer symbol first", {"201", "20"}, 1},
      {"lower symbol, then higher ones", {"100", "201", "130", "700", "800"}, 2},
      {"back to an earlier account", {"100", "130", "100"}, 2},
      {"bytes compare unsigned", {"Z", "\xA5", "\xA5"}, -1},
      {"unsigned, the other way", {"\xA5", "Z"}, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FirstBreak(row.symbols), row.broken);
  }
}

TEST(AccountOrderGuard, MessageNamesTheFileAndTheRecordFromOne) {
  EXPECT_EQ(AccountOrderMessage("R2024", 1),
            "Zbiór R2024 nie jest uporządkowany według kont (zapis 2)"_w);
  AccountOrderGuard guard;
  guard.Feed("200", 7);
  guard.Feed("100", 8);
  EXPECT_EQ(guard.Message("N2024"), "Zbiór N2024 nie jest uporządkowany według kont (zapis 9)"_w);
}

std::string FileOf(const std::vector<const char*>& symbols) {
  JournalBuilder b;
  for (const char* s : symbols) b.Post(s, 38000, 1, true);
  return b.Bytes();
}

TEST(SeekFirstAccount, ProbesOutOfOrderBreakTheGuard) {
  struct Row {
    const char* name;
    std::vector<const char*> file;
    const char* symbol;
    std::int64_t broken;     // record number, -1: none seen
    std::uint64_t position;  // the answer
  } rows[] = {
      {"ordered file", {"100", "100", "130", "201-01", "202", "700"}, "201", -1, 3},
      {"ordered, past the end", {"100", "130", "700"}, "800", -1, 3},
      // Probes 2 ("200"), 0, 1 ("300"): 300 stands before the lower 200.
      {"higher record before a probe", {"100", "300", "200", "400", "500"}, "150", 2, 5},
      // Probes 2, 0 ("300"), 1 ("100"): 100 is lower than 300 before it.
      {"lower record after a probe", {"300", "100", "400", "500", "600"}, "350", 1, 5},
      // The search does not look at records 0 and 1: nothing to see there.
      {"out of order where it does not look", {"300", "100", "400", "500", "600"}, "450", -1, 3},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string bytes = FileOf(row.file);
    MemorySource source(bytes);
    AccountOrderGuard guard;
    EXPECT_EQ(SeekFirstAccount(source, row.symbol, &guard), row.position);
    EXPECT_EQ(guard.Broken(), row.broken >= 0);
    if (row.broken >= 0) {
      EXPECT_EQ(guard.BrokenRecord(), static_cast<std::uint64_t>(row.broken));
    }
  }
}

TEST(AccountRangeReader, StopsAtARecordOutOfOrder) {
  struct Row {
    const char* name;
    std::vector<const char*> file;
    AccountRange range;
    int records;  // handed out before the stop
    std::int64_t broken;
  } rows[] = {
      {"ordered", {"100", "201", "201", "300"}, {"200", "250", false, 0}, 2, -1},
      {"inside the range", {"100", "201", "202", "201", "300"}, {"200", "250", false, 0}, 2, 3},
      {"whole file", {"100", "130", "100", "700"}, {"", "", false, 0}, 2, 2},
      {"seen by the search", {"300", "100", "400", "500", "600"}, {"350", "", false, 0}, 0, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string bytes = FileOf(row.file);
    MemorySource source(bytes);
    AccountRangeReader reader(source, "N.DFX", row.range);
    int records = 0;
    while (!reader.Next().IsSentinel()) ++records;
    EXPECT_EQ(records, row.records);
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(reader.OutOfOrder(), row.broken >= 0);
    if (row.broken >= 0) {
      EXPECT_EQ(reader.order().BrokenRecord(), static_cast<std::uint64_t>(row.broken));
    }
  }
}

TEST(AccountRangeReader, ControlRecordsAreNotChecked) {
  // A control record carries its document's total, not a posting: readers
  // skip it, so where it stands does not matter, to the search neither.
  JournalBuilder b;
  b.Post("201", 38000, 1, true);
  b.Post("202", 38000, 2, true);
  b.Post("203", 38000, 4, true);
  b.Control("100", "PK 1", 1);
  b.Post("204", 38000, 8, true);
  const std::string bytes = b.Bytes();
  MemorySource source(bytes);
  struct Row {
    const char* name;
    AccountRange range;
    Amount sum;
  } rows[] = {
      {"whole file", {}, 15},
      // The search probes record 2 ("203"), then the control record.
      {"from 2035", {"2035", "", false, 0}, 8},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    AccountRangeReader reader(source, "N.DFX", row.range);
    Amount sum = 0;
    for (const JournalEntry* e = &reader.Next(); !e->IsSentinel(); e = &reader.Next()) {
      sum += e->amount;
    }
    EXPECT_FALSE(reader.OutOfOrder());
    EXPECT_FALSE(AmountsDiffer(sum, row.sum));
  }
}

}  // namespace
}  // namespace zel
