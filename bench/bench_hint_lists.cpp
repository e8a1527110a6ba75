// The hint lists on large data, each figure the best of a few rounds.
//   bench_hint_lists DBDIR [ROUNDS]
// DBDIR is a database folder written by `zel-demo --postings N` (working
// file R2024). Figures:
//   account list   a chart of 90.000 accounts (made in memory, every tenth
//                  number left free) opened as F4 opens it: the view over
//                  the chart with its free entries, positioned at a typed
//                  symbol in the middle;
//   read R2024     the working file read in blocks of 200 records, every
//                  record touched;
//   document list  the list of documents of R2024 (one read, totals per
//                  document through a hash map, sorted by number).
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fields/hint_lists.hpp"
#include "fields/lis_f45.hpp"
#include "shell/state.hpp"
#include "store/chart.hpp"

#include "bench_support.hpp"

namespace {

using bench::Cpu;
using bench::g_sink;
using bench::Now;
using bench::PlainRead;
using bench::Timing;

struct NoHost : zel::ListHost {
  zel::ListRequest request;
  zel::ListRequest Request() override { return request; }
  void Answer(const zel::ListAnswer&) override {}
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "bench_hint_lists DBDIR [ROUNDS]\n");
    return 2;
  }
  const std::string db = argv[1];
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  zel::DbDir = db + "\\";

  // 90.000 accounts in 30 synthetic groups of 3.000 analytic accounts.
  zel::Chart().Clear();
  int made = 0;
  for (int g = 0; g < 30 && made < 90000; ++g) {
    for (int i = 0; made < 90000 && i < 3333; ++i) {
      if (i % 10 == 9) continue;
      zel::AccountRecord r;
      char sym[32];
      std::snprintf(sym, sizeof sym, "%03d-%05d", 200 + g, i);
      r.symbol = sym;
      r.name = "Kontrahent numer " + std::to_string(made);
      zel::Chart().Put(r);
      ++made;
    }
  }
  double best_chart = 1e9;
  std::size_t entries = 0;
  for (int k = 0; k < rounds; ++k) {
    NoHost host;
    host.request = zel::ListRequest{107, false, "215-01500", "", 55};
    zel::FLisF45 form(host);
    const double t0 = Now();
    form.Open(host.request);
    best_chart = std::min(best_chart, Now() - t0);
    entries = form.Count();
    g_sink = g_sink + form.Selected();
  }
  std::printf("account list   %6zu accounts, %6zu entries: %8.1f ms\n", zel::Chart().Count() - 1,
              entries, best_chart * 1e3);

  const std::string path = db + "/R2024.DFX";
  double best_read = 1e9, best_docs = 1e9;
  std::uint64_t records = 0;
  std::size_t docs = 0;
  for (int k = 0; k < rounds; ++k) {
    best_read = std::min(best_read, PlainRead(path, &records));
    const double t0 = Now();
    zel::HintList list = zel::BuildHintList(zel::ListRequest{100, false, "", "R2024", 55}, "", {});
    best_docs = std::min(best_docs, Now() - t0);
    docs = list.entries->Count();
  }
  std::printf("read R2024     %8llu records:            %8.1f ms\n",
              static_cast<unsigned long long>(records), best_read * 1e3);
  std::printf("document list  %8zu documents:          %8.1f ms  (%.2fx the read)\n", docs,
              best_docs * 1e3, best_docs / best_read);
  return 0;
}
