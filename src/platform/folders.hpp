// Folder and file-name operations on Zel paths: existence, size and time
// stamp, rename, replace, delete, folder creation, folder search with
// Windows-like wildcards, atomic replacement of a file's contents, and the
// clock.
//
// All paths are Zel paths (paths.hpp) unless a name says native. Every
// operation that changes something records its outcome in LastIoError()
// (file.hpp); the questions (GetFileInfo, IsFile, FindFiles, ...) leave it
// alone. Nothing throws.
// Times are local (the TZ of the process).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zel {

struct DateTime {
  int year = 0;  // four digits
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

struct FileInfo {
  bool exists = false;
  bool is_folder = false;
  std::uint64_t size = 0;
  std::int64_t modified_ns = 0;  // nanoseconds since 1970 (for exact comparison)
  std::int64_t changed_ns = 0;   // last change of contents or attributes; cannot be set back
  std::uint64_t file_id = 0;     // tells a file from another one put in its place
  DateTime modified;             // the same, local time
};

// The clock: the local date and time now. Tests may fix it (nullptr: real).
DateTime Now();
void SetClockForTests(const DateTime* fixed);
DateTime LocalTime(std::int64_t unix_ns);

bool GetFileInfo(std::string_view zel_path, FileInfo* info);
bool FileOrFolderExists(std::string_view zel_path);
bool IsFile(std::string_view zel_path);
bool IsFolder(std::string_view zel_path);
// Gives the file the time stamp modified_ns (as FileInfo holds it).
bool SetModifiedTime(std::string_view zel_path, std::int64_t modified_ns);

// Renames a file or folder; fails with kExists when `to` names another
// existing file. Renaming to a spelling that differs only in letter case
// changes the spelling.
bool RenameFile(std::string_view from, std::string_view to);
// Whether a replacement is forced to disk before it is reported done.
enum class Durability : std::uint8_t {
  kSynced,  // the folder is flushed: the new name survives a power failure
  kCache,   // left to the system: for private files that are made again when lost
};
// Renames over an existing `to` atomically (readers see the old or the new).
bool ReplaceFile(std::string_view from, std::string_view to,
                 Durability durability = Durability::kSynced);
bool RemoveFile(std::string_view zel_path);
// Creates one folder; true when it exists afterwards as a folder.
bool MakeFolder(std::string_view zel_path);
// Creates the folder and every missing folder above it.
bool MakeFolders(std::string_view zel_path);
bool RemoveFolder(std::string_view zel_path);  // an empty folder

// Windows-like wildcard match of a name (Windows-1250) without regard to
// letter case: "*" any run, "?" one character, and a pattern ending in ".*"
// also matches a name without a dot ("!Prac*.*" matches "!Prac-FX").
bool WildcardMatch(std::string_view pattern, std::string_view name);

struct FoundFile {
  std::string name;  // Windows-1250, as spelled on disk
  bool is_folder = false;
  std::uint64_t size = 0;
  std::int64_t modified_ns = 0;
};
// The entries of a folder whose name matches the pattern, for a Zel pattern
// such as "!\!Prac*.*" or DbDir + "*.dfx" (folder part resolved as a path).
// "." and ".." are left out; sorted by name. Empty when the folder is missing.
std::vector<FoundFile> FindFiles(std::string_view zel_pattern);

// Replaces the file's contents atomically: writes `contents` to the Zel path
// followed by temp_suffix beside it, flushes it to disk, renames it over the
// file and flushes the folder. A reader sees the old file or the new one,
// never neither and never a part; on failure the old file is untouched and
// the temporary file removed.
bool WriteFileAtomically(std::string_view zel_path, std::string_view contents,
                         std::string_view temp_suffix);

}  // namespace zel
