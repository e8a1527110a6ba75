// Any bytes as a working journal file through the journals: the full, short
// or posting-order run chosen by the first byte, a document range by the
// second. Invariants: no crash, the temporary sorted file never stays
// behind, and a full or short journal always ends with "Razem zbiór".
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/cp1250.hpp"
#include "output/report_document.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "statements/journal.hpp"
#include "store/chart.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // A folder below the current one (the fuzz script runs each target in a
  // scratch folder of its own).
  static const std::string dir = [] {
    char cwd[4096];
    std::string tmpl = std::string(getcwd(cwd, sizeof cwd) ? cwd : ".") + "/journal-XXXXXX";
    const char* made = mkdtemp(tmpl.data());
    return std::string(made ? made : ".");
  }();
  zel::SetStatusSink(nullptr);
  zel::TempDir = dir + "/";
  zel::StationExt = ".xxx";
  const std::string working = dir + "/R.DFX";
  if (FILE* f = std::fopen(working.c_str(), "wb")) {
    std::fwrite(data + 2, 1, size - 2, f);
    std::fclose(f);
  }
  zel::JournalParams p;
  p.kind = static_cast<zel::JournalKind>(data[0] % 3);
  p.working_name = "R";
  p.working_path = working;
  p.from = 1;
  p.to = 43829;
  if (data[1] & 1) {
    p.first_document = "B";
    p.last_document = "Y";
  }
  if (data[1] & 2) p.masks = {"?1*"};
  static zel::ChartTable chart;
  p.chart = &chart;
  zel::SilentOptionServices window(" za 2024 rok");
  const std::uint32_t generation = zel::CurrentReport().Generation();
  const bool done = zel::JournalFromFile(p, working, window);
  if (access(zel::TempName("DZ").c_str(), F_OK) == 0) std::abort();
  const zel::ReportDocument& doc = zel::CurrentReport();
  if (done && p.kind != zel::JournalKind::PoKsi) {
    if (doc.Generation() == generation || doc.RowCount() == 0) std::abort();
    if (doc.Cell(doc.RowCount(), 2) != zel::Utf8ToWin("Razem zbiór")) std::abort();
  }
  return 0;
}
