// The table of option procedures run by the hook WykonaOpc, filled by
// registration.
//
// The procedures live in the layers above (books, statements, vat, audit),
// which register them at start with RegisterProcedure. The table itself
// knows each index's code, whether the procedure runs inside the parameter
// window's run bracket, and the small steps done before it (action set
// declared again, return field or slot). An index whose procedure is not
// registered says so in the status line and runs nothing; it never pretends
// to have run.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/fixed_text.hpp"
#include "fields/field_set.hpp"
#include "fields/option_services.hpp"

namespace zel {

using OptionProcedure = std::function<void(OptionServices& window)>;

// What the table says of one index.
struct DispatchRow {
  std::uint8_t index;
  const char* code;   // "" where the table gives none
  bool procedure;     // a procedure belongs here (reported when missing)
  bool bracketed;     // runs inside the run bracket
};

// The row of an index; nullptr for indices the table lists as "nothing runs"
// or does not list.
const DispatchRow* FindDispatchRow(std::uint8_t index);
// Every index that has a procedure row, ascending.
std::vector<std::uint8_t> ProcedureIndices();

// Registers the procedure of an option index (replacing an earlier one).
// False for the shell's own indices (0..8, 133, 135, 136, 138, 139, 140,
// 142), which never reach WykonaOpc.
bool RegisterProcedure(std::uint8_t index, OptionProcedure procedure);
void UnregisterProcedure(std::uint8_t index);
bool IsProcedureRegistered(std::uint8_t index);
// True for the indices the parameter window runs itself.
bool IsShellOption(std::uint8_t index);

// The text shown for a procedure that is not there yet (Windows-1250).
std::string ProcedureMissingText();

// Runs OptionIndex's procedure as the table says; fields is the window's set
// (action sets are declared again into it, its slot count is the return slot
// of an index without a procedure).
void RunOptionProcedure(OptionServices& window, FieldSet& fields);

// The four-character form key of the prepared form chosen in option 83; the
// prepared-forms module sets it with the form's name and kind.
enum class PreparedFormKind : std::uint8_t { kNone, kActivity, kCentre };
struct PreparedForm {
  FixedText<8> name;
  FixedText<4> key;
  PreparedFormKind kind = PreparedFormKind::kNone;
};
extern PreparedForm ChosenForm;

}  // namespace zel
