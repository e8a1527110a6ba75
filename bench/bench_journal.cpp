// The journals over large working files written by zel-demo, against a plain
// read of the same file and the ledger (Anali) of the same postings from the
// annual file. For each database folder given (zel-demo DIR --postings N),
// times, best of five rounds (ZEL_BENCH_ROUNDS):
//   - a plain read of the working file in 50,000-byte blocks touching every record;
//   - the sort alone (the selection of the whole year into its order, as a
//     journal run sorts), and the same order written out as the sorted file;
//   - the full journal DzieP of the whole year (sort and report, no copy);
//   - the short journal DzieS of the whole year;
//   - the ledger Anali of the whole year from the annual file;
// and the memory the sort takes: its keys per posting and the growth of the
// peak resident set over the run.
//   - as the floor of any sort that writes its result, a plain copy of the
//     file (read and written once) into the temporary folder.
// Usage: [ZEL_BENCH_TEMP=/dev/shm] bench_journal DIR [DIR...]
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/dates.hpp"
#include "output/report_document.hpp"
#include "platform/file.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "statements/journal.hpp"
#include "statements/trial_balance.hpp"
#include "store/chart.hpp"
#include "store/journal_entry.hpp"
#include "store/record_source.hpp"

namespace {

using namespace zel;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// User + system processor seconds of this process: steadier than the wall
// clock when other work shares the machine.
double Cpu() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

long PeakKb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

// ZEL_BENCH_ROUNDS=N runs each figure N times (default 5, at least 1): the
// best round is the figure, on a machine shared with other work.
int Rounds() {
  const char* n = std::getenv("ZEL_BENCH_ROUNDS");
  return n == nullptr ? 5 : std::max(1, std::atoi(n));
}
const int kRounds = Rounds();

// The best wall and processor seconds of the rounds.
struct Time {
  double wall = 1e9;
  double cpu = 1e9;
  void Keep(std::chrono::steady_clock::time_point t0, double c0) {
    wall = std::min(wall, Seconds(t0));
    cpu = std::min(cpu, Cpu() - c0);
  }
};

template <class F>
Time Best(F f) {
  Time best;
  for (int round = 0; round < kRounds; ++round) {
    const auto t0 = std::chrono::steady_clock::now();
    const double c0 = Cpu();
    f();
    best.Keep(t0, c0);
  }
  return best;
}

int Bench(const std::string& dir) {
  const std::string working = dir + "/R2024.DFX";
  const std::string annual = dir + "/N2024.DFX";
  File file;
  if (!file.OpenNative(working, Access::kRead, Share::kDenyWrite)) {
    std::fprintf(stderr, "cannot open %s\n", working.c_str());
    return 1;
  }
  std::uint64_t size = 0;
  file.Size(&size);
  const std::uint64_t records = size / kJournalRecordSize;

  std::vector<char> buffer(50000);
  std::uint64_t touched = 0;
  const Time plain = Best([&] {
    std::uint64_t offset = 0;
    for (;;) {
      std::size_t got = 0;
      if (!file.ReadAt(offset, buffer.data(), buffer.size(), &got) || got == 0) break;
      for (std::size_t i = 0; i + kJournalRecordSize <= got; i += kJournalRecordSize) {
        touched += static_cast<unsigned char>(buffer[i + 28]);
      }
      offset += got;
    }
  });

  // The floor of any sort that writes its result: the same bytes read and
  // written once to the temporary folder.
  const std::string copy_path = TempName("CP");
  Time copy;
  for (int round = 0; round < kRounds; ++round) {
    const auto t0 = std::chrono::steady_clock::now();
    const double c0 = Cpu();
    File out;
    out.Open(copy_path, Access::kReadWrite, Share::kExclusive, Disposition::kCreateAlways);
    std::vector<char> big(1 << 20);
    std::uint64_t offset = 0;
    for (;;) {
      std::size_t got = 0;
      if (!file.ReadAt(offset, big.data(), big.size(), &got) || got == 0) break;
      out.WriteAt(offset, big.data(), got);
      offset += got;
    }
    out.Close();
    copy.Keep(t0, c0);
    std::filesystem::remove(copy_path);
  }

  SilentOptionServices window(" za 2024 rok");
  ChartTable chart;
  JournalParams p;
  p.working_name = "R2024";
  p.working_path = working;
  p.from = DayFromDdMmYy("010124");
  p.to = DayFromDdMmYy("311224");
  p.chart = &chart;
  const std::string sorted = TempName("DZ");
  std::uint64_t selected = 0;
  const long peak_before = PeakKb();
  File source_file;
  if (!source_file.OpenNative(working, Access::kRead, Share::kDenyWrite)) return 1;
  FileSource source(source_file);
  const Time sort = Best([&] {
    std::vector<std::uint32_t> order;
    SortJournalOrder(source, working, p, window, &order);
    selected = order.size();
  });
  // The sorted file is removed after each round, outside the time taken.
  Time sort_file;
  for (int round = 0; round < kRounds; ++round) {
    const auto t0 = std::chrono::steady_clock::now();
    const double c0 = Cpu();
    std::uint64_t written = 0;
    SortJournal(working, sorted, p, window, &written);
    sort_file.Keep(t0, c0);
    std::filesystem::remove(sorted);
  }
  const long peak_sort = PeakKb();

  p.kind = JournalKind::DzieP;
  const Time full = Best([&] { JournalFromFile(p, working, window); });
  const std::int32_t full_rows = CurrentReport().RowCount();
  p.kind = JournalKind::DzieS;
  const Time short_journal = Best([&] { JournalFromFile(p, working, window); });

  TrialBalanceParams tb;
  tb.kind = TrialBalanceKind::Anali;
  tb.annual_name = "N2024";
  tb.annual_path = annual;
  tb.bo_date = p.from;
  tb.from = p.from;
  tb.to = p.to;
  tb.chart = &chart;
  File annual_file;
  if (!annual_file.OpenNative(annual, Access::kRead, Share::kDenyWrite)) {
    std::fprintf(stderr, "cannot open %s\n", annual.c_str());
    return 1;
  }
  const Time anali = Best([&] {
    FileSource source(annual_file);
    TrialBalanceFrom(tb, source, annual, window);
  });

  std::printf("%s: %lu records (%lu selected, checksum %lu)\n", dir.c_str(),
              static_cast<unsigned long>(records), static_cast<unsigned long>(selected),
              static_cast<unsigned long>(touched));
  auto line = [](const char* what, Time t, const char* against, Time base) {
    std::printf("  %-32s %.4f s wall, %.4f s cpu", what, t.wall, t.cpu);
    if (against != nullptr) {
      std::printf("  (%.2fx / %.2fx %s)", t.wall / base.wall, t.cpu / base.cpu, against);
    }
    std::printf("\n");
  };
  line("plain read, 50,000-byte blocks", plain, nullptr, plain);
  line("plain copy, read and write once", copy, "the plain read", plain);
  line("sort alone", sort, "the plain read", plain);
  line("sort written to a file", sort_file, "the plain read", plain);
  line("", sort_file, "the copy", copy);
  line("DzieP, whole year", full, "Anali", anali);
  std::printf("    rows %d\n", full_rows);
  line("DzieS, whole year", short_journal, "Anali", anali);
  line("Anali, whole year", anali, nullptr, anali);
  std::printf("  sort keys                        %zu bytes a record\n", kJournalSortBytes);
  std::printf("  peak resident set over the sort  +%ld kB (%.1f bytes a record)\n",
              peak_sort - peak_before,
              records ? (peak_sort - peak_before) * 1024.0 / static_cast<double>(records) : 0.0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "bench_journal DIR [DIR...]  (folders written by zel-demo --postings N)\n");
    return 2;
  }
  SetStatusSink(nullptr);
  // ZEL_BENCH_TEMP names the temporary folder's parent (default /tmp).
  const char* parent = std::getenv("ZEL_BENCH_TEMP");
  const std::string temp = std::string(parent ? parent : "/tmp") + "/zel_bench_journal";
  std::filesystem::create_directories(temp);
  TempDir = temp + "/";
  StationExt = ".xxx";
  int rc = 0;
  for (int i = 1; i < argc; ++i) rc |= Bench(argv[i]);
  std::filesystem::remove_all(temp);
  return rc;
}
