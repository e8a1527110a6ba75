// The records behind the F3 windows: the field set of each window code, the
// completion of a value when its field is left, and the save of the record
// (what the hooks nMaOkna, Zm2uni, uzEdit, ed2zmi and niZapis of bOknaF3
// stand for), without any window.
//
// An F3Record holds the working copy of one window's record as texts by
// field number (Windows-1250). Open copies the record in (the current
// account for 122, the account masks of KonW for 125, the document masks of
// DowW for 126, the taxpayer data of "VAT\Pod.7BT" for 127, the
// declaration's amounts for 128 and 129 and its signature for 130); Enter
// completes and stores one value; Save writes the record: 122 appends the
// account to the chart under the whole-file lock, 125 and 126 put the masks
// back into KonW and DowW, 127 rewrites "VAT\Pod.7BT", 128 appends the due
// tax as "S" lines (replacing the registers' totals of the month), 129 the
// purchase totals as "Z" lines when they changed and the other changed
// values as typed "P" lines, 130 rewrites the signer in "VAT\Pod.7BT" and
// appends the signature date ("t") and answers ("z"). The declaration's
// month is the VAT-7 window's, else the working period's. The windows
// without a record (123 currency, 124 purchase entry) only show what is
// typed: their Go says "Tylko do oglądania" and stores nothing. The F3
// window (FOknaF3) and zel-batch --f3 drive it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "common/types.hpp"

namespace zel {

struct F3FieldInfo {
  const char* code;
  std::uint8_t number;  // 1..85, local to the F3 windows
  const char* caption;  // UTF-8
  std::uint8_t width;   // characters
};

// The field set of a window code (empty for a code without one) and its title
// (Windows-1250; "F3 tu nie pracuje" for a code without field set).
const std::vector<F3FieldInfo>& F3Fields(std::uint8_t code);
std::string F3Title(std::uint8_t code);

// Completion when field `number` is left (hook uzEdit). *warning gets the
// status text to show in colour 0, empty when none.
std::string CompleteF3Value(std::uint8_t number, std::string_view typed, std::string* warning);

struct DeclarationData;

// A typed amount: spaces dropped; with a decimal comma the dots are thousand
// separators ("1.234,50"), without one a dot is the decimal point.
Amount ParseTypedAmount(std::string_view typed);

// The year and month of the declaration into d: the VAT-7 window's fields
// (220, 221) when they hold a month, else d's own, else the working
// period's last month. False when none gives a month.
bool DeclarationPeriod(DeclarationData& d);

class F3Record {
 public:
  // Copies the record of the code into the working copy; false for a code
  // that saves nothing here (121, 123, 124), and for 128..130 when no
  // month of the declaration is known.
  bool Open(std::uint8_t code);
  std::uint8_t Code() const { return code_; }

  // The field with this code (case ignored), 0 when the window has none.
  std::uint8_t FieldNumber(std::string_view field_code) const;
  std::string Value(std::uint8_t number) const;
  // Completes and stores a value; false (nothing stored) when the value is
  // refused, with the reason in *warning.
  bool Enter(std::uint8_t number, std::string_view typed, std::string* warning);

  // The mask windows (125 accounts, 126 documents) show one line per slot:
  // completes and stores the value of line 0..10 in place.
  bool EnterLine(std::uint8_t number, int line, std::string_view typed, std::string* warning);
  std::string LineValue(int line) const;

  // niZapis: 0 when saved, else the field number in error, with the message
  // in *message ("Nic się nie zmieniło" when nothing changed, colour 2, is
  // returned as 0 with the message).
  int Save(std::string* message);
  // True when the window's record is kept nowhere (codes 121, 123, 124, or
  // a record that could not be opened): Go says "Tylko do oglądania" and
  // saves nothing.
  bool ReadOnly() const { return read_only_; }

 private:
  std::uint8_t code_ = 0;
  std::map<std::uint8_t, std::string> values_;
  std::map<std::uint8_t, std::string> loaded_;
  bool read_only_ = true;
};

}  // namespace zel
