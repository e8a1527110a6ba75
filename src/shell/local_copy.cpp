#include "shell/local_copy.hpp"

#include <cinttypes>
#include <cstdio>

#include "common/cp1250.hpp"
#include "platform/file.hpp"
#include "platform/folders.hpp"
#include "platform/paths.hpp"
#include "shell/file_access.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"

namespace zel {

namespace {

FileUseRegister use_register = nullptr;

bool Register(char command, std::string_view path) { return RequestFileUse(command, path); }

// Large blocks: the copy runs inside the kernel, so fewer calls are faster.
constexpr std::size_t kCopyBlock = 16u << 20;
constexpr std::string_view kContext = "bZestaw";

// What is remembered of the shared file when its copy is taken.
std::string StampText(std::string_view path, const FileInfo& info) {
  char numbers[128];
  std::snprintf(numbers, sizeof numbers, "%" PRIu64 " %" PRId64 " %" PRId64 " %" PRIu64, info.size,
                info.modified_ns, info.changed_ns, info.file_id);
  return std::string(path) + "\n" + numbers + "\n";
}

std::string StampName(std::string_view local) {
  return std::string(local) + "-zrodlo";
}

bool SameFile(const FileInfo& a, const FileInfo& b) {
  return a.size == b.size && a.modified_ns == b.modified_ns && a.changed_ns == b.changed_ns &&
         a.file_id == b.file_id;
}

// The copy is current when it exists with the shared file's size and time
// and its stamp names this very file in this very state.
bool CopyIsCurrent(std::string_view path, std::string_view local, const FileInfo& source) {
  FileInfo copy;
  if (!GetFileInfo(local, &copy) || copy.is_folder) return false;
  if (copy.size != source.size || copy.modified_ns != source.modified_ns) return false;
  File stamp;
  std::string text;
  if (!stamp.Open(StampName(local), Access::kRead, Share::kDenyNone) ||
      !stamp.ReadAll(&text, 4096)) {
    return false;
  }
  return text == StampText(path, source);
}

// Where the file really is: path, or the sub-folder named by the start of
// its name when path is missing.
std::string SourcePath(std::string_view path, int n) {
  if (n <= 0 || IsFile(path)) return std::string(path);
  const std::size_t slash = path.find('\\');
  const std::size_t at = slash == std::string_view::npos ? 0 : slash + 1;
  const std::string_view start = path.substr(at, static_cast<std::size_t>(n));
  return std::string(path.substr(0, at)) + std::string(start) + "\\" + std::string(path.substr(at));
}

// Written beside and renamed over, not forced to disk (see the copy).
void WriteStamp(const std::string& name, const std::string& text) {
  const std::string part = name + "~";
  File f;
  if (f.Open(part, Access::kReadWrite, Share::kExclusive, Disposition::kCreateAlways) &&
      f.WriteAt(0, text.data(), text.size()) && f.Close() &&
      ReplaceFile(part, name, Durability::kCache)) {
    return;
  }
  f.Close();
  RemoveFile(part);
  RemoveFile(name);
}

void Fail(std::string_view text, std::string_view path) {
  ShowStatus(std::string(text) + std::string(path), kWarning);
}

}  // namespace

bool RequestFileUse(char command, std::string_view path) {
  return use_register == nullptr || use_register(command, path);
}

FileUseRegister SetFileUseRegister(FileUseRegister reg) {
  FileUseRegister previous = use_register;
  use_register = reg;
  return previous;
}

std::string LocalCopyName(std::string_view path) {
  const std::size_t slash = path.rfind('\\');
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  return std::string(TempDir.view()) + std::string(name);
}

bool LocalCopy(std::string_view requested, int n) {
  const std::string local = LocalCopyName(requested);
  const std::string path = SourcePath(requested, n);
  FileInfo before;
  if (!GetFileInfo(path, &before) || before.is_folder) {
    Fail("Nie ma ", path);
    return false;
  }
  if (CopyIsCurrent(path, local, before)) return true;

  const std::string part = local + "~";
  File out;
  if (!ProtectedOpen(out, part, Access::kReadWrite, Share::kExclusive, Disposition::kCreateAlways,
                     kContext)) {
    Fail("Nie mogę utworzyć kopii roboczej "_w, part);
    return false;
  }
  auto drop_part = [&] {
    out.Close();
    RemoveFile(part);
  };
  if (!Register('+', path)) {
    drop_part();
    return false;
  }
  auto give_up = [&](std::string_view text) {
    drop_part();
    Register('-', path);
    Fail(text, path);
    return false;
  };

  File in;
  if (!ProtectedOpen(in, path, Access::kRead, Share::kDenyWrite, Disposition::kOpenExisting,
                     kContext)) {
    return give_up("Nie mogę otworzyć "_w);
  }
  ShowStatus("Ściągam "_w + path, kInfo);
  std::uint64_t offset = 0;
  for (;;) {
    std::size_t got = 0;
    if (!in.CopyTo(out, offset, kCopyBlock, &got)) {
      return give_up("Błąd kopiowania "_w);
    }
    if (got == 0) break;
    offset += got;
  }
  // Writers were kept out, but a program that ignores locks could still have
  // changed the file while it was read: such a copy is not taken.
  FileInfo after;
  if (!GetFileInfo(path, &after) || !SameFile(before, after) || offset != before.size) {
    return give_up("Plik zmienił się w czasie kopiowania: "_w);
  }
  in.Close();
  // The copy is a private cache that is taken again whenever its stamp does
  // not match, so it is not forced to disk: that would make a fresh copy
  // several times slower than the read it serves.
  if (!out.Close()) return give_up("Błąd zapisu kopii roboczej "_w);
  if (!SetModifiedTime(part, before.modified_ns) || !ReplaceFile(part, local, Durability::kCache)) {
    return give_up("Błąd zapisu kopii roboczej "_w);
  }
  // Without its stamp the copy is simply taken again next time.
  WriteStamp(StampName(local), StampText(path, before));
  Register('-', path);
  StatusOK();
  return true;
}

}  // namespace zel
