// The settlement statements over demo years of N postings (default 100,000
// and 1,000,000), each against a plain read of the same annual file:
//   - RoNie for the masks 20* (building the .AFX file and its report);
//   - Ranki beside the trial balance ZOiSa (same depths 1, 3, 8);
//   - Trans (debit postings of the year);
//   - RoBan and NatJP for the masks 20*;
// and then RoBan and NatJP over one account of 50,000 postings with 25,000
// settlement keys. Beside them, the floors: the scan the statements share,
// with nothing done per posting, over the records Trans reads and over those
// of the masks 20*; no statement can take less.
//
// Each figure of a demo year is taken in turns with a plain read of the same
// file, round by round, and each is the best of its five rounds (the machine
// is shared; ZEL_BENCH_ROUNDS sets another number). The file is on disk before
// the timings start, so no write-back runs beside them.
// Usage: bench_settlements [postings ...]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "app/demo.hpp"
#include "common/dates.hpp"
#include "output/report_document.hpp"
#include "platform/file.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "statements/open_items.hpp"
#include "statements/settlement_scan.hpp"
#include "statements/settlements.hpp"
#include "statements/trial_balance.hpp"
#include "store/chart.hpp"
#include "store/journal_entry.hpp"

#include "bench_support.hpp"

namespace {

using namespace zel;

// ZEL_BENCH_ROUNDS=N runs each figure N times (default 5, at least 3): under
// a profiler the option then outweighs the making of the demo year.
int Rounds() {
  const char* n = std::getenv("ZEL_BENCH_ROUNDS");
  return n == nullptr ? 5 : std::max(3, std::atoi(n));
}

// ZEL_BENCH_ONLY=RoNie (or another code) times that option alone, for profiling.
bool Wanted(const char* code) {
  const char* only = std::getenv("ZEL_BENCH_ONLY");
  return only == nullptr || std::string(only) == code;
}

// Wall time and processor time (user + system) of the best of the rounds:
// on a machine shared with other work the processor time is the steadier
// figure; the wall time also holds the waits for the system (the open-items
// file is written through the system's cache).
using Time = bench::Timing;

void Round(Time* best, const std::function<void()>& run) {
  const double t0 = bench::Now();
  const double c0 = bench::Cpu();
  run();
  best->Keep(bench::Now() - t0, bench::Cpu() - c0);
}

Time Best(const std::function<void()>& run) {
  Time best;
  static const int rounds = Rounds();
  for (int i = 0; i < rounds; ++i) Round(&best, run);
  return best;
}

// An option and the plain read of its file in turns, round by round, so
// that both see the machine in the same state; the best of each.
struct SideBySide {
  Time plain;
  Time option;
};

SideBySide InTurns(const std::string& path, const std::function<void()>& run) {
  SideBySide best;
  static const int rounds = Rounds();
  for (int i = 0; i < rounds; ++i) {
    Round(&best.plain, [&] {
      std::uint64_t records = 0;
      bench::PlainRead(path, &records);
    });
    Round(&best.option, run);
  }
  return best;
}

// Writes the records and waits until the system has them on disk: the
// timings must not run beside the write-back of a file just written.
void WriteRecords(const std::string& path, const std::vector<JournalEntry>& records) {
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const JournalEntry& e : records) {
      const RecordBytes bytes = EncodeJournalEntry(e);
      out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd >= 0) {
    ::fdatasync(fd);
    ::close(fd);
  }
}

SettlementParams Params(const std::string& dir, SettlementKind kind, const DemoYear& year) {
  SettlementParams p;
  p.kind = kind;
  p.annual_name = std::string("N");
  p.annual_path = dir + "\\N.DFX";
  p.from = static_cast<DayNo>(year.bo_date + 1);
  p.to = year.bz_date;
  p.bo_date = year.bo_date;
  p.today = year.bz_date;
  p.pod1 = 1;
  p.pod3 = 3;
  p.pod7 = 8;
  return p;
}

