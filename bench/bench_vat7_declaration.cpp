// The VAT-7 declaration of March of the sample year: the declaration data
// loaded from its two files and the two-page template filled, as the option
// does on every draw (showing, zooming, paging, printing). Best of five
// rounds of 200 fills; the plain read of the two template files is the
// yardstick. Run with ZEL_DATA_DIR naming the data folder when the program's
// own is not beside it.
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/demo.hpp"
#include "app/demo_files.hpp"
#include "bench_support.hpp"
#include "common/cp1250.hpp"
#include "platform/paths.hpp"
#include "shell/form_templates.hpp"
#include "shell/state.hpp"
#include "store/declaration.hpp"
#include "vat/vat7_declaration.hpp"

int main() {
  const std::string home = (std::filesystem::temp_directory_path() / "zel_bench_vat7").string();
  std::filesystem::remove_all(home);
  std::filesystem::create_directories(home);
  std::string err;
  if (!zel::SetZelFolder(home, &err) ||
      !zel::WriteDemoYear(zel::BuildDemoYear(zel::DemoOptions{}), "DB\\", &err) ||
      !zel::InstallFormTemplates(&err)) {
    std::fprintf(stderr, "bench_vat7_declaration: %s\n", zel::WinToUtf8(err).c_str());
    return 1;
  }
  zel::DbDir = "DB\\";
  zel::DeclarationData& d = zel::Declaration();
  d.year = 2024;
  d.month = 3;

  constexpr int kFills = 200;
  bench::Timing fill, read;
  std::size_t lines = 0;
  for (int round = 0; round < 5; ++round) {
    double w = bench::Now(), c = bench::Cpu();
    for (int i = 0; i < kFills; ++i) {
      zel::LoadDeclarationData();
      zel::ViewerDocument doc;
      std::string message;
      if (!zel::BuildDeclarationDocument(d, zel::kDeclarationFormVersion, 0, &doc, &message)) {
        std::fprintf(stderr, "%s\n", zel::WinToUtf8(message).c_str());
        return 1;
      }
      lines = doc.lines.size();
      bench::g_sink = bench::g_sink + doc.lines.back().size();
    }
    fill.Keep((bench::Now() - w) / kFills, (bench::Cpu() - c) / kFills);

    w = bench::Now();
    c = bench::Cpu();
    for (int i = 0; i < kFills; ++i) {
      for (const char* page : {"/!/VAT-7(20)-1.7TF", "/!/VAT-7(20)-2.7TF"}) {
        std::uint64_t records = 0;
        bench::PlainRead(home + page, &records);
      }
    }
    read.Keep((bench::Now() - w) / kFills, (bench::Cpu() - c) / kFills);
  }
  std::printf("VAT-7 of March, %zu script lines: load + fill %.3f ms (cpu %.3f ms); "
              "plain read of the templates %.3f ms; ratio %.1f\n",
              lines, fill.wall * 1e3, fill.cpu * 1e3, read.wall * 1e3, fill.wall / read.wall);
  std::filesystem::remove_all(home);
  return 0;
}
