#include "platform/file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>
#include <vector>

#include "common/cp1250.hpp"
#include "platform/faults.hpp"
#include "platform/paths.hpp"

namespace zel {

namespace {

IoError last_error = IoError::kNone;

IoError FromErrno(int e) {
  switch (e) {
    case 0:
      return IoError::kNone;
    case ENOENT:
    case ENOTDIR:
      return IoError::kNotFound;
    case EEXIST:
      return IoError::kExists;
    case EACCES:
    case EPERM:
    case EROFS:
      return IoError::kDenied;
    case EAGAIN:
      return IoError::kLocked;
    default:
      return IoError::kOther;
  }
}

// Whole-file (or a range) open-file-description lock, non-blocking.
int SetLock(int fd, short type, std::uint64_t start = 0, std::uint64_t len = 0) {
  struct flock fl {};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = static_cast<off_t>(start);
  fl.l_len = static_cast<off_t>(len);
  fl.l_pid = 0;
  if (fcntl(fd, F_OFD_SETLK, &fl) == 0) return 0;
  return errno;
}

// Whether another open of the file holds a lock that excludes `type`.
bool Conflicts(int fd, short type) {
  struct flock fl {};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_pid = 0;
  if (fcntl(fd, F_OFD_GETLK, &fl) != 0) return false;
  return fl.l_type != F_UNLCK;
}

bool SameFile(int fd, const std::string& path) {
  struct stat a, b;
  if (fstat(fd, &a) != 0 || stat(path.c_str(), &b) != 0) return false;
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

IoError LastIoError() {
  return last_error;
}
void SetLastIoError(IoError e) {
  last_error = e;
}

std::string IoErrorText(IoError e) {
  switch (e) {
    case IoError::kNone:
      return "O.K.";
    case IoError::kNotFound:
      return "brak pliku"_w;
    case IoError::kExists:
      return "plik już istnieje"_w;
    case IoError::kLocked:
      return "plik zajęty przez inny program"_w;
    case IoError::kDenied:
      return "brak dostępu do pliku"_w;
    case IoError::kInjected:
      return "błąd wejścia-wyjścia (próba)"_w;
    case IoError::kOther:
      break;
  }
  return "błąd wejścia-wyjścia"_w;
}

File::~File() {
  Close();
}

File::File(File&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      share_(other.share_),
      writable_(other.writable_),
      error_(other.error_),
      native_(std::move(other.native_)) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    share_ = other.share_;
    writable_ = other.writable_;
    error_ = other.error_;
    native_ = std::move(other.native_);
  }
  return *this;
}

bool File::Fail(IoError e) {
  error_ = e;
  last_error = e;
  return false;
}

bool File::Ok() {
  error_ = IoError::kNone;
  last_error = IoError::kNone;
  return true;
}

bool File::Open(std::string_view zel_path, Access access, Share share, Disposition disposition) {
  return OpenNative(NativePath(zel_path), access, share, disposition);
}

bool File::OpenNative(const std::string& native_path, Access access, Share share,
                      Disposition disposition) {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  native_ = native_path;
  share_ = share;
  if (FaultFires(FaultOp::kOpen)) return Fail(IoError::kInjected);

  bool want_write = access == Access::kReadWrite || share == Share::kExclusive ||
                    disposition == Disposition::kCreateAlways;
  int create = 0;
  if (disposition == Disposition::kOpenAlways || disposition == Disposition::kCreateAlways) {
    create = O_CREAT;
  } else if (disposition == Disposition::kCreateNew) {
    create = O_CREAT | O_EXCL;
  }
  // A file replaced by a rename between the open and the lock is opened again.
  for (int attempt = 0; attempt < 20; ++attempt) {
    int fd = ::open(native_.c_str(), (want_write ? O_RDWR : O_RDONLY) | create | O_CLOEXEC, 0666);
    if (fd < 0 && want_write && access == Access::kRead && (errno == EACCES || errno == EROFS)) {
      // An exclusive read of a file that cannot be written: a read lock.
      want_write = false;
      fd = ::open(native_.c_str(), O_RDONLY | create | O_CLOEXEC, 0666);
    }
    if (fd < 0) return Fail(FromErrno(errno));
    struct stat st;
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
      ::close(fd);
      return Fail(IoError::kDenied);
    }
    int lock_error = 0;
    switch (share) {
      case Share::kExclusive:
        lock_error = SetLock(fd, want_write ? F_WRLCK : F_RDLCK);
        break;
      case Share::kDenyWrite:
        // With write access the open also fails while another reader
        // excludes writers.
        if (want_write && Conflicts(fd, F_WRLCK)) {
          lock_error = EAGAIN;
        } else {
          lock_error = SetLock(fd, F_RDLCK);
        }
        break;
      case Share::kDenyNone:
        if (Conflicts(fd, want_write ? F_WRLCK : F_RDLCK)) lock_error = EAGAIN;
        break;
    }
    if (lock_error == EINVAL) lock_error = 0;  // a file system without these locks
    if (lock_error != 0) {
      ::close(fd);
      return Fail(lock_error == EAGAIN || lock_error == EACCES ? IoError::kLocked
                                                               : FromErrno(lock_error));
    }
    if (!SameFile(fd, native_)) {
      ::close(fd);
      if (disposition == Disposition::kCreateNew) return Fail(IoError::kOther);
      continue;
    }
    fd_ = fd;
    writable_ = want_write;
    if (disposition == Disposition::kCreateAlways) {
      if (!Truncate(0)) {
        const IoError e = error_;
        ::close(fd_);
        fd_ = -1;
        return Fail(e);
      }
    }
    return Ok();
  }
  return Fail(IoError::kLocked);
}

bool File::WriteLocked(std::uint64_t offset, std::uint64_t n, bool take) {
  if (share_ != Share::kDenyNone) return true;
  if (take) {
    const int e = SetLock(fd_, F_WRLCK, offset, n);
    return e == 0 || e == EINVAL;
  }
  SetLock(fd_, F_UNLCK, offset, n);
  return true;
}

bool File::ReadAt(std::uint64_t offset, void* buffer, std::size_t n, std::size_t* got) {
  if (got) *got = 0;
  if (fd_ < 0) return Fail(IoError::kOther);
  if (FaultFires(FaultOp::kRead)) return Fail(IoError::kInjected);
  std::size_t done = 0;
  auto* p = static_cast<char*>(buffer);
  while (done < n) {
    const ssize_t r = ::pread(fd_, p + done, n - done, static_cast<off_t>(offset + done));
    if (r < 0) {
      if (errno == EINTR) continue;
      return Fail(FromErrno(errno));
    }
    if (r == 0) break;
    done += static_cast<std::size_t>(r);
  }
  if (got) *got = done;
  return Ok();
}

bool File::WriteAt(std::uint64_t offset, const void* data, std::size_t n) {
  if (fd_ < 0 || !writable_) return Fail(fd_ < 0 ? IoError::kOther : IoError::kDenied);
  if (FaultFires(FaultOp::kWrite)) return Fail(IoError::kInjected);
  if (n == 0) return Ok();
  if (!WriteLocked(offset, n, true)) return Fail(IoError::kLocked);
  std::size_t done = 0;
  const auto* p = static_cast<const char*>(data);
  while (done < n) {
    const ssize_t r = ::pwrite(fd_, p + done, n - done, static_cast<off_t>(offset + done));
    if (r < 0) {
      if (errno == EINTR) continue;
      const IoError e = FromErrno(errno);
      WriteLocked(offset, n, false);
      return Fail(e);
    }
    done += static_cast<std::size_t>(r);
  }
  WriteLocked(offset, n, false);
  return Ok();
}

bool File::CopyTo(File& to, std::uint64_t offset, std::size_t n, std::size_t* got) {
  *got = 0;
  if (fd_ < 0 || to.fd_ < 0) return Fail(IoError::kOther);
  if (!to.writable_) return Fail(IoError::kDenied);
  if (FaultFires(FaultOp::kRead)) return Fail(IoError::kInjected);
  if (FaultFires(FaultOp::kWrite)) return Fail(IoError::kInjected);
  if (!to.WriteLocked(offset, n, true)) return Fail(IoError::kLocked);
  std::size_t done = 0;
  bool in_kernel = true;
  std::vector<char> buffer;
  while (done < n) {
    ssize_t r = -1;
    if (in_kernel) {
      off_t from_at = static_cast<off_t>(offset + done);
      off_t to_at = from_at;
      r = ::copy_file_range(fd_, &from_at, to.fd_, &to_at, n - done, 0);
      if (r < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)) {
        in_kernel = false;  // another file system or an old kernel: through memory
        continue;
      }
    } else {
      if (buffer.empty()) buffer.resize(std::min<std::size_t>(n, 1u << 20));
      const std::size_t want = std::min(buffer.size(), n - done);
      r = ::pread(fd_, buffer.data(), want, static_cast<off_t>(offset + done));
      if (r > 0) {
        const std::size_t read = static_cast<std::size_t>(r);
        std::size_t written = 0;
        while (written < read) {
          const ssize_t w = ::pwrite(to.fd_, buffer.data() + written, read - written,
                                     static_cast<off_t>(offset + done + written));
          if (w < 0 && errno == EINTR) continue;
          if (w < 0) {
            const IoError e = FromErrno(errno);
            to.WriteLocked(offset, n, false);
            return Fail(e);
          }
          written += static_cast<std::size_t>(w);
        }
      }
    }
    if (r < 0) {
      if (errno == EINTR) continue;
      const IoError e = FromErrno(errno);
      to.WriteLocked(offset, n, false);
      return Fail(e);
    }
    if (r == 0) break;
    done += static_cast<std::size_t>(r);
  }
  to.WriteLocked(offset, n, false);
  *got = done;
  return Ok();
}

