// Any bytes as an annual journal file through the trial balance, every kind
// and some depths chosen by the first bytes. Invariants: no crash; a file
// whose postings are not in account order is refused and leaves no report;
// any other ends with its "RAZEM" and "WYNIK" lines (a damaged record is
// skipped, never summed).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "output/report_document.hpp"
#include "shell/status.hpp"
#include "statements/trial_balance.hpp"
#include "store/block_reader.hpp"
#include "store/chart.hpp"
#include "store/record_source.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  zel::SetStatusSink(nullptr);
  zel::TrialBalanceParams p;
  p.kind = static_cast<zel::TrialBalanceKind>(data[0] % 5);
  p.pod1 = data[1] % 3;
  p.pod3 = p.pod1 + data[2] % 3;
  p.pod7 = data[3] % 2 ? 0 : p.pod3 + 3;
  p.mode = "BONHP"[data[3] % 5];
  p.bo_date = 365 * 104;
  p.from = static_cast<zel::DayNo>(p.bo_date + 1);
  p.to = static_cast<zel::DayNo>(p.bo_date + 500);
  if (data[2] & 0x80) p.masks = {"2*", "40?"};
  static zel::ChartTable chart;
  p.chart = &chart;
  zel::MemorySource source(
      std::string_view(reinterpret_cast<const char*>(data + 4), size - 4));
  // The order, checked here apart from the reader's own guard: every record
  // a total could read (control records aside) not below the one before it.
  bool in_order = true;
  {
    zel::BlockReader reader(source, "FUZZ");
    std::string last;
    for (const zel::JournalEntry* e = &reader.Next(); !e->IsSentinel(); e = &reader.Next()) {
      if (e->IsControl()) continue;
      if (zel::CompareSymbols(e->account.view(), last) < 0) in_order = false;
      last = e->account.str();
    }
  }
  zel::SilentOptionServices window(" za 2024 rok");
  const bool reported = zel::TrialBalanceFrom(p, source, "FUZZ", window);
  if (reported != in_order) std::abort();
  const zel::ReportDocument& doc = zel::CurrentReport();
  if (!reported) {
    if (doc.RowCount() != 0) std::abort();
    return 0;
  }
  bool razem = false;
  bool wynik = false;
  for (std::int32_t r = 1; r <= doc.RowCount(); ++r) {
    for (int c = 1; c <= doc.ColumnCount(); ++c) {
      razem |= doc.Cell(r, c) == "RAZEM";
      wynik |= doc.Cell(r, c) == "WYNIK";
    }
  }
  if (!razem || !wynik) std::abort();
  return 0;
}
