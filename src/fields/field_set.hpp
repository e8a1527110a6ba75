// The field set of a parameter window: up to 200 field slots declared line by
// line when the window is built, with the window's title, Go button kind,
// action set, separators, table block and initial slot.
//
// The parameter window owns one FieldSet and rebuilds it for every option
// (Reset, then the declaration operations in the order: Begin, action set,
// lines, separators, table block, display-only, initial slot). Geometry comes
// from the TextMetrics and the appearance values handed to Reset; the window
// right-aligns the lines afterwards. Texts are Windows-1250. Declarations past
// the 200th slot or the 99th separator are dropped, never stored.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "common/fixed_text.hpp"
#include "fields/text_metrics.hpp"

namespace zel {

inline constexpr int kMaxSlots = 200;
inline constexpr int kMaxSeparators = 99;
inline constexpr int kDefaultTableRows = 6;
// A slot's value holds 50 characters; a wider declaration keeps its panel
// width but the editor accepts no more than the slot can hold.
inline constexpr int kSlotValueCapacity = 50;
// A new panel shows two ellipsis characters (Windows-1250 0x85).
inline constexpr std::string_view kPlaceholder = "\x85\x85";

// One slot of the window, numbered 1..200 in declaration order.
struct FieldSlot {
  FixedText<250> label;            // caption text left of the value
  std::uint16_t label_left = 0;    // x of the label, pixels
  std::uint16_t label_width = 0;   // 0 for an empty caption
  FixedText<100> panel;            // what the value panel shows; "……" at first
  std::int16_t number = 0;         // 0 caption only, 1..40 shell, 41..266 option fields
  FixedText<50> value;             // the committed value
  FixedText<50> code;              // field code as declared
  std::uint16_t left = 0;          // x of the value panel
  std::uint16_t top = 0;           // y of the line
  std::uint16_t panel_width = 0;   // 0 = no panel (never entered)
  std::uint16_t max_length = 0;    // declared width in characters, at most 50
  std::uint16_t right = 0;         // x just after the panel
  std::uint16_t line = 0;          // 1-based line the slot sits on
  bool display_only = false;       // no bevel, maroon text, skipped by the cursor

  bool Editable() const { return panel_width != 0 && !display_only; }
};

// One field of a declared line.
struct FieldDecl {
  std::string caption;  // Windows-1250; "" or "-" take the narrow spacing
  std::string code;
  std::int16_t number = 0;
  int width = 0;        // characters; 0 gives no panel
};

// Layout values of the window appearance settings.
struct FieldAppearance {
  int margin_x = 15;   // horizontal margin
  int spacing_x = 5;   // horizontal spacing
  int margin_y = 7;    // vertical margin
  int spacing_y = 3;   // vertical spacing
  int bevel = 3;       // bevel depth of the value panels
  int border = 2;      // border width of the value panels
};

// Go button kinds: 0 "Zamknij", 1 "Zapisz", 2 "Wykonaj", 3 "Do pracy", 4 "Teraz".
enum GoKind : std::uint8_t { kGoClose = 0, kGoSave = 1, kGoRun = 2, kGoWork = 3, kGoNow = 4 };
std::string GoCaption(int go_kind);  // Windows-1250

// Which groups of choices the action combo offers, and the settings key of
// the remembered choice ("Zes-" + key).
struct ActionSet {
  bool declared = false;
  std::uint8_t flags = 0;  // 1 copies, 2 original/copy, 4 save only, 8 receipt, 16 other
  FixedText<4> key;
};
inline constexpr std::uint8_t kActCopies = 1;
inline constexpr std::uint8_t kActOriginal = 2;
inline constexpr std::uint8_t kActSaveOnly = 4;
inline constexpr std::uint8_t kActReceipt = 8;
inline constexpr std::uint8_t kActOther = 16;

// The table block: header slot, rows of column fields, footer slot "Suma".
struct TableBlock {
  std::uint16_t header_slot = 0;  // 0: the window has no block
  std::uint16_t footer_slot = 0;
  std::uint8_t columns = 0;
  std::uint8_t visible_rows = kDefaultTableRows;
};

// "E.A - zestawienie obrotów i sald": a "." goes before the position's second
// character when it is a letter; only the name when the position is empty.
std::string MenuPositionTitle(std::string_view position, std::string_view name);
// "  Zel " + version + seven spaces + title.
std::string WindowCaption(std::string_view version, std::string_view title);

class FieldSet {
 public:
  FieldSet();

