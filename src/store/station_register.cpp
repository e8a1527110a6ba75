#include "store/station_register.hpp"

#include "shell/local_copy.hpp"
#include "shell/registry.hpp"
#include "shell/state.hpp"
#include "store/chart.hpp"

namespace zel {

namespace {

// Accepted unless the registry refused or could not be used; a release is
// always done, whether or not the text was registered.
bool Accepted(char command, std::string_view text) {
  const RegisterOutcome r = RegisterCommand(command, text);
  if (command == '-') return true;
  return r != RegisterOutcome::kRefused && r != RegisterOutcome::kFailed;
}

class StationChartRegister final : public ChartRegister {
 public:
  bool Request(char command, std::string_view text) override { return Accepted(command, text); }
  bool Active() const override { return NetworkMode; }
};

StationChartRegister chart_register;

}  // namespace

void InstallStationRegisters() {
  SetChartRegister(&chart_register);
  SetFileUseRegister(&Accepted);
}

}  // namespace zel
