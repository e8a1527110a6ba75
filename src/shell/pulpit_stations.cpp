// The desktop as one workstation among others: its registration at start,
// the login, the administrator's messages at the resting tick, and the
// release of the workstation when the program ends.
#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "platform/file.hpp"
#include "platform/folders.hpp"
#include "shell/file_access.hpp"
#include "shell/login.hpp"
#include "shell/pulpit.hpp"
#include "shell/registry.hpp"
#include "shell/settings_keys.hpp"
#include "shell/state.hpp"
#include "shell/stations.hpp"

namespace zel {

namespace {

FPulpit* fatal_desk = nullptr;

void DeskFatal(std::string_view message) {
  if (fatal_desk) fatal_desk->Fatal(message);
}

std::string StationSuffix(int n) {
  return Concat({".", std::to_string(n + 1000).substr(1)});
}

}  // namespace

bool FPulpit::TakeStationLock(int number) {
  const std::string name = StationLockName(number, DbDir.view());
  switch (OwnStationLock().Take(name)) {
    case StationLock::Result::kTaken:
      return true;
    case StationLock::Result::kRunning:
      Fatal("Próbujesz uruchomić program ponownie ?"_w);
      return false;
    case StationLock::Result::kFailed:
      break;
  }
  Fatal("Nie mogę założyć "_w + name);
  return false;
}

void FPulpit::Register() {
  registration_done_ = true;
  fatal_desk = this;
  SetRegistryFatal(&DeskFatal);
  const StationCensus census = CleanStations();
  if (!census.registry_ok) {
    Fatal("Nie mogę założyć !\\!.!"_w);
    return;
  }
  // A program waiting for its login takes its lock when the login succeeds.
  if (StationExt.empty()) return;
  const int number = RunMode >= 1 && RunMode <= kMaxStation ? RunMode : 0;
  if (!TakeStationLock(number)) return;
  FormChartPath(DbSettings);
  LoadDatabase();
}

void FPulpit::CloseStationLock() {
  OwnStationLock().Release();
}

FPulpit::LoginAnswer FPulpit::Login(std::string_view login, std::string_view password) {
  LoginAnswer answer;
  RunMode = 221;
  given_folder_.clear();
  given_chart_.clear();
  DbDir.clear();
  ChartName = "PlanKont";

  const LoginCheck check = CheckLogin(login, password);
  if (!check.accepted) {
    answer.message = check.message;
    answer.field = check.field;
    return answer;
  }
  const LoginLine& line = check.line;
  UserLetter = line.role;
  StationExt = StationSuffix(line.station);
  DbDir = line.folder + "\\";
  given_folder_ = line.folder;
  given_chart_ = line.chart;
  if (!line.chart.empty()) ChartName = line.chart;
  NetworkMode = true;
  fatal_desk = this;
  SetRegistryFatal(&DeskFatal);
  const StationCensus census = CleanStations(1);
  if (!census.registry_ok) {
    Fatal("Nie mogę założyć !\\!.!"_w);
    return answer;
  }
  MakeFolders("Kosz\\" + line.folder);
  MakeFolders(line.folder);

  const std::string name = StationLockName(line.station, DbDir.view());
  const StationLock::Result taken = OwnStationLock().Take(name);
  if (taken != StationLock::Result::kTaken) {
    if (taken == StationLock::Result::kRunning) FileExists(name, kSayPresent);
    answer.message = taken == StationLock::Result::kRunning
                         ? "Stanowisko " + StationExt.str() + " pracuje"
                         : "Nie mogę założyć "_w + name;
    answer.field = 1;
    return answer;
  }
  RunMode = static_cast<std::uint8_t>(line.station);
  LoggedInLogin = line.login;
  FormChartPath(DbSettings);
  RegisterUse('?', "");
  if (RegisterCommand('!', name) == RegisterOutcome::kRefused) {
    answer.close_window = true;
    return answer;
  }
  answer.accepted = true;
  if (!StartupSequence()) return answer;
  FormChartPath(DbSettings);
  RegisterUse('!', ChartPath.view());
  LoadDatabase();
  ShowKind(3, 2);
  return answer;
}

void FPulpit::ReadAdminMessage() {
  if (logout_pending_) {
    // The administrator's logout waits while an entry is unfinished.
    if (!links_->WrkZestaw() && view_) view_->CloseDesktop();
    return;
  }
  if (StationExt.empty()) return;
  const std::string path = "!\\OdAdmina" + StationExt.str();
  if (!IsFile(path)) return;
  File f;
  if (!f.Open(path, Access::kReadWrite, Share::kExclusive)) return;
  // Only the first line counts; a long file is not read whole.
  std::string bytes(4096, '\0');
  std::size_t got = 0;
  const bool read = f.ReadAt(0, bytes.data(), bytes.size(), &got);
  bytes.resize(got);
  std::size_t end = bytes.find_first_of("\r\n");
  // A message is taken only once its line is whole: the administrator may
  // still be writing it. A first line longer than what is read is whole
  // enough for its first 80 characters.
  if (!read) return;
  if (end == std::string::npos) {
    if (got < 4096) return;
    end = 80;
  }
  f.RemoveWhileHeld();
  f.Close();
  std::string line = bytes.substr(0, std::min<std::size_t>(end, 80));
  if (line.empty()) return;
  ShowStatus(line, kWarning);
  if (line == "Logout") {
    if (asker_) asker_->PressBack();
    close_confirmation_ = false;
    logout_pending_ = true;
    if (view_) view_->CloseDesktop();
    return;
  }
  if (line.find('!') != std::string::npos) Ask('T', "Byłoby miło"_w, windows_[kMen]);
}

void FPulpit::FClose() {
  // The whole registry record goes, not only its user, so no object stays
  // claimed by a workstation that has ended.
  ReleaseStationRecord();
  OwnStationLock().Release();
  logout_pending_ = false;
}

}  // namespace zel
