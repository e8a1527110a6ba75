// The shared workstation registry behind the chart's register and behind
// LocalCopy's file-use register: a numbered workstation notes there the
// chart it uses ('!'), the chart file while it appends to it ('#'), and the
// data files it copies ('+'); a refusal means another running workstation
// works on the object. A workstation that does not use the registry has
// every request accepted.
#pragma once

namespace zel {

// Installs the registry as both registers (idempotent).
void InstallStationRegisters();

}  // namespace zel
