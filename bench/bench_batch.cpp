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
//            (--jpk), with the XML bytes written and their rate.
#include <fcntl.h>
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
#include "vat/jpk_kr.hpp"

namespace {

volatile std::uint64_t g_sink = 0;

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Reads the file in blocks of 200 records and adds one byte of every
// record, so the read cannot be optimised away.
double PlainRead(const std::string& path, std::uint64_t* records) {
  const double t0 = Now();
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  std::vector<unsigned char> buf(200 * 250);
  std::uint64_t n = 0, sum = 0;
  for (;;) {
    ssize_t got = ::read(fd, buf.data(), buf.size());
    if (got <= 0) break;
    for (ssize_t i = 0; i + 250 <= got; i += 250) {
      sum += buf[static_cast<std::size_t>(i) + 73];
      ++n;
    }
  }
  ::close(fd);
  *records = n;
  g_sink = g_sink + sum;  // keeps the loop honest
  return Now() - t0;
}

struct BatchRun {
  double seconds = -1;
  int code = -1;
  std::size_t out_bytes = 0;
  std::string last_line;
};

BatchRun RunOnce(const std::string& db, bool jpk) {
  std::vector<std::string> args = {"--db", db, "ZOiSa"};
  if (jpk) {
    args.push_back("--jpk");
  } else {
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
  double best_read = 1e9, best_tb = 1e9, best_jpk = 1e9;
  std::uint64_t xml_bytes = 0;
  for (int r = 0; r < rounds; ++r) {
    best_read = std::min(best_read, PlainRead(annual_path, &records));
    BatchRun tb = RunOnce(db, false);
    if (tb.code != 0) {
      std::fprintf(stderr, "ZOiSa failed with code %d\n", tb.code);
      return 1;
    }
    best_tb = std::min(best_tb, tb.seconds);
    BatchRun jpk = RunOnce(db, true);
    if (jpk.code != 0) {
      std::fprintf(stderr, "ZOiSa --jpk failed with code %d\n", jpk.code);
      return 1;
    }
    best_jpk = std::min(best_jpk, jpk.seconds);
    xml_bytes = FileBytes(jpk.last_line);
    for (const char* code : {"ZOiS", "Dzie", "KoZa"}) {
      xml_bytes += FileBytes(zel::NativePath(zel::FragmentPath(code)));
    }
  }
  const double mb = 1e6;
  std::printf("annual file       %s: %llu records, %.1f MB\n", annual_path.c_str(),
              static_cast<unsigned long long>(records), static_cast<double>(records) * 250 / mb);
  std::printf("plain read        %8.3f s  %7.0f MB/s\n", best_read,
              static_cast<double>(records) * 250 / mb / best_read);
  std::printf("ZOiSa JPKo=N      %8.3f s  %5.2f x the plain read (limit 2)\n", best_tb,
              best_tb / best_read);
  std::printf("ZOiSa --jpk       %8.3f s  XML written %.1f MB (fragments + JPK file)\n", best_jpk,
              static_cast<double>(xml_bytes) / mb);
  std::printf("XML rate          %8.0f MB/s over the whole run, %.0f MB/s over the time the "
              "JPK adds (limit 200)\n",
              static_cast<double>(xml_bytes) / mb / best_jpk,
              best_jpk > best_tb ? static_cast<double>(xml_bytes) / mb / (best_jpk - best_tb) : 0.0);
  return 0;
}