  // Empties the set; lines start at y = top. The metrics object must outlive
  // the declarations.
  void Reset(const TextMetrics& metrics, const FieldAppearance& look, std::uint16_t top);

  // Begin field set: Go kind and title from the current option's key and
  // caption, or from the given position and name.
  void Begin(int go_kind);
  void Begin(int go_kind, std::string_view position, std::string_view name);
  void SetActionSet(std::uint8_t flags, std::string_view key);
  void SetActionKey(std::string_view key);

  // One line of one to four fields. Answers false when the table was full
  // and some field was not created.
  bool Line(const std::vector<FieldDecl>& fields);
  // A caption-only line.
  bool Caption(std::string_view text);
  bool Separator();
  // Visible rows of the table block; call before TableBlock.
  void SetTableRows(int rows);
  // Header line with the ";"-separated titles, the visible rows of the
  // columns (each row captioned with its number, right-aligned in five
  // characters, when numbered), then the footer line "Suma".
  bool AddTableBlock(std::string_view titles, const std::vector<FieldDecl>& columns,
                     bool numbered);
  // Switches every slot carrying one of the numbers to the display-only
  // (true) or enabled (false) look.
  void DisplayOnly(std::initializer_list<int> numbers, bool display_only = true);
  void SetInitialSlot(std::uint16_t slot);

  int SlotCount() const { return count_; }
  // Slot i, 1..SlotCount. An index outside 1..200 gives a blank scratch slot
  // rather than memory past the table.
  FieldSlot& Slot(int i);
  const FieldSlot& Slot(int i) const;
  // First slot from `from` on carrying the number; 0 when none does.
  int FindSlot(std::int16_t number, int from = 1) const;
  bool Begun() const { return begun_; }
  int Go() const { return go_kind_; }
  const std::string& Title() const { return title_; }
  const ActionSet& Actions() const { return actions_; }
  const TableBlock& Table() const { return table_; }
  const std::vector<std::uint16_t>& Separators() const { return separators_; }
  std::uint16_t InitialSlot() const { return initial_slot_; }
  std::uint16_t NextTop() const { return y_; }
  std::uint16_t WidestRight() const { return widest_right_; }
  int LineHeight() const;
  int LineCount() const { return lines_; }
  int PanelWidth(int chars) const;
  // The F3 windows' tighter layout: lines start at x = 5, a panel is as
  // wide as "0" times (characters + 1) less 2 plus the bevel and border on
  // both sides, and a separator takes the vertical spacing + 4. It belongs
  // to the window, so Reset keeps it.
  void SetCompact(bool compact) { compact_ = compact; }

 private:
  bool AddSlot(const FieldDecl& field, int& x);
  int Width(std::string_view text) const;

  std::vector<FieldSlot> slots_;
  FieldSlot scratch_;
  int count_ = 0;
  const TextMetrics* metrics_ = nullptr;
  FieldAppearance look_;
  std::uint16_t y_ = 0;
  int lines_ = 0;
  std::uint16_t widest_right_ = 0;
  bool begun_ = false;
  int go_kind_ = kGoClose;
  std::string title_;
  ActionSet actions_;
  TableBlock table_;
  std::vector<std::uint16_t> separators_;
  std::uint16_t initial_slot_ = 1;
  bool compact_ = false;
};

}  // namespace zel
