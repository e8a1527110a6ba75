// The parameter window's own value rules, as pure functions: date, font and
// system-field completion, the typing filters, how a value is shown in its
// panel, and the period text of a run.
//
// Everything here is a function of its arguments (dates read Today when the
// template is empty); FZestaw decides when each rule applies. Texts are
// Windows-1250.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/types.hpp"

namespace zel {

// Date fields of the window (DaOd, DaDo, DatD, DaBO, DaBZ).
bool IsWindowDateField(int field_number);
// Fields whose typing filter keeps only digits.
bool IsNumericField(int field_number);

struct DateCompletion {
  std::string value;     // DDMMYY of the computed day, or empty
  DayNo day = 0;         // 0 when the text yields no date
  bool bad = false;      // typed date did not exist (or lay past 2039)
  bool too_short = false;  // fewer than six characters: no date
};

// Completes a typed date from the template (DDMMYY; today when empty): an odd
// length gets a leading "0", the missing tail comes from the template, and the
// result goes through a day number and back, so 31 February comes back as a
// day of March with `bad` set. A day past 31-12-2039 is offered as that day.
DateCompletion CompleteDate(std::string_view typed, std::string_view tmpl);

// The sixteen entries of the font list ("a Arial" .. "v Verdana").
extern const std::array<std::string_view, 16> FontList;
// Font completion: the entry that begins with the upper-cased value, else the
// last containing it, else the value shortened by one and searched again;
// empty gives "c Consolas".
std::string CompleteFont(std::string_view value);
// "Bold" when the first letter is "B" or "b", else "----".
std::string CompleteBold(std::string_view value);
// The integer of the text forced into lo..hi, as decimal text.
std::string ForceRange(std::string_view text, int lo, int hi);
// Positions (fields 15, 22): "LCP" then "GSD", an optional third "1".
std::string CompletePosition(std::string_view value);
// Yes/no system fields: "N" for empty, "n" or "N"; "T" otherwise.
std::string CompleteYesNo(std::string_view value);
// Folder fields: one trailing "\" removed.
std::string CompleteFolder(std::string_view value);
// Chart and template file names: the characters "*,./:;<=>?[\]| and the
// double quote removed, Polish letters folded to ASCII; an empty result gives
// "PlanKont" when `with_default`.
std::string CleanFileName(std::string_view value, bool with_default);
// Passwords: upper case, only letters, digits and spaces kept, spaces
// normalised.
std::string CompletePassword(std::string_view value);

// Numeric typing filter: keeps the digits 0..9; the caret (an index into
// `text`) follows the deletions.
std::string DigitsOnly(std::string_view text, int* caret);

// What a panel shows for a raw value: spaces normalised, each "&" doubled,
// right-aligned when the raw value begins with a space.
struct PanelLook {
  std::string text;
  bool right = false;
};
PanelLook PanelFor(std::string_view raw);

// The period text of a run, from the first and last day (" za 2018 rok",
// " za 03-2018", " od 03-2018 do 06-2018", " od 05-03-2018 do 20-03-2018").
std::string MakePeriodText(DayNo from, DayNo to);

// Progress numbers: right-aligned, a "." before the last three digits of
// numbers longer than three digits.
std::string ProgressNumber(std::int64_t n);

}  // namespace zel
