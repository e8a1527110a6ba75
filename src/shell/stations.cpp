#include "shell/stations.hpp"

#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "platform/folders.hpp"
#include "platform/paths.hpp"
#include "shell/file_access.hpp"
#include "shell/registry.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"

namespace zel {

namespace {

constexpr std::string_view kLockFolder = "!\\";
constexpr std::string_view kLockPrefix = "!Prac-";

std::uint32_t Fnv32(std::string_view text) {
  std::uint32_t h = 2166136261u;
  for (unsigned char c : text) {
    h ^= c;
    h *= 16777619u;
  }
  return h;
}

}  // namespace

std::string StationLockName(int number, std::string_view db_dir) {
  char tail[32];
  if (number >= 1 && number <= kMaxStation) {
    std::snprintf(tail, sizeof tail, "FX.%03d", number);
  } else {
    std::snprintf(tail, sizeof tail, "%08X.xxx", static_cast<unsigned>(Fnv32(UpperPl(db_dir))));
  }
  return std::string(kLockFolder) + std::string(kLockPrefix) + tail;
}

int StationOfLockName(std::string_view name) {
  // "!Prac-FX.005": the prefix, "FX", a point and three digits.
  constexpr std::string_view kNumbered = "!PRAC-FX.";
  if (name.size() != kNumbered.size() + 3) return 0;
  if (UpperPl(name.substr(0, kNumbered.size())) != kNumbered) return 0;
  int n = 0;
  for (char c : name.substr(kNumbered.size())) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + (c - '0');
  }
  return n >= 1 && n <= kMaxStation ? n : 0;
}

LockProbe ProbeLockFile(std::string_view path, bool delete_stale) {
  File f;
  if (f.Open(path, Access::kReadWrite, Share::kExclusive, Disposition::kOpenExisting)) {
    // Deleted while held, and only when the name still names the file whose
    // lock was taken: a program starting meanwhile opens its own new file.
    if (delete_stale) f.RemoveWhileHeld();
    f.Close();
    SetLastIoError(IoError::kNone);
    return LockProbe::kStale;
  }
  const IoError e = LastIoError();
  SetLastIoError(IoError::kNone);
  if (e == IoError::kNotFound) return LockProbe::kMissing;
  // A file that cannot be locked for any other reason is taken as held:
  // wrongly deleting a live workstation's trace is the worse mistake.
  return LockProbe::kRunning;
}

bool StationRunning(int number) {
  if (number < 1 || number > kMaxStation) return false;
  return ProbeLockFile(StationLockName(number, {}), false) == LockProbe::kRunning;
}

StationLock::Result StationLock::Take(std::string_view path) {
  Release();
  MakeFolder(kLockFolder.substr(0, 1));
  bool made = false;
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (file_.Open(path, Access::kReadWrite, Share::kExclusive, Disposition::kOpenAlways)) {
      path_ = std::string(path);
      return Result::kTaken;
    }
    if (LastIoError() == IoError::kLocked) {
      // Another workstation's CleanStations holds a stale file for a moment
      // while it checks it; a running program holds it for good.
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      continue;
    }
    if (made) break;
    // The folder may be missing (a fresh Zel folder): made, then once more.
    MakeFolders(PathFolder(path));
    made = true;
  }
  return LastIoError() == IoError::kLocked ? Result::kRunning : Result::kFailed;
}

void StationLock::Release() {
  if (!file_.IsOpen()) return;
  file_.RemoveWhileHeld();
  file_.Close();
  SetLastIoError(IoError::kNone);
  path_.clear();
}

StationLock& OwnStationLock() {
  static StationLock lock;
  return lock;
}

StationCensus CleanStations(int extra) {
  StationCensus census;
  for (const FoundFile& found : FindFiles("!\\!Prac*.*")) {
    if (found.is_folder) continue;
    const std::string path = std::string(kLockFolder) + found.name;
    if (path == OwnStationLock().Path() && OwnStationLock().Held()) {
      census.running += 1;
      if (int n = StationOfLockName(found.name); n > 0) census.flags[n] = true;
      continue;
    }
    if (ProbeLockFile(path, true) != LockProbe::kRunning) continue;
    census.running += 1;
    if (int n = StationOfLockName(found.name); n > 0) census.flags[n] = true;
  }
  if (NetworkMode) census.registry_ok = ClearStoppedRecords();
  ShowStatus("Stanowisk pracuje: " + IntTextOrZero(census.running + extra), kInfo);
  return census;
}

}  // namespace zel
