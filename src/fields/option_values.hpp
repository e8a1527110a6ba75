// The option parameters that the parameter window stores when a value is
// committed, and that the option procedures read when they run.
//
// The window's own rules store the dates into the shell state (FromDate,
// ToDate, BoDate, BzDate), the depths into DbSettings and the posting and
// document dates here; the bZestaw hooks store every other option field
// here. Values live from one
// commit to the next: they are not cleared between options, so a parameter
// typed once stays for the next option that asks for it. Texts are
// Windows-1250; capacities are the fields' declared widths.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/fixed_text.hpp"
#include "common/types.hpp"

namespace zel {

inline constexpr int kMaxAccountMasks = 999;
inline constexpr int kMaskLength = 25;

// Account masks of the field KonW: one typed in the field, or several edited
// in the selected-accounts window. Masks are held in their short form ("20*")
// between runs and expanded ("20???...") for the time of a run.
struct AccountMaskList {
  int count = 0;  // 0..kMaxAccountMasks; 0 selects every account
  std::array<FixedText<kMaskLength>, kMaxAccountMasks> masks{};

  void Clear() { count = 0; }
  // Appends a mask; false (and nothing stored) when the list is full.
  bool Add(std::string_view mask);
  // Before a run: a mask holding "*" is cut there and filled with "?" to 25.
  void Expand();
  // After a run: the "?" tail of a full-length mask becomes "*", and empty
  // masks are dropped.
  void Compact();
  // True when the symbol matches any mask, or when there are no masks. The
  // masks must be in the expanded form (Expand) for "*" masks to match.
  bool Selects(std::string_view symbol) const;
};

// Document-number masks of the field DowW ("?" any character, "*" any tail):
// typed in the field (several separated by ","), or put in the
// selected-documents list. Held in short form; empty selects every document.
inline constexpr int kMaxDocumentMasks = 999;
inline constexpr int kDocumentMaskLength = 12;
struct DocumentMaskList {
  int count = 0;
  std::array<FixedText<kDocumentMaskLength>, kMaxDocumentMasks> masks{};

  void Clear() { count = 0; }
  // Appends a mask; false (and nothing stored) when the list is full.
  bool Add(std::string_view mask);
  // The field's value: the list emptied, then each non-empty mask of the
  // text (separated by ",") added.
  void SetFromField(std::string_view text);
};

// True when the account symbol matches one expanded mask: the mask is at
// least as long as the symbol, each mask character over the symbol is "?" or
// the same character, and each mask character beyond the symbol is "?".
bool MaskMatches(std::string_view mask, std::string_view symbol);

// Rows of a table block kept by the generic hooks: the window holds only the
// current row; the rows scroll through here (first shown row 1..40 with up to
// 10 visible rows, so 50 rows).
inline constexpr int kTableRows = 50;
inline constexpr int kTableColumns = 10;

struct OptionValues {
  AccountMaskList masks;      // KonW 71
  DocumentMaskList documents;  // DowW 76
  bool with_jpk = false;      // JPKo 44: prepare the JPK_KR fragments
  DayNo posting_date = 0;     // DatD 70
  DayNo document_date = 0;    // DatF 84
  bool yes67 = false;         // fields 67, 68: "T"/"N" flags
  bool yes68 = false;
  // Every other option field: its committed value as text, by field number
  // (41..266), already upper-cased where the catalogue says so.
  std::array<FixedText<50>, 267> texts{};
  // Table block cells by row (1-based row - 1) and column, each as wide as
  // a slot's value, so no column loses characters when the rows scroll.
  std::array<std::array<FixedText<50>, kTableColumns>, kTableRows> rows{};
};

// The values of the shell's own fields (1..40) that have no home in the
// settings records: the login, the folder and chart being edited, the
// passwords and the template name.
struct ShellValues {
  FixedText<12> user;          // field 1
  FixedText<12> password;      // field 2
  FixedText<250> edit_folder;  // fields 31, 36 (EditFolder)
  FixedText<250> edit_chart;   // fields 32, 37 (EditChart)
  FixedText<12> old_password;  // field 33
  FixedText<12> new_password;  // field 34
  FixedText<12> repeat_password;  // field 35
  FixedText<8> template_name;  // field 39
  FixedText<50> other[41];     // fields without a settings home (27, 28, 38, 40)
};

// The one set of option values of the program. The annual and working
// journal names (Rocz, Robo), the summary depths (Pod1, Pod3, Pod7) and the
// description mode (OpKo) live in DbSettings (shell/settings_keys.hpp),
// which reads them at start and writes them at close.
extern OptionValues Options;
extern ShellValues ShellFields;

// The journal file paths the options open: DbDir + name + ".DFX".
std::string AnnualFilePath();
std::string WorkFilePath();

// The committed text of an option field kept by number (empty outside 41..266).
std::string_view OptionText(int field_number);
void SetOptionText(int field_number, std::string_view text);

}  // namespace zel