void DemoYearFigures(long postings, const std::string& dir, ChartTable& chart) {
  DemoOptions options;
  options.postings = postings;
  const DemoYear year = BuildDemoYear(options);
  std::vector<JournalEntry> annual;
  for (std::uint32_t i : AnnualOrder(year)) annual.push_back(year.working[i]);
  const std::string path = dir + "/N.DFX";
  WriteRecords(path, annual);
  SilentOptionServices window(" za rok");

  std::printf("demo year of %zu postings (each figure beside a plain read of the file, in turns):\n",
              annual.size());
  auto line = [&](const char* what, const std::function<void()>& run) {
    const SideBySide t = InTurns(path, run);
    std::printf("  %-36s %.4f s wall (%5.2fx of %.4f)  %.4f s cpu (%5.2fx of %.4f)\n", what,
                t.option.wall, t.option.wall / t.plain.wall, t.plain.wall, t.option.cpu,
                t.option.cpu / t.plain.cpu, t.plain.cpu);
    return t.option;
  };

  auto scan_alone = [&](const std::vector<std::string>& masks, DayNo period_end) {
    File file;
    file.OpenNative(path, Access::kRead, Share::kDenyWrite);
    FileSource source(file);
    SettlementScan scan(source, "N.DFX", masks, period_end, window, "scan");
    std::uint64_t debits = 0;
    while (const std::optional<JournalView> v = scan.Next()) debits += v->IsDebit();
    bench::g_sink = bench::g_sink + debits;
  };
  line("floor: the scan alone, all accounts", [&] { scan_alone({}, year.bz_date); });
  line("floor: the scan alone, KonW=20*", [&] { scan_alone({"20*"}, 0); });

  SettlementParams ronie = Params(dir, SettlementKind::RoNie, year);
  ronie.masks = {"20*"};
  ronie.chart = &chart;
  if (Wanted("RoNie")) {
    line("RoNie KonW=20* (AFX and report)", [&] { OpenItems(ronie, window); });
    // The report alone, from the file the last run built.
    File afx;
    afx.OpenNative(dir + "/N.AFX", Access::kRead, Share::kDenyWrite);
    line("  of it the report from the AFX", [&] {
      FileSource source(afx);
      OpenItemsReport(ronie, source, "N.AFX", window);
    });
    std::printf("  (report rows %d)\n", CurrentReport().RowCount());
  }

  if (Wanted("Ranki")) {
    SettlementParams ranki = Params(dir, SettlementKind::Ranki, year);
    ranki.chart = &chart;
    TrialBalanceParams tb;
    tb.annual_name = "N";
    tb.annual_path = ranki.annual_path;
    tb.bo_date = ranki.bo_date;
    tb.from = ranki.from;
    tb.to = ranki.to;
    tb.pod1 = 1;
    tb.pod3 = 3;
    tb.pod7 = 8;
    tb.chart = &chart;
    const Time ranki_s = line("Ranki (depths 1, 3, 8)", [&] { Ranking(ranki, window); });
    const Time zoisa_s = line("ZOiSa (depths 1, 3, 8)", [&] { TrialBalance(tb, window); });
    std::printf("  Ranki / ZOiSa                        %.2f wall, %.2f cpu\n",
                ranki_s.wall / zoisa_s.wall, ranki_s.cpu / zoisa_s.cpu);
  }

  for (SettlementKind kind : {SettlementKind::Trans, SettlementKind::RoBan, SettlementKind::NatJP}) {
    if (!Wanted(SettlementCode(kind))) continue;
    SettlementParams p = Params(dir, kind, year);
    if (kind != SettlementKind::Trans) p.masks = {"20*"};
    p.chart = &chart;
    const char* what = kind == SettlementKind::Trans   ? "Trans (debit postings)"
                       : kind == SettlementKind::RoBan ? "RoBan KonW=20*"
                                                       : "NatJP KonW=20*";
    line(what, [&] {
      if (kind == SettlementKind::Trans) TopPostings(p, window);
      else BankSettlements(p, window);
    });
    std::printf("  (report rows %d)\n", CurrentReport().RowCount());
  }
}

// One account of 50,000 postings: 25,000 invoices, each paid once.
void LargeAccountFigures(const std::string& dir, ChartTable& chart) {
  const DayNo first = DayFromDdMmYy("020124");
  std::vector<JournalEntry> records;
  for (int i = 0; i < 25000; ++i) {
    JournalEntry e;
    e.account = "201-0001";
    e.bookingDate = static_cast<DayNo>(first + i % 360);
    e.documentDate = e.bookingDate;
    e.documentNo = "FV " + std::to_string(i);
    e.entryNo = 1;
    e.side = 1;
    e.amount = 100 + i % 50;
    e.transactionNo = "FV/" + std::to_string(i);
    records.push_back(e);
  }
  for (int i = 0; i < 25000; ++i) {
    JournalEntry e = records[static_cast<std::size_t>(i)];
    e.side = 0;
    e.documentNo = "WB " + std::to_string(i);
    e.transactionNo = "WB*fv/" + std::to_string(i);
    e.dueDate = static_cast<DayNo>(e.bookingDate + 10);
    records.push_back(e);
  }
  const std::string path = dir + "/L.DFX";
  WriteRecords(path, records);
  SilentOptionServices window(" za rok");
  for (SettlementKind kind : {SettlementKind::RoBan, SettlementKind::NatJP}) {
    SettlementParams p;
    p.kind = kind;
    p.annual_name = "L";
    p.annual_path = dir + "\\L.DFX";
    p.from = first;
    p.to = static_cast<DayNo>(first + 365);
    p.chart = &chart;
    const Time t = Best([&] { BankSettlements(p, window); });
    std::printf("%s, one account of 50,000 postings and 25,000 keys: %.3f s wall, %.3f s cpu, rows %d\n",
                kind == SettlementKind::RoBan ? "RoBan" : "NatJP", t.wall, t.cpu,
                CurrentReport().RowCount());
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<long> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atol(argv[i]));
  if (sizes.empty()) sizes = {100000, 1000000};
  // One folder per process, so that two runs (or a run under a profiler beside
  // a timed one) never read each other's files.
  const std::string dir = "/tmp/zel_bench_settlements_" + std::to_string(getpid());
  std::filesystem::create_directories(dir);
  SetStatusSink(nullptr);
  DbDir = dir + "\\";
  ChartTable chart;
  for (long n : sizes) DemoYearFigures(n, dir, chart);
  LargeAccountFigures(dir, chart);
  std::filesystem::remove_all(dir);
  return 0;
}
