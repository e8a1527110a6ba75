// A handle on one file, opened in one of the three sharing modes, and the
// outcome of the last file operation.
//
// Sharing is made of whole-file POSIX open-file-description locks
// (F_OFD_SETLK), which hold between processes and between handles of one
// process alike:
//   Share::kExclusive  a write lock for the life of the handle: every other
//                      open of the file fails while it is held;
//   Share::kDenyWrite  a read lock for the life of the handle: other readers
//                      may open, writers may not (their open fails, and a
//                      shared handle's write fails while the lock is held);
//                      with write access its own open fails while another
//                      reader excludes writers;
//   Share::kDenyNone   no lock; the open fails only while someone holds the
//                      file in a way that excludes this access, and each write
//                      takes a write lock for the time it writes.
// A locked open re-checks that the path still names the file it locked, so a
// file replaced by a rename meanwhile is opened afresh. A File owns its
// descriptor; the destructor closes it. Every operation records its outcome
// in LastIoError(), which the retry loop of the shell reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zel {

enum class Share : std::uint8_t {
  kDenyNone,   // shared read-write
  kDenyWrite,  // read with writers excluded
  kExclusive,  // exclusive read-write
};

enum class Access : std::uint8_t { kRead, kReadWrite };

enum class Disposition : std::uint8_t {
  kOpenExisting,  // fails when the file is missing
  kOpenAlways,    // opens, creating an empty file when missing
  kCreateAlways,  // creates, or empties an existing file
  kCreateNew,     // creates; fails when the file exists
};

enum class IoError : std::uint8_t {
  kNone,
  kNotFound,  // the file or a folder of its path is missing
  kExists,    // kCreateNew, or a rename onto another file
  kLocked,    // another handle's sharing mode excludes this one
  kDenied,    // permissions, read-only file system
  kInjected,  // a fault armed by InjectFault (faults.hpp)
  kOther,
};

// The outcome of the last file operation of this layer, any handle or call.
IoError LastIoError();
inline bool LastIoOk() {
  return LastIoError() == IoError::kNone;
}
// Records an outcome (the shell's retry loop resets it; tests use it).
void SetLastIoError(IoError e);
// A short Polish description ("plik zablokowany", ...), Windows-1250.
std::string IoErrorText(IoError e);

class File {
 public:
  File() = default;
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Opens the file at a Zel path (paths.hpp). A handle already open is
  // closed first. With Share::kExclusive the descriptor is opened for writing
  // as well (a write lock needs it), falling back to a read lock on a file
  // that cannot be written.
  bool Open(std::string_view zel_path, Access access, Share share,
            Disposition disposition = Disposition::kOpenExisting);
  // The same with a native path, for the few callers that hold one.
  bool OpenNative(const std::string& native_path, Access access, Share share,
                  Disposition disposition = Disposition::kOpenExisting);

  bool IsOpen() const { return fd_ >= 0; }
  const std::string& native_path() const { return native_; }
  IoError error() const { return error_; }

  // Reads up to n bytes at offset; *got tells how many (fewer at the end).
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t n, std::size_t* got);
  // Writes all n bytes at offset, or fails.
  bool WriteAt(std::uint64_t offset, const void* data, std::size_t n);
  bool Append(std::string_view data);
  // Copies up to n bytes at offset of this file to the same offset of `to`
  // (open for writing), inside the kernel where it can; *got tells how many
  // (fewer at the end). Counts as one read and one write.
  bool CopyTo(File& to, std::uint64_t offset, std::size_t n, std::size_t* got);
  // The whole file (for small text files); false when it is larger than limit.
  bool ReadAll(std::string* out, std::uint64_t limit = 16u << 20);
  bool Size(std::uint64_t* size);
  bool Truncate(std::uint64_t size);
  bool Sync();
  // True while the handle's path still names the very file it holds open (a
  // file deleted or replaced meanwhile is another file); leaves LastIoError.
  bool NamesThisFile() const;
  // Deletes the file while the handle still holds it, and only when its
  // path still names this very file (POSIX lets anyone unlink a locked
  // file, so the check is what keeps another program's new file safe).
  bool RemoveWhileHeld();
  // Closes and releases the lock; false when the close reported an error.
  bool Close();

 private:
  bool Fail(IoError e);
  bool Ok();
  bool WriteLocked(std::uint64_t offset, std::uint64_t n, bool take);

  int fd_ = -1;
  Share share_ = Share::kDenyNone;
  bool writable_ = false;
  IoError error_ = IoError::kNone;
  std::string native_;
};

}  // namespace zel