bool File::Append(std::string_view data) {
  std::uint64_t size = 0;
  if (!Size(&size)) return false;
  return WriteAt(size, data.data(), data.size());
}

bool File::ReadAll(std::string* out, std::uint64_t limit) {
  out->clear();
  std::uint64_t size = 0;
  if (!Size(&size)) return false;
  if (size > limit) return Fail(IoError::kOther);
  out->resize(static_cast<std::size_t>(size));
  std::size_t got = 0;
  if (!ReadAt(0, out->data(), out->size(), &got)) {
    out->clear();
    return false;
  }
  out->resize(got);
  return true;
}

bool File::Size(std::uint64_t* size) {
  *size = 0;
  if (fd_ < 0) return Fail(IoError::kOther);
  struct stat st;
  if (fstat(fd_, &st) != 0) return Fail(FromErrno(errno));
  *size = static_cast<std::uint64_t>(st.st_size);
  return Ok();
}

bool File::Truncate(std::uint64_t size) {
  if (fd_ < 0 || !writable_) return Fail(fd_ < 0 ? IoError::kOther : IoError::kDenied);
  if (FaultFires(FaultOp::kWrite)) return Fail(IoError::kInjected);
  if (!WriteLocked(0, 0, true)) return Fail(IoError::kLocked);
  const int r = ::ftruncate(fd_, static_cast<off_t>(size));
  const int e = errno;
  WriteLocked(0, 0, false);
  if (r != 0) return Fail(FromErrno(e));
  return Ok();
}

bool File::Sync() {
  if (fd_ < 0) return Fail(IoError::kOther);
  if (FaultFires(FaultOp::kWrite)) return Fail(IoError::kInjected);
  if (::fsync(fd_) != 0) return Fail(FromErrno(errno));
  return Ok();
}

bool File::NamesThisFile() const {
  return fd_ >= 0 && SameFile(fd_, native_);
}

bool File::RemoveWhileHeld() {
  if (!NamesThisFile()) return Fail(IoError::kNotFound);
  if (::unlink(native_.c_str()) != 0) return Fail(FromErrno(errno));
  return Ok();
}

bool File::Close() {
  if (fd_ < 0) return true;
  const int r = ::close(fd_);
  fd_ = -1;
  if (r != 0) return Fail(FromErrno(errno));
  return true;
}

}  // namespace zel
