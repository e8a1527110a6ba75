// The field sets of the shell's own options (login, test start, program
// update, appearance, printing font, database folder and database, password,
// start with another database), declared with the shell fields 1..40.
//
// What those declarations need of the shell comes through ShellFieldHost,
// installed by the shell (nullptr: nothing is asked): the folder and chart
// being edited are handed over whenever a folder or chart field is declared,
// the login option closes the workstation's lock file first, and the
// printing-font option shows the current printer's name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "fields/field_set.hpp"

namespace zel {

class bZestaw;

class ShellFieldHost {
 public:
  virtual ~ShellFieldHost() = default;
  virtual void SetEditFolder(std::string_view folder) = 0;  // DbDir without its last "\"
  virtual void SetEditChart(std::string_view chart) = 0;    // ChartName
  virtual void CloseStationLock() = 0;
  virtual std::string PrinterName() = 0;  // Windows-1250
};

// Installs the host (the caller keeps ownership). Returns the previous one.
ShellFieldHost* SetShellFieldHost(ShellFieldHost* host);

// True for the indices whose fields the shell declares: 1, 2, 133, 135, 136,
// 138, 139, 140, 142.
bool IsShellFieldSet(std::uint8_t index);
// Declares the shell field set of the index; false for other indices.
bool DeclareShellFields(std::uint8_t index, FieldSet& fields, bZestaw& module);
// Hands EditFolder or EditChart to the host when a field 31, 32, 36 or 37 is
// declared (called by FieldSet for every declared field).
void NoteDeclaredField(std::int16_t number);

}  // namespace zel
