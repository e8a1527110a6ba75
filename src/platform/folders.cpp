#include "platform/folders.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <optional>

#include "common/cp1250.hpp"
#include "platform/case_fold.hpp"
#include "platform/faults.hpp"
#include "platform/file.hpp"
#include "platform/paths.hpp"

namespace zel {

namespace {

std::optional<DateTime> fixed_clock;

bool Fail(IoError e) {
  SetLastIoError(e);
  return false;
}

bool FailErrno(int e) {
  switch (e) {
    case ENOENT:
    case ENOTDIR:
      return Fail(IoError::kNotFound);
    case EEXIST:
    case ENOTEMPTY:
      return Fail(IoError::kExists);
    case EACCES:
    case EPERM:
    case EROFS:
      return Fail(IoError::kDenied);
    default:
      return Fail(IoError::kOther);
  }
}

bool Done() {
  SetLastIoError(IoError::kNone);
  return true;
}

std::int64_t Nanoseconds(const struct timespec& t) {
  return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

std::string NativeFolderOf(const std::string& native) {
  const std::size_t p = native.find_last_of('/');
  if (p == std::string::npos) return ".";
  if (p == 0) return "/";
  return native.substr(0, p);
}

void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// The native target of a rename: the resolved folder and the name spelled as
// given; *existing is the resolved path when a file of that name (in any
// letter case) exists.
std::string RenameTarget(std::string_view to, std::string* existing) {
  const std::string resolved = NativePath(to);
  struct stat st;
  *existing = lstat(resolved.c_str(), &st) == 0 ? resolved : std::string();
  std::string name = WinToUtf8(PathFileName(to));
  if (name.empty()) return resolved;
  return NativeFolderOf(resolved) + "/" + name;
}

bool WildcardFrom(std::string_view p, std::string_view n) {
  // Iterative match with one backtrack point for the last "*".
  std::size_t pi = 0, ni = 0, star = std::string_view::npos, mark = 0;
  while (ni < n.size()) {
    if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
      ++pi;
      ++ni;
    } else if (pi < p.size() && p[pi] == '*') {
      star = pi++;
      mark = ni;
    } else if (star != std::string_view::npos) {
      pi = star + 1;
      ni = ++mark;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

// Drive C is always there, as on Windows: its default root inside the Zel
// folder comes into being when a folder is first created on it. Other drives
// exist only when their folder does, and a root named by the environment or
// by SetDriveRoot is never created (a missing one is a drive not mounted).
void EnsureDefaultDrive(std::string_view zel_path) {
  if (zel_path.size() < 2 || zel_path[1] != ':') return;
  if (zel_path[0] != 'C' && zel_path[0] != 'c') return;
  if (std::getenv("ZEL_DRIVE_C") != nullptr) return;
  const std::string root = DriveRoot(zel_path[0]);
  const std::string& zel = ZelFolder();
  if (zel.empty() || root.compare(0, zel.size() + 1, zel + "/") != 0) return;
  ::mkdir(root.c_str(), 0777);
}

}  // namespace

DateTime LocalTime(std::int64_t unix_ns) {
  const time_t secs = static_cast<time_t>(unix_ns / 1000000000);
  struct tm tm {};
  localtime_r(&secs, &tm);
  DateTime d;
  d.year = tm.tm_year + 1900;
  d.month = tm.tm_mon + 1;
  d.day = tm.tm_mday;
  d.hour = tm.tm_hour;
  d.minute = tm.tm_min;
  d.second = tm.tm_sec;
  d.millisecond = static_cast<int>((unix_ns % 1000000000) / 1000000);
  return d;
}

DateTime Now() {
  if (fixed_clock) return *fixed_clock;
  struct timespec t {};
  clock_gettime(CLOCK_REALTIME, &t);
  return LocalTime(Nanoseconds(t));
}

void SetClockForTests(const DateTime* fixed) {
  if (fixed) {
    fixed_clock = *fixed;
  } else {
    fixed_clock.reset();
  }
}

bool GetFileInfo(std::string_view zel_path, FileInfo* info) {
  *info = FileInfo{};
  struct stat st;
  if (stat(NativePath(zel_path).c_str(), &st) != 0) return false;
  info->exists = true;
  info->is_folder = S_ISDIR(st.st_mode);
  info->size = static_cast<std::uint64_t>(st.st_size);
  info->modified_ns = Nanoseconds(st.st_mtim);
  info->changed_ns = Nanoseconds(st.st_ctim);
  info->file_id = static_cast<std::uint64_t>(st.st_ino) ^ (static_cast<std::uint64_t>(st.st_dev) << 40);
  info->modified = LocalTime(info->modified_ns);
  return true;
}

bool FileOrFolderExists(std::string_view zel_path) {
  FileInfo info;
  return GetFileInfo(zel_path, &info);
}

bool IsFile(std::string_view zel_path) {
  FileInfo info;
  return GetFileInfo(zel_path, &info) && !info.is_folder;
}

bool IsFolder(std::string_view zel_path) {
  FileInfo info;
  return GetFileInfo(zel_path, &info) && info.is_folder;
}

bool SetModifiedTime(std::string_view zel_path, std::int64_t modified_ns) {
  if (FaultFires(FaultOp::kRename)) return Fail(IoError::kInjected);
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = static_cast<time_t>(modified_ns / 1000000000);
  times[1].tv_nsec = static_cast<long>(modified_ns % 1000000000);
  if (utimensat(AT_FDCWD, NativePath(zel_path).c_str(), times, 0) != 0) return FailErrno(errno);
  return Done();
}

bool RenameFile(std::string_view from, std::string_view to) {
  if (FaultFires(FaultOp::kRename)) return Fail(IoError::kInjected);
  const std::string source = NativePath(from);
  struct stat a;
  if (lstat(source.c_str(), &a) != 0) return FailErrno(errno);
  std::string existing;
  const std::string target = RenameTarget(to, &existing);
  if (!existing.empty()) {
    struct stat b;
    const bool same =
        lstat(existing.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    if (!same) return Fail(IoError::kExists);
    // Only the letter case of the name changes: the file takes the new spelling.
    if (::rename(source.c_str(), target.c_str()) != 0) return FailErrno(errno);
    return Done();
  }
  if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) != 0) {
    if (errno != EINVAL) return FailErrno(errno);
    if (::rename(source.c_str(), target.c_str()) != 0) return FailErrno(errno);
  }
  return Done();
}

bool ReplaceFile(std::string_view from, std::string_view to, Durability durability) {
  if (FaultFires(FaultOp::kRename)) return Fail(IoError::kInjected);
  const std::string target = NativePath(to);
  if (::rename(NativePath(from).c_str(), target.c_str()) != 0) return FailErrno(errno);
  if (durability == Durability::kSynced) SyncFolder(NativeFolderOf(target));
  return Done();
}

bool RemoveFile(std::string_view zel_path) {
  if (FaultFires(FaultOp::kRename)) return Fail(IoError::kInjected);
  if (::unlink(NativePath(zel_path).c_str()) != 0) return FailErrno(errno);
  return Done();
}

bool MakeFolder(std::string_view zel_path) {
  if (FaultFires(FaultOp::kRename)) return Fail(IoError::kInjected);
  EnsureDefaultDrive(zel_path);
  const std::string native = NativePath(zel_path);
  if (::mkdir(native.c_str(), 0777) != 0) {
    const int e = errno;
    struct stat st;
    if (e == EEXIST && stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return Done();
    return FailErrno(e);
  }
  return Done();
}

bool MakeFolders(std::string_view zel_path) {
  if (FaultFires(FaultOp::kRename)) return Fail(IoError::kInjected);
  EnsureDefaultDrive(zel_path);
  const std::string native = NativePath(zel_path);
  for (std::size_t i = 1; i <= native.size(); ++i) {
    if (i != native.size() && native[i] != '/') continue;
    const std::string prefix = native.substr(0, i);
    if (::mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) return FailErrno(errno);
  }
  struct stat st;
  if (stat(native.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return Fail(IoError::kExists);
  return Done();
}

bool RemoveFolder(std::string_view zel_path) {
  if (FaultFires(FaultOp::kRename)) return Fail(IoError::kInjected);
  if (::rmdir(NativePath(zel_path).c_str()) != 0) return FailErrno(errno);
  return Done();
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  const std::string p = FoldCase(pattern);
  const std::string n = FoldCase(name);
  if (WildcardFrom(p, n)) return true;
  // "x.*" also matches "x": Windows treats a name without a dot as ending in one.
  if (p.size() >= 2 && p.compare(p.size() - 2, 2, ".*") == 0 && n.find('.') == std::string::npos) {
    return WildcardFrom(std::string_view(p).substr(0, p.size() - 2), n);
  }
  return false;
}

std::vector<FoundFile> FindFiles(std::string_view zel_pattern) {
  std::vector<FoundFile> out;
  const std::string_view folder = PathFolder(zel_pattern);
  const std::string_view pattern = PathFileName(zel_pattern);
  const std::string native = NativePath(folder);
  DIR* d = opendir(native.c_str());
  if (d == nullptr) return out;
  while (dirent* e = readdir(d)) {
    const std::string_view n = e->d_name;
    if (n == "." || n == "..") continue;
    FoundFile f;
    f.name = Utf8ToWin(n);
    if (!WildcardMatch(pattern, f.name)) continue;
    struct stat st;
    const std::string full = (native == "/" ? "" : native) + "/" + std::string(n);
    if (stat(full.c_str(), &st) == 0) {
      f.is_folder = S_ISDIR(st.st_mode);
      f.size = static_cast<std::uint64_t>(st.st_size);
      f.modified_ns = Nanoseconds(st.st_mtim);
    }
    out.push_back(std::move(f));
  }
  closedir(d);
  std::sort(out.begin(), out.end(),
            [](const FoundFile& a, const FoundFile& b) { return a.name < b.name; });
  return out;
}

bool WriteFileAtomically(std::string_view zel_path, std::string_view contents,
                         std::string_view temp_suffix) {
  const std::string target = NativePath(zel_path);
  const std::string temp =
      target + WinToUtf8(temp_suffix.empty() ? std::string_view(".tmp") : temp_suffix);
  File f;
  if (!f.OpenNative(temp, Access::kReadWrite, Share::kExclusive, Disposition::kCreateAlways)) {
    // The open may have created the file before failing; a temporary file
    // locked by another writer is that writer's and stays.
    const IoError e = LastIoError();
    if (e != IoError::kLocked) ::unlink(temp.c_str());
    return Fail(e);
  }
  if (!f.WriteAt(0, contents.data(), contents.size()) || !f.Sync() || !f.Close()) {
    const IoError e = LastIoError();
    f.Close();
    ::unlink(temp.c_str());
    return Fail(e);
  }
  if (FaultFires(FaultOp::kRename)) {
    ::unlink(temp.c_str());
    return Fail(IoError::kInjected);
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    const int e = errno;
    ::unlink(temp.c_str());
    return FailErrno(e);
  }
  SyncFolder(NativeFolderOf(target));
  return Done();
}

}  // namespace zel
