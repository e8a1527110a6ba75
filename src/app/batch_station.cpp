#include "app/batch_station.hpp"

#include "common/cp1250.hpp"
#include "shell/login.hpp"
#include "shell/pulpit.hpp"
#include "shell/registry.hpp"
#include "shell/state.hpp"
#include "shell/stations.hpp"
#include "store/station_register.hpp"

namespace zel {

bool LoginForBatch(std::string_view login_password, BatchLogin* out, std::string* err) {
  const std::size_t colon = login_password.find(':');
  if (colon == std::string_view::npos) {
    *err = "--login wymaga postaci LOGIN:HASŁO"_w;
    return false;
  }
  const LoginCheck check =
      CheckLogin(login_password.substr(0, colon), login_password.substr(colon + 1));
  if (!check.accepted) {
    *err = check.message;
    return false;
  }
  out->station = check.line.station;
  out->folder = check.line.folder;
  out->chart = check.line.chart;
  UserLetter = check.line.role;
  LoggedInLogin = check.line.login;
  return true;
}

bool JoinWorkstations(std::string* err) {
  InstallStationRegisters();
  if (!CleanStations().registry_ok) {
    *err = "Nie mogę założyć !\\!.!"_w;
    return false;
  }
  const int number = RunMode >= 1 && RunMode <= kMaxStation ? RunMode : 0;
  const std::string name = StationLockName(number, DbDir.view());
  switch (OwnStationLock().Take(name)) {
    case StationLock::Result::kTaken:
      return true;
    case StationLock::Result::kRunning:
      *err = "Próbujesz uruchomić program ponownie ?"_w;
      return false;
    case StationLock::Result::kFailed:
      break;
  }
  *err = "Nie mogę założyć "_w + name;
  return false;
}

void LeaveWorkstations() {
  ReleaseStationRecord();
  OwnStationLock().Release();
}

}  // namespace zel
