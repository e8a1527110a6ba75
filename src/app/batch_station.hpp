// zel-batch as one of the workstations of a shared Zel folder: with
// --station N (or --login) a terminal run holds workstation N's lock and
// takes part in the registry while it runs, so desktops and terminal runs
// see each other and refuse what conflicts.
#pragma once

#include <string>
#include <string_view>

namespace zel {

// What --login LOGIN:PASSWORD gave, checked against "!\Login.txt".
struct BatchLogin {
  int station = 0;
  std::string folder;  // Windows-1250, without its closing backslash
  std::string chart;   // empty: the settings'
};
// False with the login's message (Windows-1250) in *err.
bool LoginForBatch(std::string_view login_password, BatchLogin* out, std::string* err);

// Cleans stale workstations, takes this workstation's lock (RunMode,
// StationExt and DbDir set) and installs the registry. False with a message
// (Windows-1250) when the workstation already runs or the registry cannot
// be made.
bool JoinWorkstations(std::string* err);
// Clears this workstation's registry record and releases its lock.
void LeaveWorkstations();

}  // namespace zel
