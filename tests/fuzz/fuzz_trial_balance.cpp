// Any bytes as an annual journal file through the trial balance, every kind
// and some depths chosen by the first bytes. Invariants: no crash, and the
// report always ends with its "RAZEM" and "WYNIK" lines (a damaged record is
// skipped, never summed).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "output/report_document.hpp"
#include "shell/status.hpp"
#include "statements/trial_balance.hpp"
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
  zel::SilentOptionServices window(" za 2024 rok");
  if (!zel::TrialBalanceFrom(p, source, "FUZZ", window)) std::abort();
  const zel::ReportDocument& doc = zel::CurrentReport();
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
