// Any bytes as a journal file through the annual-file audit; the first bytes
// choose the book year's length and the excluded codes. Invariants: no
// crash, the run completes and ends with its closing rule, no amount cell
// holds a number that is not finite, and the same records sorted by account
// (stable) give the very same report, whichever order the file was in.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "audit/annual_audit.hpp"
#include "output/report_document.hpp"
#include "output/report_text.hpp"
#include "shell/status.hpp"
#include "store/chart.hpp"
#include "store/journal_entry.hpp"
#include "store/record_source.hpp"

namespace {

std::string_view Account(const std::string& bytes, std::size_t record) {
  const char* p = bytes.data() + record * zel::kJournalRecordSize;
  const auto n = std::min<std::size_t>(static_cast<std::uint8_t>(p[0]), 25);
  return {p + 1, n};
}

std::string Audit(const zel::AuditParams& p, const std::string& bytes) {
  zel::MemorySource source(bytes);
  zel::SilentOptionServices window;
  if (!zel::AuditFrom(p, source, window).done) std::abort();
  const zel::ReportDocument& doc = zel::CurrentReport();
  if (doc.RowCount() < 2 || doc.RowKind(doc.RowCount()) != '3') std::abort();
  for (std::int32_t r = 1; r <= doc.RowCount(); ++r) {
    for (int c = 2; c <= 3; ++c) {
      const std::string_view cell = doc.Cell(r, c);
      if (cell.find("nan") != std::string_view::npos || cell.find("inf") != std::string_view::npos)
        std::abort();
    }
  }
  return zel::ReportAsText(doc);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  zel::SetStatusSink(nullptr);
  static zel::ChartTable chart;
  zel::AuditParams p;
  p.name = "FUZZ";
  p.path = "FUZZ";
  p.bo_date = 365 * 104;
  // From one day to a little over two years: more than 24 month runs too.
  p.bz_date = static_cast<zel::DayNo>(p.bo_date + (data[0] | (data[1] << 8)) % 800);
  static constexpr std::array<const char*, 4> kExcluded = {"", "K", "<>2", "40K!"};
  p.excluded = kExcluded[data[2] % kExcluded.size()];
  p.chart = &chart;
  const std::string bytes(reinterpret_cast<const char*>(data + 3), size - 3);
  const std::string text = Audit(p, bytes);

  // The whole records in account order, stable. Records whose account begins
  // with the sentinel byte end the data wherever they stand, so the
  // comparison leaves such files out.
  const std::size_t n = bytes.size() / zel::kJournalRecordSize;
  std::vector<std::size_t> order(n);
  for (std::size_t i = 0; i < n; ++i) {
    const std::string_view a = Account(bytes, i);
    if (!a.empty() && static_cast<std::uint8_t>(a[0]) == 0xFE) return 0;
    order[i] = i;
  }
  std::stable_sort(order.begin(), order.end(), [&bytes](std::size_t a, std::size_t b) {
    return zel::CompareSymbols(Account(bytes, a), Account(bytes, b)) < 0;
  });
  std::string sorted;
  for (std::size_t i : order) {
    sorted.append(bytes, i * zel::kJournalRecordSize, zel::kJournalRecordSize);
  }
  if (Audit(p, sorted) != text) std::abort();
  return 0;
}
