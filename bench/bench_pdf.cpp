// PDF pages of a whole report through zel-batch's run, Qt's PDF writer and
// the program's print font: pages per second and the peak memory of the
// process, and the layout a finished report computes on the PDF pages.
//   bench_pdf DB OUT.pdf OPTION [CODE=VALUE ...]
// e.g. bench_pdf big Anali.pdf Anali on a year written by
// `zel-demo big --postings 1000000`. Figures depend on the machine and on
// what else runs on it.
#include <QGuiApplication>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "app/batch.hpp"
#include "output/print_layout.hpp"
#include "output/qt/qt_page_canvas.hpp"
#include "output/report_document.hpp"

namespace {

double PeakMb() {
  std::ifstream in("/proc/self/status");
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: bench_pdf DB OUT.pdf OPTION [CODE=VALUE ...]\n");
    return 2;
  }
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  zel::QtPrintTargets targets;

  std::vector<std::string> args = {"--db", argv[1], "--today", "15-01-2025", "--time", "10:00"};
  for (int i = 3; i < argc; ++i) args.emplace_back(argv[i]);
  args.insert(args.end(), {"--out", argv[2]});
  zel::BatchRequest request;
  std::string err;
  if (!zel::ParseBatchArgs(args, &request, &err)) {
    std::fprintf(stderr, "%s\n", err.c_str());
    return 2;
  }
  std::string messages;
  zel::BatchIo io;
  io.out = [](std::string_view) {};
  io.err = [&messages](std::string_view t) { messages.append(t); };
  io.print_targets = [&targets]() -> zel::PrintTargets* { return &targets; };

  // The run: the report is built, then its pages are written. The report
  // alone is timed through the text run first, so that the pages' share
  // can be told apart.
  using Clock = std::chrono::steady_clock;
  zel::BatchRequest text = request;
  text.out = "/dev/null";
  auto t0 = Clock::now();
  std::clock_t c0 = std::clock();
  int code = zel::RunBatch(text, io);
  const double report_s = std::chrono::duration<double>(Clock::now() - t0).count();
  const double report_cpu = static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC;
  const double report_mb = PeakMb();
  t0 = Clock::now();
  c0 = std::clock();
  code = code ? code : zel::RunBatch(request, io);
  const double all_s = std::chrono::duration<double>(Clock::now() - t0).count();
  const double all_cpu = static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC;
  int pages = 0;
  if (auto at = messages.find("Stron: "); at != std::string::npos)
    pages = std::atoi(messages.c_str() + at + 7);
  const double pdf_s = all_s - report_s;
  const double pdf_cpu = all_cpu - report_cpu;
  std::printf(
      "%s rows %d: report %.2f s (%.2f s of processor); report + PDF %.2f s (%.2f s); "
      "%d pages, %.0f pages/s of PDF (%.0f per second of processor); "
      "peak memory %.0f MB (%.0f MB after the report alone)\n",
      argv[3], zel::CurrentReport().RowCount(), report_s, report_cpu, all_s, all_cpu, pages,
      pdf_s > 0 ? pages / pdf_s : 0.0, pdf_cpu > 0 ? pages / pdf_cpu : 0.0, PeakMb(), report_mb);

  // The layout at RapKoniec on the built-in PDF target's pages.
  auto portrait = targets.Measure(zel::kBuiltInPdfPrinter, false);
  auto landscape = targets.Measure(zel::kBuiltInPdfPrinter, true);
  const int runs = 200;
  t0 = Clock::now();
  for (int i = 0; i < runs; ++i) {
    zel::ComputePrintLayout(zel::CurrentReport(), landscape->PageWidth(), landscape->PageHeight(),
                            true, *landscape);
    zel::ComputePrintLayout(zel::CurrentReport(), portrait->PageWidth(), portrait->PageHeight(),
                            false, *portrait);
  }
  std::printf("layout of the finished report on PDF pages (landscape + portrait): %.3f ms\n",
              std::chrono::duration<double, std::milli>(Clock::now() - t0).count() / runs);
  if (code) std::fprintf(stderr, "%s", messages.c_str());
  return code;
}
