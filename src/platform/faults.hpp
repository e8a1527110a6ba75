// Fault injection at the file seam, for tests that check that nothing is
// half-written when an open, read, write or rename fails.
//
// A fault is armed per kind of operation with a countdown: the nth operation
// of that kind from now fails with IoError::kInjected (n = 1: the next one).
// A transient fault fires once; a persistent one fires on that operation and
// every later one of its kind until ClearFaults. The state is per process and
// not thread-safe; only tests arm faults.
#pragma once

#include <cstdint>

namespace zel {

enum class FaultOp : std::uint8_t {
  kOpen,    // File::Open, file creation of any kind
  kRead,    // File::ReadAt, ReadAll
  kWrite,   // File::WriteAt, Append, Truncate, Sync
  kRename,  // rename, replace, delete, folder creation, time stamps
};

void InjectFault(FaultOp op, int nth, bool persistent);
void ClearFaults();
// How many injected faults fired since the last ClearFaults.
int FaultsFired();

// Used by the layer itself: counts one operation and answers whether it fails.
bool FaultFires(FaultOp op);

}  // namespace zel
