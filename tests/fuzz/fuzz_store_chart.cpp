// Chart files of any content: the loader keeps its table sorted with unique
// symbols between slot 0 and the sentinel, refreshes keep it so, and
// lookups and descriptions of any symbol stay inside the table; merging
// one such table into another keeps the order.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "store/chart.hpp"

using namespace zel;

namespace {

void CheckTable(const ChartTable& t) {
  if (!t.SymbolAt(0).empty()) std::abort();
  if (t.SymbolAt(t.Count()).view() != kSentinelSymbol) std::abort();
  for (std::size_t i = 1; i < t.Count(); ++i) {
    if (CompareSymbols(t.SymbolAt(i - 1), t.SymbolAt(i)) >= 0) std::abort();
    if (t.SymbolAt(i).empty()) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  MemorySource source(bytes);
  ChartTable table;
  table.LoadFrom(source);
  CheckTable(table);
  if (table.Consumed() != size / kAccountRecordSize) std::abort();

  // Descriptions of symbols taken from the input, in every mode.
  for (std::size_t at = 0; at + 1 < size && at < 2000; at += 97) {
    const std::string symbol(
        bytes.substr(at + 1, std::min<std::size_t>(data[at] % 30, size - at - 1)));
    for (char mode : {'P', 'O', 'N', 'n', 'H', 'B'}) {
      const std::string text = table.Description(symbol, mode);
      if (text.size() > 250) std::abort();
    }
    if (table.Find(symbol) > table.Count()) std::abort();
  }

  // Applying the same records again as a refresh keeps the table sound.
  table.ApplyFrom(source, size % 3);
  CheckTable(table);

  // Attaching the input as a second chart to a chart of its first half:
  // the merged table stays sorted and unique, and the refresh position of
  // the chart it was merged into does not move.
  const std::size_t half = size / 2 / kAccountRecordSize * kAccountRecordSize;
  MemorySource first(bytes.substr(0, half));
  for (bool keep_named : {false, true}) {
    ChartTable mine;
    mine.LoadFrom(first);
    const std::uint64_t consumed = mine.Consumed();
    mine.MergeFrom(table, keep_named);
    CheckTable(mine);
    if (mine.Consumed() != consumed) std::abort();
  }

  FixedText<50> name, address;
  SplitOldName(bytes.substr(0, std::min<std::size_t>(size, 70)), &name, &address);
  return 0;
}
