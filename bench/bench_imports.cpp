// Speed of the turnover import: 100,000 rows of a dBase file (code page 852)
// read with shapelib, checked and written as "Obroty.DFX" (beside, forced to
// disk, renamed), against a plain read of the same dBase file plus a plain
// write of the 25,000,000-byte result (written, forced to disk, renamed).
// Both run side by side, best of ZEL_BENCH_ROUNDS rounds (default 5), wall
// and CPU time.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/demo_imports.hpp"
#include "bench_support.hpp"
#include "books/imports.hpp"
#include "common/cp1250.hpp"
#include "platform/paths.hpp"
#include "shell/status.hpp"
#include "store/journal_entry.hpp"

using namespace zel;

namespace {

// Reads the whole file in blocks and writes `out_bytes` bytes as a new file
// beside `out`, forced to disk and renamed over it.
double PlainReadAndWrite(const std::string& dbf, const std::string& out, std::size_t out_bytes) {
  const double t0 = bench::Now();
  const int in = ::open(dbf.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return -1;
  std::vector<unsigned char> buf(1 << 16);
  std::uint64_t sum = 0;
  for (;;) {
    const ssize_t got = ::read(in, buf.data(), buf.size());
    if (got <= 0) break;
    for (ssize_t i = 0; i < got; i += 64) sum += buf[static_cast<std::size_t>(i)];
  }
  ::close(in);
  const std::string temp = out + ".plain~";
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return -1;
  std::vector<unsigned char> block(200 * kJournalRecordSize, static_cast<unsigned char>(sum));
  for (std::size_t done = 0; done < out_bytes; done += block.size()) {
    const std::size_t n = std::min(block.size(), out_bytes - done);
    if (::write(fd, block.data(), n) != static_cast<ssize_t>(n)) return -1;
  }
  ::fsync(fd);
  ::close(fd);
  std::rename(temp.c_str(), out.c_str());
  bench::g_sink = bench::g_sink + sum;
  return bench::Now() - t0;
}

}  // namespace

int main() {
  const int rows = 100000;
  const char* env = std::getenv("ZEL_BENCH_ROUNDS");
  const int rounds = env != nullptr && std::atoi(env) > 0 ? std::atoi(env) : 5;
  const std::string dir = "/tmp/zel_bench_imports";
  std::filesystem::create_directories(dir);
  std::string err;
  if (!WriteDbf(dir + "/Ksiega.dbf", TurnoverDbfFields(), DemoTurnoverDbfRows(rows), &err)) {
    std::fprintf(stderr, "%s\n", WinToUtf8(err).c_str());
    return 1;
  }
  const std::string out_zel = Utf8ToWin(dir) + "\\Obroty.DFX";
  bench::Timing import, plain, reading, writing;
  for (int r = 0; r < rounds; ++r) {
    // The two steps of the import on their own: reading and checking the
    // rows, and writing the file.
    double w = bench::Now(), c = bench::Cpu();
    TurnoverImport rows_read;
    {
      auto sheet = OpenDbfSheet(dir + "/Ksiega.dbf", &err);
      if (!sheet || !ReadDbfTurnovers(*sheet, nullptr, &rows_read, &err)) return 1;
    }
    reading.Keep(bench::Now() - w, bench::Cpu() - c);
    w = bench::Now();
    c = bench::Cpu();
    if (!WriteImportedTurnovers(out_zel, rows_read)) return 1;
    writing.Keep(bench::Now() - w, bench::Cpu() - c);

    w = bench::Now();
    c = bench::Cpu();
    if (!ImportDbfTurnovers(dir + "/Ksiega.dbf", out_zel, nullptr)) {
      std::fprintf(stderr, "import failed: %s\n", WinToUtf8(LastMessage()).c_str());
      return 1;
    }
    import.Keep(bench::Now() - w, bench::Cpu() - c);
    w = bench::Now();
    c = bench::Cpu();
    if (PlainReadAndWrite(dir + "/Ksiega.dbf", dir + "/Plain.DFX",
                          static_cast<std::size_t>(rows) * kJournalRecordSize) < 0) {
      return 1;
    }
    plain.Keep(bench::Now() - w, bench::Cpu() - c);
  }
  std::printf("import of %d dBase rows: wall %.3f s, cpu %.3f s\n", rows, import.wall, import.cpu);
  std::printf("  reading the rows:      wall %.3f s, cpu %.3f s\n", reading.wall, reading.cpu);
  std::printf("  writing the file:      wall %.3f s, cpu %.3f s\n", writing.wall, writing.cpu);
  std::printf("plain read + write:      wall %.3f s, cpu %.3f s\n", plain.wall, plain.cpu);
  std::printf("ratio (wall) %.2f, ratio (cpu) %.2f (limit 3)\n", import.wall / plain.wall,
              import.cpu / plain.cpu);
  std::filesystem::remove_all(dir);
  return 0;
}
