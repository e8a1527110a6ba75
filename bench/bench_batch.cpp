// zel-batch's trial balance over a large year beside a plain read of the
// same annual file, and the JPK_KR writing rate, measured side by side in
// one run (each figure the best of a few rounds, taken in turns).
//   bench_batch DBDIR [ANNUAL] [ROUNDS]
// DBDIR is a database folder written by `zel-demo --postings N`; ANNUAL is
// the annual file's name (default N2024). The Zel folder is $ZEL_HOME (a
// scratch folder is best). Figures:
//   read     the annual file read in blocks of 200 records (50,000 bytes),
//            every record touched: the floor any reader of the file has;
//   ZOiSa    the whole zel-batch run "ZOiSa JPKo=N" in-process: start-up,
//            chart, parameter window, the pass and the report text;
//   ZOiSa+JPK the same with the JPK fragments and the assembled JPK_KR file
//            (--jpk), with the XML bytes written and their rate (the file is
//            removed after each round);
//   Anali    the whole zel-batch run "Anali": a report line per posting.
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
#include <string_view>
#include <vector>

#include "app/batch.hpp"
#include "platform/paths.hpp"
#include "vat/jpk_kr.hpp"

#include "bench_support.hpp"

namespace {

using bench::Cpu;
using bench::g_sink;
using bench::Now;
using bench::PlainRead;
using bench::Timing;

struct BatchRun {
  double seconds = -1;
  int code = -1;
  std::size_t out_bytes = 0;
  std::string last_line;
};

BatchRun RunOnce(const std::string& db, bool jpk, const char* option = "ZOiSa") {
  std::vector<std::string> args = {"--db", db, option};
  if (jpk) {
    args.push_back("--jpk");
  } else if (std::string_view(option) == "ZOiSa") {
    args.push_back("JPKo=N");
  }
  zel::BatchRequest request;
  std::string err;
  BatchRun run;
  if (!zel::ParseBatchArgs(args, &request, &err)) {
    std::fprintf(stderr, "%s\n", err.c_str());
    return run;
  }
  std::string out;
  zel::BatchIo io;
  io.out = [&out](std::string_view text) { out.append(text); };
  io.err = [](std::string_view text) { std::fwrite(text.data(), 1, text.size(), stderr); };
  const double t0 = Now();
  run.code = zel::RunBatch(request, io);
  run.seconds = Now() - t0;
  run.out_bytes = out.size();
  if (!out.empty() && out.back() == '\n') out.pop_back();
  std::size_t nl = out.rfind('\n');
  run.last_line = nl == std::string::npos ? out : out.substr(nl + 1);
  return run;
}

std::uint64_t FileBytes(const std::string& native) {
  std::error_code ec;
  std::uint64_t n = std::filesystem::file_size(native, ec);
  return ec ? 0 : n;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_batch DBDIR [ANNUAL] [ROUNDS]\n");
    return 2;
  }
  const std::string db = std::filesystem::absolute(argv[1]).lexically_normal().string();
  const std::string annual = argc > 2 ? argv[2] : "N2024";
  const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
  const std::string annual_path = db + "/" + annual + ".DFX";

  std::uint64_t records = 0;
  PlainRead(annual_path, &records);  // warms the page cache
  Timing read, tb, jpk, anali;
  std::uint64_t xml_bytes = 0;
  for (int r = 0; r < rounds; ++r) {
    double c0 = Cpu();
    double w = PlainRead(annual_path, &records);
    read.Keep(w, Cpu() - c0);
    c0 = Cpu();
    BatchRun run = RunOnce(db, false);
    if (run.code != 0) {
      std::fprintf(stderr, "ZOiSa failed with code %d\n", run.code);
      return 1;
    }
    tb.Keep(run.seconds, Cpu() - c0);
    c0 = Cpu();
    run = RunOnce(db, true);
    if (run.code != 0) {
      std::fprintf(stderr, "ZOiSa --jpk failed with code %d\n", run.code);
      return 1;
    }
    jpk.Keep(run.seconds, Cpu() - c0);
    BatchRun& last = run;
    // The run writes every XML line twice: into the fragments while the
    // trial balance reads, then into the assembled file.
    xml_bytes = 2 * FileBytes(last.last_line);
    std::filesystem::remove(last.last_line);
    c0 = Cpu();
    run = RunOnce(db, false, "Anali");
    if (run.code != 0) {
      std::fprintf(stderr, "Anali failed with code %d\n", run.code);
      return 1;
    }
    anali.Keep(run.seconds, Cpu() - c0);
  }
  const double mb = 1e6;
  const double data = static_cast<double>(records) * 250 / mb;
  const double xml = static_cast<double>(xml_bytes) / mb;
  std::printf("annual file        %s: %llu records, %.1f MB\n", annual_path.c_str(),
              static_cast<unsigned long long>(records), data);
  std::printf("                     wall s    CPU s\n");
  std::printf("plain read        %8.3f %8.3f   %.0f MB/s (wall)\n", read.wall, read.cpu,
              data / read.wall);
  std::printf("ZOiSa JPKo=N      %8.3f %8.3f   %.2f x the read by wall, %.2f x by CPU (limit 2)\n",
              tb.wall, tb.cpu, tb.wall / read.wall, tb.cpu / read.cpu);
  std::printf("ZOiSa --jpk       %8.3f %8.3f   JPK file %.1f MB, XML written %.1f MB (fragments, then the file)\n",
              jpk.wall, jpk.cpu, xml / 2, xml);
  std::printf("XML rate          %6.0f MB/s by wall, %.0f MB/s by CPU over the whole run (limit 200);\n"
              "                  of the JPK file alone %.0f MB/s by wall, %.0f MB/s by CPU\n",
              xml / jpk.wall, xml / jpk.cpu, xml / 2 / jpk.wall, xml / 2 / jpk.cpu);
  std::printf("Anali             %8.3f %8.3f\n", anali.wall, anali.cpu);
  return 0;
}
