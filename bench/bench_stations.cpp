// Workstations on one Zel folder: 197 processes starting together (each
// cleans stale workstations, takes its lock and registers its chart), the
// time of one registry command beside 196 busy records, and LocalCopy of a
// file whose copy is current and of a large file (250 MB by default, or the
// size in MB given as the first argument) against `cp` of the same file.
// Everything lives in a fresh folder under /tmp, removed at the end. Times
// are wall times: the machine may be busy with other work, so compare the
// pairs taken side by side rather than single figures.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/concat.hpp"
#include "platform/file.hpp"
#include "platform/folders.hpp"
#include "platform/paths.hpp"
#include "shell/file_access.hpp"
#include "shell/local_copy.hpp"
#include "shell/registry.hpp"
#include "shell/state.hpp"
#include "shell/stations.hpp"
#include "shell/status.hpp"
#include "store/station_register.hpp"

using namespace zel;

namespace {

double Now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void Become(int n) {
  NetworkMode = true;
  RunMode = static_cast<std::uint8_t>(n);
  StationExt = Concat({".", std::to_string(n + 1000).substr(1)});
}

// 197 processes wait at one pipe, then all start at once.
double StartTogether() {
  int go[2];
  int done[2];
  if (pipe(go) != 0 || pipe(done) != 0) return -1;
  std::vector<pid_t> pids;
  for (int n = 1; n <= kMaxStation; ++n) {
    const pid_t pid = fork();
    if (pid == 0) {
      close(go[1]);
      char c;
      if (read(go[0], &c, 1) != 0) _exit(2);  // the pipe closes: everyone starts
      Become(n);
      CleanStations();
      if (OwnStationLock().Take(StationLockName(n, {})) != StationLock::Result::kTaken) _exit(3);
      if (RegisterCommand('!', "DEMO\\PlanKont.PFX") != RegisterOutcome::kWritten) _exit(4);
      const char ok = 'y';
      if (write(done[1], &ok, 1) != 1) _exit(5);
      pause();  // keeps running, as a desktop does
      _exit(0);
    }
    pids.push_back(pid);
  }
  close(go[0]);
  close(done[1]);
  const double start = Now();
  close(go[1]);
  int registered = 0;
  char c;
  while (registered < kMaxStation && read(done[0], &c, 1) == 1) ++registered;
  const double took = Now() - start;
  for (pid_t pid : pids) kill(pid, SIGKILL);
  for (pid_t pid : pids) waitpid(pid, nullptr, 0);
  close(done[0]);
  std::printf("  %d of %d workstations registered in %.3f s\n", registered, kMaxStation, took);
  return took;
}

void RegistryOperations() {
  // 196 other workstations have records (their programs are gone, but their
  // texts differ from ours, so no conflict clears them).
  for (int n = 2; n <= kMaxStation; ++n) {
    Become(n);
    RegisterCommand('+', "INNY" + std::to_string(n));
  }
  Become(1);
  OwnStationLock().Take(StationLockName(1, {}));
  constexpr int kPairs = 2000;
  const double start = Now();
  for (int i = 0; i < kPairs; ++i) {
    RegisterCommand('+', "N2024.DFX");
    RegisterCommand('-', "N2024.DFX");
  }
  const double took = Now() - start;
  std::printf("  registry command: %.1f us on average (%d commands)\n", took / (2 * kPairs) * 1e6,
              2 * kPairs);
}

bool WriteBig(const std::string& native, std::uint64_t bytes) {
  std::FILE* f = std::fopen(native.c_str(), "wb");
  if (!f) return false;
  std::vector<char> block(1 << 20);
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 31);
  bool ok = true;
  for (std::uint64_t left = bytes; left > 0 && ok;) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, block.size()));
    ok = std::fwrite(block.data(), 1, n, f) == n;
    left -= n;
  }
  return std::fclose(f) == 0 && ok;
}

void LocalCopies(const std::string& root, int megabytes) {
  InstallStationRegisters();
  MakeFolder("DEMO");
  MakeFolder("TEMP");
  TempDir = "TEMP\\";
  const std::string big_native = root + "/DEMO/N2024.DFX";
  if (!WriteBig(big_native, static_cast<std::uint64_t>(megabytes) << 20)) {
    std::printf("  cannot write %s\n", big_native.c_str());
    return;
  }
  // Three rounds taken in turns, the best of each: the file was just
  // written, and whichever copy ran first would also wait for its pages to
  // reach the disk.
  const std::string cp = "cp " + big_native + " " + root + "/cp-copy";
  double ours = 1e9, theirs = 1e9;
  bool copied = true;
  int rc = 0;
  for (int round = 0; round < 3; ++round) {
    RemoveFile("TEMP\\N2024.DFX");  // the copy is taken afresh each round
    double start = Now();
    copied = LocalCopy("DEMO\\N2024.DFX", 0) && copied;
    ours = std::min(ours, Now() - start);
    std::filesystem::remove(root + "/cp-copy");
    start = Now();
    rc |= std::system(cp.c_str());
    theirs = std::min(theirs, Now() - start);
  }
  std::printf(
      "  LocalCopy of %d MB: %.3f s (%s); cp: %.3f s (exit %d); ratio %.2f (best of 3 each)\n",
      megabytes, ours, copied ? "copied" : "FAILED", theirs, rc, theirs > 0 ? ours / theirs : 0.0);
  // For comparison, the same copy forced to disk.
  const std::string cp_sync =
      "cp " + big_native + " " + root + "/cp-copy2 && sync " + root + "/cp-copy2";
  double start = Now();
  const int rc2 = std::system(cp_sync.c_str());
  const double durable = Now() - start;
  std::printf("  cp + sync of the copy: %.3f s (exit %d); ratio %.2f\n", durable, rc2,
              durable > 0 ? ours / durable : 0.0);

  constexpr int kFresh = 1000;
  start = Now();
  int current = 0;
  for (int i = 0; i < kFresh; ++i) current += LocalCopy("DEMO\\N2024.DFX", 0) ? 1 : 0;
  std::printf("  LocalCopy of a current copy: %.1f us on average (%d of %d current)\n",
              (Now() - start) / kFresh * 1e6, current, kFresh);
}

}  // namespace

int main(int argc, char** argv) {
  const int megabytes = argc > 1 ? std::atoi(argv[1]) : 250;
  char tmpl[] = "/tmp/zel-bench-stations-XXXXXX";
  const char* made = mkdtemp(tmpl);
  std::string err;
  if (!made || !SetZelFolder(made, &err)) {
    std::fprintf(stderr, "bench_stations: no folder under /tmp\n");
    return 1;
  }
  SetStatusSink(nullptr);
  const std::string root = made;
  std::printf("workstations starting together:\n");
  StartTogether();
  std::printf("registry:\n");
  RegistryOperations();
  OwnStationLock().Release();
  std::printf("local copies:\n");
  LocalCopies(root, megabytes > 0 ? megabytes : 250);
  std::filesystem::remove_all(root);
  return 0;
}
