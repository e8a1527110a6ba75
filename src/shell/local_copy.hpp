// Private working copies of shared data files.
//
// A long read of a shared file (a journal for the journals, the audit, ...)
// works on a copy in this workstation's TempDir, so other workstations may
// go on appending while the report is drawn, and the report sees one
// consistent file. The copy is reused while the shared file is unchanged;
// "unchanged" is judged by its size, its nanosecond modification time, its
// change time (which nobody can set back) and its identity, all remembered
// beside the copy when it was taken.
#pragma once

#include <string>
#include <string_view>

namespace zel {

// The workstation registry's say on a long read of a shared file: '+' before
// the copy (false refuses it), '-' when the copy is done. A single
// workstation accepts everything; the shared registry installs its own.
using FileUseRegister = bool (*)(char command, std::string_view path);
// Installs the register (nullptr: accept everything); returns the previous.
FileUseRegister SetFileUseRegister(FileUseRegister reg);
// Asks the installed register: '+' a long read, '#' the intent to rewrite a
// shared file (refused while another workstation uses it), '-' release.
bool RequestFileUse(char command, std::string_view path);

// The Zel path of the local copy of path: TempDir + its file name part.
std::string LocalCopyName(std::string_view path);

// Brings the data file at the Zel path into its local copy; true when the
// copy is there and current. With n > 0 and path missing, the file is looked
// for in a sub-folder named by the first n characters of its name part (the
// characters that follow the first backslash of path, or that begin it):
// "X:\R2024.DFX" with n = 3 is also looked for as "X:\R20\R2024.DFX".
// The copy is written beside its final name and renamed over it, so a failed
// copy never leaves a cut file that a later run could take as current.
// Failures say why on the status line in colour 0.
bool LocalCopy(std::string_view path, int n);

}  // namespace zel
