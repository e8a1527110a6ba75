// Zamkn: a month's working files move into the month's folder of the year.
#include <string>

#include "books/imports.hpp"
#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "common/pltext.hpp"
#include "platform/file.hpp"
#include "platform/folders.hpp"
#include "shell/file_access.hpp"
#include "shell/questions.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"

namespace zel {

ArchiveResult ArchiveMonth(std::string_view month) {
  ArchiveResult result;
  const std::string m(month);
  const std::string folder = Concat({DbDir.view(), m});
  if (!FindFiles(folder + "\\*.dfx").empty()) {
    ShowStatus(Concat({"W "_w, folder, " są już zbiory .DFX"_w}), kWarning);
    AskQuestion('N', "Jakiś problem"_w);
    result.stopped = true;
    return result;
  }
  const std::string bak = folder + "\\BAK";
  const std::string zfx = folder + "\\ZFX";
  for (const std::string& f : {folder, bak, zfx}) {
    if (!MakeFolder(f)) {
      ShowStatus("Nie mogę utworzyć "_w + f, kWarning);
      AskQuestion('N', "Jakiś problem"_w);
      result.stopped = true;
      return result;
    }
  }
  const std::string skip = m + ".";
  std::string first_failure;
  struct Kind {
    const char* ext;
    const std::string* target;
  };
  for (const Kind& k : {Kind{"DFX", &folder}, Kind{"BAK", &bak}, Kind{"ZFX", &zfx}}) {
    for (const FoundFile& f : FindFiles(Concat({DbDir.view(), m, "*.", k.ext}))) {
      if (f.is_folder || UpperPl(f.name).find(skip) != std::string::npos) continue;
      const std::string from = Concat({DbDir.view(), f.name});
      const std::string to = Concat({*k.target, "\\", f.name});
      // The file is held exclusively while it moves, so a workstation that
      // has it open keeps it where it is (after the usual retries).
      File held;
      const bool ok = ProtectedOpen(held, from, Access::kReadWrite, Share::kExclusive,
                                    Disposition::kOpenExisting, "Zamkn") &&
                      RenameFile(from, to);
      if (ok) {
        ++result.moved;
      } else {
        ++result.failed;
        if (first_failure.empty())
          first_failure = Concat({f.name, " (", IoErrorText(LastIoError()), ")"});
      }
    }
  }
  if (result.failed == 0) {
    ShowStatus(Concat({"Gotowe. Przeniesiono do "_w, folder, ": ",
                       std::to_string(result.moved)}),
               kSuccess);
  } else {
    ShowStatus(Concat({"Przeniesiono "_w, std::to_string(result.moved), ", nie przeniesiono "_w,
                       std::to_string(result.failed), ": "_w, first_failure}),
               kWarning);
  }
  return result;
}

}  // namespace zel
