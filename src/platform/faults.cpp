#include "platform/faults.hpp"

namespace zel {

namespace {

struct Armed {
  int countdown = 0;  // 0: not armed
  bool persistent = false;
  bool firing = false;  // a persistent fault that already fired
};

Armed armed[4];
int fired = 0;

}  // namespace

void InjectFault(FaultOp op, int nth, bool persistent) {
  Armed& a = armed[static_cast<int>(op)];
  a.countdown = nth < 1 ? 1 : nth;
  a.persistent = persistent;
  a.firing = false;
}

void ClearFaults() {
  for (Armed& a : armed) a = Armed{};
  fired = 0;
}

int FaultsFired() {
  return fired;
}

bool FaultFires(FaultOp op) {
  Armed& a = armed[static_cast<int>(op)];
  if (a.firing) {
    ++fired;
    return true;
  }
  if (a.countdown == 0) return false;
  if (--a.countdown > 0) return false;
  ++fired;
  if (a.persistent) a.firing = true;
  return true;
}

}  // namespace zel
