// Any bytes as an annual journal file (or an open-items file) through the
// settlement reports, the report and its parameters chosen by the first
// bytes. Invariants: no crash; the open-items report ends with its totals,
// the ranking with "RAZEM" and "WYNIK", and the largest postings never list
// more than 900 rows.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "output/report_document.hpp"
#include "shell/status.hpp"
#include "statements/open_items.hpp"
#include "store/chart.hpp"
#include "store/record_source.hpp"

namespace {

bool HasCell(std::string_view text) {
  const zel::ReportDocument& doc = zel::CurrentReport();
  for (std::int32_t r = 1; r <= doc.RowCount(); ++r) {
    for (int c = 1; c <= doc.ColumnCount(); ++c) {
      if (doc.Cell(r, c) == text) return true;
    }
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  zel::SetStatusSink(nullptr);
  zel::SettlementParams p;
  p.kind = static_cast<zel::SettlementKind>(data[0] % 5);
  p.pod1 = data[1] % 3;
  p.pod3 = p.pod1 + data[2] % 3;
  p.pod7 = data[3] % 2 ? 0 : p.pod3 + 3;
  p.key_letter = "WMSLX"[data[1] % 5];
  p.debit_postings = (data[2] & 1) != 0;
  p.from = 365 * 104;
  p.to = static_cast<zel::DayNo>(p.from + 500);
  p.show_due_until = (data[3] & 4) ? static_cast<zel::DayNo>(p.from + 100) : 0;
  p.days_reference = p.to;
  p.today = p.to;
  if (data[2] & 0x80) p.masks = {"2*", "40?"};
  static zel::ChartTable chart;
  p.chart = &chart;
  zel::MemorySource source(std::string_view(reinterpret_cast<const char*>(data + 4), size - 4));
  zel::SilentOptionServices window(" za 2024 rok");
  switch (p.kind) {
    case zel::SettlementKind::RoNie:
      zel::OpenItemsReport(p, source, "FUZZ", window);
      if (!HasCell("W raporcie")) std::abort();
      break;
    case zel::SettlementKind::Ranki:
      zel::RankingFrom(p, source, "FUZZ", window);
      if (!HasCell("RAZEM") || !HasCell("WYNIK")) std::abort();
      break;
    case zel::SettlementKind::Trans: {
      zel::TopPostingsFrom(p, source, "FUZZ", window);
      int rows = 0;
      const zel::ReportDocument& doc = zel::CurrentReport();
      for (std::int32_t r = 1; r <= doc.RowCount(); ++r) rows += doc.RowKind(r) == '0';
      if (rows > 900) std::abort();
      break;
    }
    case zel::SettlementKind::RoBan:
    case zel::SettlementKind::NatJP:
      zel::BankSettlementsFrom(p, source, "FUZZ", window);
      break;
  }
  return 0;
}
