#include "fields/shell_options.hpp"

#include <vector>

#include "common/cp1250.hpp"
#include "fields/option_values.hpp"
#include "fields/zestaw.hpp"
#include "platform/paths.hpp"
#include "shell/login.hpp"
#include "shell/pulpit.hpp"
#include "shell/settings.hpp"
#include "shell/settings_keys.hpp"
#include "shell/state.hpp"
#include "shell/stations.hpp"
#include "shell/status.hpp"
#include "store/chart.hpp"

namespace zel {

namespace {

ShellOptions* runner = nullptr;

// The longest folder the database settings and DbDir keep whole: room for
// the file names DbDir is joined with.
constexpr std::size_t kFolderRoom = 250 - 16;

bool FolderFits(FZestaw& form, const std::string& folder, const std::string& chart) {
  if (folder.size() > kFolderRoom || folder.size() + 1 + chart.size() > 250) {
    form.FieldError(31, "Za długa nazwa folderu bazy danych"_w);
    return false;
  }
  return true;
}

}  // namespace

ShellOptions* SetShellOptionRunner(ShellOptions* r) {
  ShellOptions* previous = runner;
  runner = r;
  return previous;
}

ShellOptions* ShellOptionRunner() {
  return runner;
}

void ShellOptions::CloseStationLock() {
  desk_.CloseStationLock();
}

bool ShellOptions::Run(std::uint8_t index, FZestaw& form) {
  switch (index) {
    case 1: {
      const FPulpit::LoginAnswer a =
          desk_.Login(ShellFields.user.view(), ShellFields.password.view());
      if (!a.accepted && !a.close_window) form.FieldError(a.field, a.message);
      return true;
    }
    case 133:
      UpdateProgram();
      form.FieldError(0, LastMessage());
      return true;
    case 135:
      desk_.PlaceAgain();
      return true;
    case 138:
      if (ChangeDatabase(form, false)) {
        desk_.RerunStartup();
        RequestChartReload();
        desk_.LoadDatabase();
      }
      return true;
    case 139:
      if (ChangeDatabase(form, true)) RequestChartReload();
      return true;
    case 140: {
      const PasswordChange c =
          ChangePassword(ShellFields.old_password.view(), ShellFields.new_password.view(),
                         ShellFields.repeat_password.view());
      if (!c.done) {
        form.FieldError(c.field, c.message);
      } else {
        ShowStatus(c.message, kSuccess);
      }
      return true;
    }
    case 142:
      StartOther(form);
      return true;
    default:
      return false;
  }
}

bool ShellOptions::ChangeDatabase(FZestaw& form, bool run_startup) {
  const std::string folder = ShellFields.edit_folder.str() + "\\";
  const std::string chart = ShellFields.edit_chart.str();
  if (!FolderFits(form, folder, chart)) return false;
  const bool changed = folder != DbDir.view();
  // A single workstation holds the lock of its database: another database
  // open in a program of its own is not opened a second time.
  const bool single = RunMode == 220 && OwnStationLock().Held();
  if (single && changed &&
      ProbeLockFile(StationLockName(0, folder), false) == LockProbe::kRunning) {
    form.FieldError(31, "Ta baza jest otwarta w innym programie Zel"_w);
    return false;
  }
  DbDir = folder;
  if (single && changed &&
      OwnStationLock().Take(StationLockName(0, folder)) != StationLock::Result::kTaken) {
    ShowStatus("Nie mogę założyć "_w + StationLockName(0, folder), kWarning);
  }
  ChartName = chart;
  FormChartPath(DbSettings);
  WriteSetting(false, "DirxBaza", folder + ";" + chart);
  // The folder chosen here wins over what a login or the command line gave.
  desk_.GiveDatabase(ShellFields.edit_folder.view(), chart);
  if (run_startup) {
    desk_.RerunStartup();
    if (changed) desk_.LoadDatabase();
  }
  return true;
}

bool ShellOptions::StartOther(FZestaw& form) {
  const std::string folder = ShellFields.edit_folder.str();
  const std::string chart = ShellFields.edit_chart.str();
  if (!FolderFits(form, folder + "\\", chart)) return false;
  WriteSetting(false, "DirxBaza", folder + "\\;" + chart);
  // The second program is told its database on its command line: it may
  // read another workstation's settings than this one's.
  const std::vector<std::string> args = {
      "--home", Utf8ToWin(ZelFolder()), "--db", folder, "--chart", chart};
  if (!sys_.StartProgram(sys_.ProgramPath(), args)) {
    form.FieldError(31, "Nie mogę uruchomić drugiego programu"_w);
    return false;
  }
  return true;
}

UpdateAnswer ShellOptions::UpdateProgram() {
  UpdateRequest request;
  request.program = sys_.ProgramPath();
  ReadSetting(false, "AdresAkt");
  request.address = WinToUtf8(SettingField(1));
  request.key = MakerSigningKey();
  const UpdateAnswer answer = UpdateProgramFile(request);
  if (answer == UpdateAnswer::kReplaced) desk_.CloseForRestart(request.program);
  return answer;
}

}  // namespace zel
