#include "store/record_file_writer.hpp"

#include <algorithm>
#include <vector>

#include "common/cp1250.hpp"
#include "platform/file.hpp"
#include "platform/folders.hpp"
#include "shell/file_access.hpp"
#include "shell/registry.hpp"
#include "shell/state.hpp"

namespace zel {
namespace {

constexpr std::size_t kBlockRecords = 200;

bool Say(std::string* message, std::string text) {
  if (message != nullptr) *message = std::move(text);
  return false;
}

// The registry's "being rewritten" mark, released when the write ends.
class RewriteMark {
 public:
  explicit RewriteMark(std::string_view path) : path_(path) {
    const RegisterOutcome got = RegisterCommand('#', path_);
    refused_ = got == RegisterOutcome::kRefused;
    held_ = got == RegisterOutcome::kWritten;
  }
  ~RewriteMark() {
    if (held_) RegisterCommand('-', path_);
  }
  RewriteMark(const RewriteMark&) = delete;
  RewriteMark& operator=(const RewriteMark&) = delete;
  bool refused() const { return refused_; }

 private:
  std::string path_;
  bool refused_ = false;
  bool held_ = false;
};

}  // namespace

namespace {

// Writes the new contents beside `path` through `write_body` (which answers
// false with the error of the failed write) and renames them over it.
template <typename Body>
bool ReplaceWith(std::string_view path_view, std::string_view tag, std::string* message,
                 const Body& write_body) {
  const std::string path(path_view);
  RewriteMark mark(path);
  if (mark.refused())
    return Say(message, "Plik "_w + path + " jest używany na innym stanowisku"_w);

  // The old file is held exclusively until the new one has replaced it.
  File old;
  if (FileExists(path) &&
      !ProtectedOpen(old, path, Access::kReadWrite, Share::kExclusive,
                     Disposition::kOpenExisting, tag)) {
    return Say(message, "Nie zapisano "_w + path + " (" + IoErrorText(LastIoError()) + ")");
  }

  std::string temp = path;
  temp += StationExt.view();
  temp += '~';
  File out;
  if (!out.Open(temp, Access::kReadWrite, Share::kExclusive, Disposition::kCreateAlways)) {
    const IoError why = out.error();
    RemoveFile(temp);
    return Say(message, "Nie można utworzyć "_w + temp + " (" + IoErrorText(why) + ")");
  }
  if (!write_body(out)) {
    const IoError why = LastIoError();
    out.Close();
    RemoveFile(temp);
    return Say(message, "Błąd zapisu "_w + temp + " (" + IoErrorText(why) + ")");
  }
  if (!out.Sync() || !out.Close() || !ReplaceFile(temp, path)) {
    const IoError why = LastIoError();
    out.Close();
    RemoveFile(temp);
    return Say(message, "Nie zapisano "_w + path + " (" + IoErrorText(why) + ")");
  }
  return true;
}

}  // namespace

bool ReplaceRecordFile(std::string_view path, std::size_t count, std::size_t size,
                       const RecordFiller& fill, std::string_view tag, std::string* message) {
  return ReplaceWith(path, tag, message, [&](File& out) {
    std::vector<std::uint8_t> block(kBlockRecords * size);
    std::uint64_t offset = 0;
    for (std::size_t first = 0; first < count; first += kBlockRecords) {
      const std::size_t n = std::min(kBlockRecords, count - first);
      std::fill(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(n * size), 0);
      for (std::size_t i = 0; i < n; ++i) fill(first + i, block.data() + i * size);
      if (!out.WriteAt(offset, block.data(), n * size)) return false;
      offset += n * size;
    }
    return true;
  });
}

bool ReplaceFileBytes(std::string_view path, const std::uint8_t* data, std::size_t bytes,
                      std::string_view tag, std::string* message) {
  return ReplaceWith(path, tag, message, [&](File& out) {
    // Large blocks: few system calls, and a failure still says where.
    constexpr std::size_t kBlock = std::size_t{4} << 20;
    for (std::size_t done = 0; done < bytes; done += kBlock) {
      const std::size_t n = std::min(kBlock, bytes - done);
      if (!out.WriteAt(done, data + done, n)) return false;
    }
    return true;
  });
}

}  // namespace zel
