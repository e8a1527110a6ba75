// Posting working files into the annual file and the annual file as a
// workbook, over a demo year of N postings (default 1,000,000):
//   - LacZb: 100,000 working-file postings (the postings of a second demo
//     year, in document order) into the annual file of N postings, against
//     a plain copy of the annual file (read, write beside, forced to disk);
//   - ZaXLS of the annual file, with the process's peak memory before and
//     after (constant memory: the workbook keeps no rows).
// Each figure is the best of three rounds (the machine is shared).
// Usage: bench_journal_files [postings] [working postings]
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/demo.hpp"
#include "app/demo_files.hpp"
#include "bench_support.hpp"
#include "books/journal_posting.hpp"
#include "books/journal_xlsx.hpp"
#include "fields/option_services.hpp"
#include "platform/file.hpp"
#include "platform/folders.hpp"
#include "platform/paths.hpp"
#include "shell/questions.hpp"
#include "shell/state.hpp"
#include "store/journal_entry.hpp"
#include "store/journal_file.hpp"

namespace {

using namespace zel;

class SayYes final : public Asker {
 public:
  int Ask(char, std::string_view, std::string_view, DeskWindow*) override { return 0; }
  void PressYes() override {}
};

long PeakKb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

// The plain copy the posting is measured against: the same bytes read and
// written beside in blocks of 1 MB, forced to disk, renamed over a copy.
double PlainCopy(const std::string& from, const std::string& to) {
  const double t0 = bench::Now();
  File in, out;
  in.Open(from, Access::kRead, Share::kDenyWrite);
  out.Open(to + ".tmp", Access::kReadWrite, Share::kExclusive, Disposition::kCreateAlways);
  std::vector<char> buf(4000 * 250);
  std::uint64_t offset = 0;
  for (;;) {
    std::size_t got = 0;
    if (!in.ReadAt(offset, buf.data(), buf.size(), &got) || got == 0) break;
    out.WriteAt(offset, buf.data(), got);
    offset += got;
  }
  out.Sync();
  out.Close();
  ReplaceFile(to + ".tmp", to);
  return bench::Now() - t0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::int64_t postings = argc > 1 ? std::atoll(argv[1]) : 1000000;
  const std::int64_t working = argc > 2 ? std::atoll(argv[2]) : 100000;
  const std::string home = std::filesystem::temp_directory_path().string() + "/zel_bench_jf";
  std::filesystem::remove_all(home);
  std::string err;
  if (!SetZelFolder(home, &err)) {
    std::fprintf(stderr, "%s\n", err.c_str());
    return 1;
  }
  DemoOptions big;
  big.postings = postings;
  if (!WriteDemoYear(BuildDemoYear(big), "DB\\", &err)) {
    std::fprintf(stderr, "%s\n", err.c_str());
    return 1;
  }
  DbDir = "DB\\";
  // The working file: a second year's postings (another seed), control
  // records and all, as a month's data entry leaves them.
  DemoOptions small;
  small.postings = working;
  small.seed = 7;
  const DemoYear w = BuildDemoYear(small);
  {
    std::ofstream out(NativePath("DB\\W1.DFX"), std::ios::binary);
    for (const JournalEntry& e : w.working) {
      const RecordBytes b = EncodeJournalEntry(e);
      out.write(reinterpret_cast<const char*>(b.data()), b.size());
    }
    std::ofstream list(NativePath("DB\\BENCH.ZFX"), std::ios::binary);
    list << "W1\r\n";
  }
  const std::string annual = JournalPath("N2024");
  const std::string keep = NativePath(annual) + ".orig";
  std::filesystem::copy_file(NativePath(annual), keep);

  SayYes yes;
  SetQuestionAsker(&yes);
  SilentOptionServices window;
  bench::Timing copy, post;
  for (int round = 0; round < 3; ++round) {
    const double c0 = bench::Cpu();
    const double t = PlainCopy(annual, "DB\\COPY.DFX");
    copy.Keep(t, bench::Cpu() - c0);

    std::filesystem::copy_file(keep, NativePath(annual),
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::remove(NativePath("DB\\N2024.KSG"));
    const double c1 = bench::Cpu();
    const double t1 = bench::Now();
    if (!PostWorkingFiles({"BENCH", "N2024"}, window)) {
      std::fprintf(stderr, "LacZb failed\n");
      return 1;
    }
    post.Keep(bench::Now() - t1, bench::Cpu() - c1);
  }
  std::printf("annual %lld postings, working %lld postings\n", static_cast<long long>(postings),
              static_cast<long long>(PostingCount(w)));
  std::printf("plain copy   wall %.3f s  cpu %.3f s\n", copy.wall, copy.cpu);
  std::printf("LacZb        wall %.3f s  cpu %.3f s   ratio wall %.2f  cpu %.2f\n", post.wall,
              post.cpu, post.wall / copy.wall, post.cpu / copy.cpu);

  bench::Timing xlsx;
  const long peak_before = PeakKb();
  for (int round = 0; round < (std::getenv("ZEL_BENCH_XLSX_ONCE") ? 1 : 3); ++round) {
    const double c0 = bench::Cpu();
    const double t0 = bench::Now();
    XlsxExportCount count;
    if (!ExportAnnualXlsx("N2024", window, &count)) {
      std::fprintf(stderr, "ZaXLS failed\n");
      return 1;
    }
    xlsx.Keep(bench::Now() - t0, bench::Cpu() - c0);
    if (round == 0)
      std::printf("ZaXLS rows %llu sheets %llu\n", static_cast<unsigned long long>(count.rows),
                  static_cast<unsigned long long>(count.sheets));
  }
  std::printf("ZaXLS        wall %.3f s  cpu %.3f s  peak memory %ld -> %ld kB\n", xlsx.wall,
              xlsx.cpu, peak_before, PeakKb());
  SetQuestionAsker(nullptr);
  std::filesystem::remove_all(home);
  return 0;
}
