// The annual-file audit (zel-batch KonZR) over a large year beside a plain
// read of the same annual file, each figure the best of a few rounds taken
// in turns.
//   bench_audit DBDIR [ROUNDS]
// DBDIR is a database folder written by `zel-demo --postings N` (annual file
// N2024, working file R2024). The Zel folder is $ZEL_HOME (a scratch folder
// is best). Figures:
//   read          N2024 read in blocks of 200 records, every record touched;
//   KonZR N2024   the whole zel-batch run in-process, with the local copy
//                 taken afresh (the copy of the last round removed first);
//   KonZR N2024 ~ the same while the local copy is current (no copying);
//   KonZR R2024   the working file, in document order: the local copy, the
//                 pass that finds it out of order, the sorted copy, the audit;
//   KonZR R2024 ~ the same while the local copy is current.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/batch.hpp"
#include "platform/paths.hpp"
#include "shell/local_copy.hpp"
#include "shell/state.hpp"

#include "bench_support.hpp"

namespace {

using bench::Cpu;
using bench::g_sink;
using bench::Now;
using bench::PlainRead;
using bench::Timing;

// One run of "KonZR Robo=name"; false when it failed.
bool Audit(const std::string& db, const std::string& name, bool fresh_copy, Timing* t) {
  if (fresh_copy && !zel::DbDir.empty()) {
    // The copy a previous round left is taken again.
    std::error_code ec;
    std::filesystem::remove(zel::NativePath(zel::LocalCopyName(zel::DbDir.str() + name + ".DFX")),
                            ec);
  }
  zel::BatchRequest request;
  std::string err;
  if (!zel::ParseBatchArgs({"--db", db, "KonZR", "Robo=" + name}, &request, &err)) {
    std::fprintf(stderr, "%s\n", err.c_str());
    return false;
  }
  std::size_t out_bytes = 0;
  zel::BatchIo io;
  io.out = [&out_bytes](std::string_view text) { out_bytes += text.size(); };
  io.err = [](std::string_view text) { std::fwrite(text.data(), 1, text.size(), stderr); };
  const double c0 = Cpu();
  const double t0 = Now();
  const int code = zel::RunBatch(request, io);
  t->Keep(Now() - t0, Cpu() - c0);
  g_sink = g_sink + out_bytes;
  if (code != 0) std::fprintf(stderr, "KonZR Robo=%s failed with code %d\n", name.c_str(), code);
  return code == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_audit DBDIR [ROUNDS]\n");
    return 2;
  }
  const std::string db = std::filesystem::absolute(argv[1]).lexically_normal().string();
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  const std::string annual_path = db + "/N2024.DFX";

  std::uint64_t records = 0;
  PlainRead(annual_path, &records);  // warms the page cache
  Timing read, annual, annual_kept, working, working_kept;
  // One untimed run sets the database folder, so that the first timed
  // round also finds the copy to remove.
  Timing warm;
  if (!Audit(db, "N2024", false, &warm)) return 1;
  for (int r = 0; r < rounds; ++r) {
    const double c0 = Cpu();
    const double w = PlainRead(annual_path, &records);
    read.Keep(w, Cpu() - c0);
    if (!Audit(db, "N2024", true, &annual)) return 1;
    if (!Audit(db, "N2024", false, &annual_kept)) return 1;
    if (!Audit(db, "R2024", true, &working)) return 1;
    if (!Audit(db, "R2024", false, &working_kept)) return 1;
  }
  const double data = static_cast<double>(records) * 250 / 1e6;
  std::printf("annual file        %s: %llu records, %.1f MB\n", annual_path.c_str(),
              static_cast<unsigned long long>(records), data);
  std::printf("                     wall s    CPU s\n");
  std::printf("plain read        %8.3f %8.3f\n", read.wall, read.cpu);
  std::printf(
      "KonZR N2024       %8.3f %8.3f   %.2f x the read by wall, %.2f x by CPU (limit 2.5)\n",
      annual.wall, annual.cpu, annual.wall / read.wall, annual.cpu / read.cpu);
  std::printf("KonZR N2024, copy current %8.3f %8.3f   %.2f x by wall, %.2f x by CPU\n",
              annual_kept.wall, annual_kept.cpu, annual_kept.wall / read.wall,
              annual_kept.cpu / read.cpu);
  std::printf("KonZR R2024       %8.3f %8.3f   %.2f x the read by wall, %.2f x by CPU (limit 5)\n",
              working.wall, working.cpu, working.wall / read.wall, working.cpu / read.cpu);
  std::printf("KonZR R2024, copy current %8.3f %8.3f   %.2f x by wall, %.2f x by CPU\n",
              working_kept.wall, working_kept.cpu, working_kept.wall / read.wall,
              working_kept.cpu / read.cpu);
  return 0;
}
