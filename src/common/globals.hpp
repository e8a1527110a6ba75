// The few pieces of global state the common helpers read. Each is owned by
// the subsystem named beside it, which is the only one that sets it.
#pragma once

#include "common/fixed_text.hpp"
#include "common/types.hpp"

namespace zel {

// Today's day number, set once when the desktop starts.
extern DayNo Today;
// The default the parameter window sets for the field being edited; for date
// fields a DDMMYY text that DayFromInput completes partial dates from.
extern FixedText<250> FillTemplate;
// Set by the hint lists: SearchKey folds Polish letters and case.
extern bool FoldSearch;

}  // namespace zel
