// Zel paths and the folders they live in.
//
// Inside Zel a path is a Windows-1250 text with "\" separators ("#\Zel.BAL",
// DbDir + "Zel.BAL", "VAT\Vat.7BT"). NativePath turns it into a UTF-8 POSIX
// path: "\" and "/" both separate components; each component that already
// exists is matched without regard to letter case (Polish letters included),
// so "VAT\Vat.7BT" and "vat\VAT.7BT" name one file; a component that does not
// exist keeps the spelling given, so new files are created as spelled.
//
// Where a path starts:
//   - relative ("#\Zel.BAL", "FIRMA\"): below the Zel folder, the program's
//     current folder (SetZelFolder; by default $ZEL_HOME, else
//     $XDG_DATA_HOME/zel, else $HOME/.local/share/zel);
//   - a drive letter ("C:\DANE\", "d:Temp"): below that drive's root, which is
//     $ZEL_DRIVE_C (for C, and so on) when set, else the folder "drive_c"
//     inside the Zel folder. Drive C always exists, as on Windows: its
//     default root is made when a folder is first created on it
//     (MakeFolder); other drives exist when their folder does. So a path
//     typed on Windows keeps working, and
//     nothing is ever written outside the user's own folders unasked;
//   - "\" or "/" at the front: an absolute POSIX path, for folders named the
//     native way (a shared database on a mounted network drive).
// This module owns the Zel folder and the drive table; nothing else changes
// the process's current folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zel {

// $ZEL_HOME, else $XDG_DATA_HOME/zel, else $HOME/.local/share/zel (UTF-8).
std::string DefaultZelFolder();

// Makes `native` (UTF-8, absolute or relative to the process's folder) the Zel
// folder: creates it with its parents when missing and makes it the current
// folder. False with a Polish message in *err when that fails.
bool SetZelFolder(std::string_view native, std::string* err);

// The Zel folder as an absolute native path without a trailing "/"; empty
// until SetZelFolder succeeded (NativePath then resolves against the
// process's current folder).
const std::string& ZelFolder();

// The native folder drive `letter` (A..Z, either case) maps to; empty for a
// character that is not a letter.
std::string DriveRoot(char letter);
// Overrides a drive's root (tests, or a setting); an empty `native` returns
// the drive to its default.
void SetDriveRoot(char letter, std::string_view native);
// The letters whose drive root exists, in order (the drive enumeration).
std::vector<char> ExistingDrives();

// The native UTF-8 path of a Zel path (see above). Never fails: components
// not found are kept as given. A trailing separator is dropped.
std::string NativePath(std::string_view zel_path);

// The file name part of a Zel path: everything after its last "\" (or "/").
std::string_view PathFileName(std::string_view zel_path);
// The folder part with its trailing "\" (empty when there is none).
std::string_view PathFolder(std::string_view zel_path);

}  // namespace zel
