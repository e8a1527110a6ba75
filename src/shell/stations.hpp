// Workstations that share one Zel folder: the lock file each running copy
// holds, the search for stale ones, and the count of running workstations.
//
// Every running workstation holds its lock file in the folder "!" open with
// an exclusive lock for the program's life. "Running" means "its lock cannot
// be taken", never "its file exists": a crashed copy leaves a file that
// anyone can lock, and such a file is deleted only while its finder holds
// the lock and after checking that the name still names the locked file.
// StationLockName forms every lock name; the search reads the number back
// through StationOfLockName, so the two always agree.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/file.hpp"

namespace zel {

inline constexpr int kMaxStation = 197;

// The Zel path of the lock file of workstation `number` (1..197):
// "!\!Prac-FX.005". A single workstation (number 0) locks its database
// folder instead, so two single copies on one database see each other:
// "!\!Prac-" + a hash of the folder + ".xxx".
std::string StationLockName(int number, std::string_view db_dir);
// The workstation number a lock file's name (name part only) tells: 1..197
// for "!Prac-FX.005", 0 for a single workstation's or any other name.
int StationOfLockName(std::string_view file_name);

// What trying a lock file found.
enum class LockProbe { kMissing, kRunning, kStale };
// Tries the lock of a file: kRunning when another program holds it; kStale
// when it could be taken (the file is then deleted when delete_stale);
// kMissing when there is no such file.
LockProbe ProbeLockFile(std::string_view zel_path, bool delete_stale);
// Whether workstation `number` runs (its lock file is held). Deletes nothing.
bool StationRunning(int number);

// The lock this program holds for its workstation.
class StationLock {
 public:
  enum class Result { kTaken, kRunning, kFailed };
  // Creates (or opens) the file exclusively and keeps it open. kRunning when
  // another program holds it.
  Result Take(std::string_view zel_path);
  // Deletes the file while still holding it, then closes it.
  void Release();
  bool Held() const { return file_.IsOpen(); }
  const std::string& Path() const { return path_; }

 private:
  File file_;
  std::string path_;
};

// The lock of this program's workstation.
StationLock& OwnStationLock();

struct StationCensus {
  bool registry_ok = true;        // false: "!\!.!" could neither be found nor created
  int running = 0;                // lock files held by running programs
  std::array<bool, 200> flags{};  // running workstations by number
};

// CleanStations: deletes stale lock files in "!", counts the running
// workstations and, for a numbered workstation (NetworkMode), clears the
// registry records of the stopped ones (judged under the registry's
// exclusive lock, so a workstation that registers meanwhile keeps its
// record). Shows "Stanowisk pracuje: " with the count plus `extra` (the
// workstation that is logging in) in colour 2.
StationCensus CleanStations(int extra = 0);

}  // namespace zel
