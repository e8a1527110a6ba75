// What the shell's own options do when their parameter window runs them:
// the login (1), the program update (133), the appearance (135, the desktop
// placed again), the change of database folder (138) or of database within
// the folder (139), the password change (140) and the start of a second
// program with another database (142).
//
// ShellOptions works on the desktop form and the system services; the
// parameter window asks it before its host (SetShellOptionRunner). It is
// also the ShellFieldHost of the shell's field sets. Messages that refuse a
// value go to the window's Go button with the field the cursor returns to.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "fields/shell_field_sets.hpp"
#include "shell/program_update.hpp"

namespace zel {

class FPulpit;
class FZestaw;
class PulpitSystem;

class ShellOptions final : public ShellFieldHost {
 public:
  ShellOptions(FPulpit& desk, PulpitSystem& sys) : desk_(desk), sys_(sys) {}

  // Runs the option; false for an index it does not run.
  bool Run(std::uint8_t index, FZestaw& form);

  // ChangeDatabase: the folder and chart being edited become the database;
  // false (with the field and message on the form) when the folder cannot
  // be kept in the settings whole.
  bool ChangeDatabase(FZestaw& form, bool run_startup);
  // StartOther: a second program on the folder and chart being edited.
  bool StartOther(FZestaw& form);
  // UpdateProgram: a program installed as a package is left to the package
  // manager; otherwise the program is fetched from the address of the
  // setting "AdresAkt", put in place only when its signature checks, and the
  // desktop then closes normally and starts it again.
  UpdateAnswer UpdateProgram();

  // ShellFieldHost.
  void SetEditFolder(std::string_view) override {}
  void SetEditChart(std::string_view) override {}
  void CloseStationLock() override;
  std::string PrinterName() override { return printer_name ? printer_name() : std::string(); }

  std::function<std::string()> printer_name;

 private:
  FPulpit& desk_;
  PulpitSystem& sys_;
};

// The runner the parameter window asks first (nullptr: none). The caller
// keeps ownership. Returns the previous one.
ShellOptions* SetShellOptionRunner(ShellOptions* runner);
ShellOptions* ShellOptionRunner();

}  // namespace zel
