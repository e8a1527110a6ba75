// What the benchmarks share: the clocks, a best-of-rounds timing, and the
// plain read of a record file that the options are measured against.
#pragma once

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// Results added here cannot be optimised away.
inline volatile std::uint64_t g_sink = 0;

inline double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// User + system CPU seconds of this process so far: on a machine shared with
// other work the wall clock stretches, the CPU time much less.
inline double Cpu() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  auto sec = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return sec(u.ru_utime) + sec(u.ru_stime);
}

// The best wall and CPU time of several rounds.
struct Timing {
  double wall = 1e9;
  double cpu = 1e9;
  void Keep(double w, double c) {
    wall = std::min(wall, w);
    cpu = std::min(cpu, c);
  }
};

// Reads the file in blocks of 200 records of 250 bytes and adds one byte of
// every record, so the read cannot be optimised away. Answers the seconds
// (-1 when the file cannot be opened) and the record count.
inline double PlainRead(const std::string& path, std::uint64_t* records) {
  const double t0 = Now();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  std::vector<unsigned char> buf(200 * 250);
  std::uint64_t n = 0, sum = 0;
  for (;;) {
    const ssize_t got = ::read(fd, buf.data(), buf.size());
    if (got <= 0) break;
    for (ssize_t i = 0; i + 250 <= got; i += 250) {
      sum += buf[static_cast<std::size_t>(i) + 73];
      ++n;
    }
  }
  ::close(fd);
  *records = n;
  g_sink = g_sink + sum;
  return Now() - t0;
}

}  // namespace bench
