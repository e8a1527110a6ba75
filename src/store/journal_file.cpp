#include "store/journal_file.hpp"

#include "shell/file_access.hpp"
#include "shell/state.hpp"

namespace zel {

std::string JournalPath(std::string_view name) {
  std::string path(DbDir.view());
  path += name;
  path += ".DFX";
  if (path.size() > 250) path.resize(250);
  return path;
}

bool OpenShared(File& file, std::string_view path, Share mode, std::string_view tag) {
  const Access access = mode == Share::kDenyWrite ? Access::kRead : Access::kReadWrite;
  return ProtectedOpen(file, path, access, mode, Disposition::kOpenExisting, tag);
}

}  // namespace zel
