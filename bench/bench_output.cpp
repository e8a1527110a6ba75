// Output benchmarks without a printer: the workbook of 100.001 rows × 17
// columns (written, then its time and the process's peak memory), the page
// layout as a finished report computes it (twice per report), and the pages
// of a million-row report drawn on a canvas that only counts the calls.
//   bench_output [FOLDER]     (the workbook goes to FOLDER, default /tmp)
// Figures depend on the machine and on what else runs on it.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/numbers.hpp"
#include "output/print_run.hpp"
#include "output/recording_canvas.hpp"
#include "output/xlsx_export.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) {
  return std::chrono::duration<double>(Clock::now() - from).count();
}

// Peak resident memory of the process so far, in MB.
double PeakMb() {
  std::ifstream in("/proc/self/status");
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
  }
  return 0;
}

void Fill(zel::ReportDocument& doc, int rows, int cols) {
  doc.Start("bench", "BENCH", 2);
  doc.AddColumn('l', 10, "Symbol", "konta");
  doc.AddColumn('l', 30, "Nazwa", "");
  for (int i = 3; i <= cols; ++i)
    doc.AddColumn(i % 2 ? 'b' : 'd', 14, "Obroty", i % 2 ? "winien" : "ma");
  doc.CloseHeader("podtytul");
  std::string cells[17];
  std::string_view views[17];
  for (int r = 0; r < rows; ++r) {
    cells[0] = "201-" + std::to_string(r % 9999);
    cells[1] = "Odbiorca numer " + std::to_string(r);
    for (int i = 2; i < cols; ++i) {
      cells[i] = zel::Amount15(static_cast<zel::Amount>((r * 7919 + i * 104729) % 100000000) / 100);
    }
    for (int i = 0; i < cols; ++i) views[i] = cells[i];
    doc.AddRow(std::span<const std::string_view>(views, static_cast<std::size_t>(cols)));
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : "/tmp";
  {
    zel::ReportDocument doc;
    Fill(doc, 100001, 17);
    const double before = PeakMb();
    const std::string path = folder + "/bench_output.xlsx";
    auto t0 = Clock::now();
    const std::clock_t c0 = std::clock();
    zel::XlsxOutcome out = zel::ExportXlsx(doc, 1, 100001, path, {"Zel", "Firma"});
    const double secs = Seconds(t0);
    const double cpu = static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC;
    std::printf(
        "workbook: %d rows x 17 columns in %.2f s (%.2f s of processor), %s, file %.1f MB, "
        "peak memory %.0f MB (%.0f MB before the export, the report itself)\n",
        out.rows, secs, cpu, out.ok ? "ok" : "FAILED", std::filesystem::file_size(path) / 1048576.0,
        PeakMb(), before);
    std::filesystem::remove(path);
  }
  {
    zel::ReportDocument doc;
    Fill(doc, 10, 17);
    zel::RecordingCanvas probe(4961, 7016, 6, 12, false);
    auto t0 = Clock::now();
    const int runs = 1000;
    for (int i = 0; i < runs; ++i) {
      zel::ComputePrintLayout(doc, 7016, 4961, true, probe);
      zel::ComputePrintLayout(doc, 4961, 7016, false, probe);
    }
    std::printf("layout of a finished report (landscape + portrait), fixed font: %.4f ms\n",
                Seconds(t0) * 1000 / runs);
  }
  {
    zel::ReportDocument doc;
    Fill(doc, 1000000, 9);
    zel::RecordingCanvas canvas(4961, 7016, 6, 12, false);
    zel::PrintTexts texts;
    auto t0 = Clock::now();
    zel::PrintOutcome out = zel::PrintPages(doc, texts, 1, doc.RowCount(), false, canvas);
    const double secs = Seconds(t0);
    (void)out.ok;
    std::printf(
        "pages of 1.000.000 rows x 9 columns, drawing only: %d pages in %.2f s, "
        "%.0f pages/s, %lld calls\n",
        out.pages, secs, out.pages / secs, static_cast<long long>(canvas.CallCount()));
  }
  return 0;
}
