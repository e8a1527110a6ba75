// The trial balance over a large annual file against a plain read of the
// same file: writes N postings (default 1,000,000) over 20,000 accounts in
// account order to a file in /tmp, then times, side by side in one run:
//   - reading the file in 50,000-byte blocks and touching every record;
//   - the block reader scanning it and summing debit and credit;
//   - the trial balance ZOiSa (depths 1, 3, 8; modes B and N).
// Usage: bench_trial_balance [postings]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "common/dates.hpp"
#include "output/report_document.hpp"
#include "platform/file.hpp"
#include "shell/status.hpp"
#include "statements/trial_balance.hpp"
#include "store/block_reader.hpp"
#include "store/chart.hpp"
#include "store/journal_entry.hpp"

namespace {

using namespace zel;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
  const long postings = argc > 1 ? std::atol(argv[1]) : 1000000;
  const long accounts = 20000;
  const std::string path = "/tmp/zel_bench_trial_balance.DFX";
  const DayNo bo = DayFromDdMmYy("010124");
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    long written = 0;
    for (long a = 0; a < accounts && written < postings; ++a) {
      char symbol[32];
      // Ascending symbols: group digit, two-digit synthetic, four-digit analytic.
      std::snprintf(symbol, sizeof symbol, "%ld%02ld-%05ld", 1 + a * 8 / accounts,
                    (a / 100) % 100, a);
      const long per_account = postings / accounts + (a < postings % accounts ? 1 : 0);
      for (long i = 0; i < per_account; ++i, ++written) {
        JournalEntry e;
        e.account = symbol;
        e.bookingDate = static_cast<DayNo>(bo + (i * 7) % 366);
        e.documentNo = "PK 1";
        e.entryNo = static_cast<std::uint16_t>(i + 1);
        e.side = static_cast<std::uint8_t>(i % 2);
        e.amount = 10 + static_cast<Amount>(i % 97) / 4;
        RecordBytes bytes = EncodeJournalEntry(e);
        out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
      }
    }
  }

  File file;
  if (!file.OpenNative(path, Access::kRead, Share::kDenyWrite)) {
    std::fprintf(stderr, "cannot open %s\n", path.c_str());
    return 1;
  }
  SetStatusSink(nullptr);

  // Each figure is the best of three rounds (the machine is shared).
  constexpr int kRounds = 3;
  double plain = 1e9, scan = 1e9;
  std::uint64_t offset = 0, touched = 0;
  Amount wn = 0, ma = 0;
  for (int round = 0; round < kRounds; ++round) {
    auto t0 = std::chrono::steady_clock::now();
    std::vector<char> buffer(50000);
    offset = 0;
    touched = 0;
    for (;;) {
      std::size_t got = 0;
      if (!file.ReadAt(offset, buffer.data(), buffer.size(), &got) || got == 0) break;
      for (std::size_t i = 0; i + 250 <= got; i += 250) {
        touched += static_cast<unsigned char>(buffer[i]);
      }
      offset += got;
    }
    plain = std::min(plain, Seconds(t0));

    t0 = std::chrono::steady_clock::now();
    FileSource source(file);
    wn = ma = 0;
    BlockReader reader(source, path);
    for (;;) {
      const JournalEntry& e = reader.Next();
      if (e.IsSentinel()) break;
      (e.IsDebit() ? wn : ma) += e.amount;
    }
    scan = std::min(scan, Seconds(t0));
  }

  SilentOptionServices window(" za 2024 rok");
  TrialBalanceParams p;
  p.annual_name = "BENCH";
  p.bo_date = bo;
  p.from = static_cast<DayNo>(bo + 1);
  p.to = static_cast<DayNo>(bo + 365);
  p.pod1 = 1;
  p.pod3 = 3;
  p.pod7 = 9;
  ChartTable chart;
  p.chart = &chart;
  double runs[2] = {1e9, 1e9};
  const char modes[2] = {'B', 'N'};
  for (int round = 0; round < kRounds; ++round) {
    for (int m = 0; m < 2; ++m) {
      p.mode = modes[m];
      auto t0 = std::chrono::steady_clock::now();
      FileSource tb_source(file);
      TrialBalanceFrom(p, tb_source, path, window);
      runs[m] = std::min(runs[m], Seconds(t0));
    }
  }

  std::printf("records %lu (checksum %lu, debit %.2Lf credit %.2Lf)\n",
              static_cast<unsigned long>(offset / 250), static_cast<unsigned long>(touched), wn, ma);
  std::printf("plain read in 50,000-byte blocks  %.3f s\n", plain);
  std::printf("block reader scan and sum         %.3f s  (%.2fx)\n", scan, scan / plain);
  std::printf("trial balance ZOiSa, mode B       %.3f s  (%.2fx)  rows %d\n", runs[0],
              runs[0] / plain, CurrentReport().RowCount());
  std::printf("trial balance ZOiSa, mode N       %.3f s  (%.2fx)\n", runs[1], runs[1] / plain);
  std::printf("report bytes %lu\n", static_cast<unsigned long>(CurrentReport().StoredBytes()));
  std::remove(path.c_str());
  return 0;
}
