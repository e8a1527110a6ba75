#include "platform/program_files.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace zel {

namespace {

bool IsNativeFolder(const std::string& native) {
  struct stat st;
  return !native.empty() && stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The folder part of a native path, without its trailing "/" ("/" stays).
std::string FolderOf(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return ".";
  if (slash == 0) return "/";
  return std::string(path.substr(0, slash));
}

}  // namespace

std::string ProgramFile() {
  std::string buf(4096, '\0');
  const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
  if (n <= 0 || static_cast<std::size_t>(n) >= buf.size()) return {};
  buf.resize(static_cast<std::size_t>(n));
  return buf;
}

std::string DataFolderFor(std::string_view program_file) {
  if (program_file.empty()) return {};
  const std::string bin = FolderOf(program_file);
  // An installed program: PREFIX/bin/zel reads PREFIX/share/zel.
  std::string installed = FolderOf(bin);
  if (installed != "/") installed += '/';
  installed += "share/zel";
  if (IsNativeFolder(installed)) return installed;
  // The build folder keeps a link to the source tree's data beside the programs.
  std::string beside = bin == "/" ? std::string("/data") : bin + "/data";
  if (IsNativeFolder(beside)) return beside;
  return {};
}

std::string DataFolder() {
  if (const char* v = std::getenv("ZEL_DATA_DIR"); v != nullptr && *v != '\0') {
    std::string dir(v);
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return IsNativeFolder(dir) ? dir : std::string();
  }
  return DataFolderFor(ProgramFile());
}

}  // namespace zel
