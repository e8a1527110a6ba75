#include "shell/form_templates.hpp"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "platform/file.hpp"
#include "platform/folders.hpp"
#include "platform/program_files.hpp"

namespace zel {

bool InstallFormTemplates(std::string* err) {
  const std::string data = DataFolder();
  const std::filesystem::path folder = std::filesystem::path(data) / "templates";
  std::error_code ec;
  if (data.empty() || !std::filesystem::is_directory(folder, ec)) {
    *err = Concat({"Nie ma folderu wzorów formularzy "_w, Utf8ToWin(folder.string())});
    return false;
  }
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
    if (entry.is_regular_file(ec)) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  MakeFolder("!");
  for (const std::filesystem::path& file : files) {
    const std::string target = Concat({"!\\", Utf8ToWin(file.filename().string())});
    if (IsFile(target)) continue;
    File in;
    std::string text;
    const bool read = in.OpenNative(file.string(), Access::kRead, Share::kDenyWrite,
                                    Disposition::kOpenExisting) &&
                      in.ReadAll(&text, 4u << 20);
    in.Close();
    if (!read) {
      *err = Concat({"Błąd odczytu "_w, Utf8ToWin(file.string())});
      return false;
    }
    if (!WriteFileAtomically(target, text, "~")) {
      *err = Concat({"Błąd zapisu "_w, target});
      return false;
    }
  }
  return true;
}

}  // namespace zel
