// SlotWindow: the engine that the parameter window (FZestaw) and the F3 edit
// window (FOknaF3) share. It keeps the slots of a FieldSet, the travelling
// editor and the F button, and moves the cursor between slots: committing
// the value being left (completion, then store), skipping what cannot be
// entered, running Go past the last slot. It also answers the keys both
// windows treat alike (Enter's outcomes, Tab, the arrows outside a table,
// F6/F7 templates), the typing into the editor, the mouse clicks on panels,
// the batch entry of a value, and lays out the drawing numbers every field
// window has (title, leaders, separators, Esc and Go, status panel, growth).
//
// What differs between the windows is asked through the virtual functions:
// the completion and store of a value, the typing filters, the Enter
// decision, what holds the cursor, what Go does.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/fixed_text.hpp"
#include "fields/field_set.hpp"
#include "fields/text_metrics.hpp"
#include "shell/pulpit_window.hpp"
#include "shell/status.hpp"

namespace zel {

// Window states.
enum ZestawState : std::uint8_t {
  kZesIdle = 0,
  kZesBusy = 1,
  kZesWaiting = 2,
  kZesRunning = 3,
  kZesAbort = 4,
  kZesMemo = 5,
};

// Why the cursor moves (read by hooks through MoveReason()).
enum MoveReasonCode : std::uint8_t {
  kMoveRun = 0,
  kMoveCorrected = 1,
  kMoveClick = 2,
  kMoveTab = 3,
  kMoveEnter = 4,
  kMoveScrollUp = 5,
  kMoveScrollDown = 6,
};

// Key codes (the Windows virtual-key numbers the hooks receive).
inline constexpr std::uint16_t kKeyTab = 9;
inline constexpr std::uint16_t kKeyEnter = 13;
inline constexpr std::uint16_t kKeyEsc = 27;
inline constexpr std::uint16_t kKeyPageUp = 33;
inline constexpr std::uint16_t kKeyPageDown = 34;
inline constexpr std::uint16_t kKeyUp = 38;
inline constexpr std::uint16_t kKeyDown = 40;
inline constexpr std::uint16_t kKeyPadPlus = 107;
inline constexpr std::uint16_t kKeyF3 = 114;
inline constexpr std::uint16_t kKeyF4 = 115;
inline constexpr std::uint16_t kKeyF5 = 116;
inline constexpr std::uint16_t kKeyF6 = 117;
inline constexpr std::uint16_t kKeyF7 = 118;

// Where a view draws the pieces of the laid-out window, in client
// coordinates; every number is computed by the form through TextMetrics.
struct ZestawRect {
  int left = 0, top = 0, width = 0, height = 0;
};
struct ZestawLeader {  // the dotted line from a caption to its panel
  int slot = 0;
  int x1 = 0, x2 = 0, y = 0;
};
struct ZestawLayout {
  ZestawRect title;                 // maroon, window font + 3 points, bold
  int text_height = 0;              // one line of window-font text
  int panel_height = 0;             // text height + 2 x bevel
  std::vector<ZestawLeader> leaders;
  std::vector<int> separator_lines; // y of the white line; the black one is 1 lower
  bool fancy_frame = false;         // six coloured nested frames (one build in thirty)
  std::array<std::uint32_t, 6> frame_colours{};  // their colours, outermost first
  // Windows RGB values (0x00BBGGRR). A window font that is not bold and
  // smaller than 11 points takes the lighter scheme.
  std::uint32_t back_colour = 12636370;   // window and panel background
  std::uint32_t panel_colour = 14147551;  // value panels of editable fields
  std::uint32_t bar_colour = 12636370;    // the print bar's panels
  std::uint32_t title_colour = 128;       // maroon; also display-only values
  ZestawRect esc;                   // bEsc; bEnt and bTab lie hidden behind it
  ZestawRect go;                    // bGo fills the rest of the row
  ZestawRect memo;                  // over Go during a run: 4 inside, 9 narrower and lower
  ZestawRect print_bar;             // empty when the option has no print bar
  // The print bar's controls: pDom, Czyn, pPod, pPDF, pZap, Druk, oPDF, LTW,
  // relative to the bar, in that order.
  std::array<ZestawRect, 8> bar_items{};
  ZestawRect status;                // pSt at the bottom
  int client_width = 0;
  int client_height = 0;            // including the print bar
  // The seven heights (outer) the window grows through when it is shown.
  std::array<int, 7> growth{};
};

// The editor that travels from panel to panel.
struct ZestawEditor {
  std::string text;        // Windows-1250; what the user sees (unmasked)
  int caret = 0;           // 0..text.size()
  int sel_start = 0;       // selection [sel_start, sel_start + sel_length)
  int sel_length = 0;
  int max_length = 0;      // characters the editor accepts
  bool visible = false;
  bool password = false;   // drawn with "@" for each character
  std::string hint;        // the template text
  int left = 0, top = 0, width = 0, height = 0;
};

// The F button at the right end of the current field.
struct FButton {
  bool visible = false;
  bool aqua = false;  // the field has an F3 window
  std::string hint;
  int left = 0, top = 0, size = 0;
};

// What EnterField did with a value.
enum class EnterResult : std::uint8_t {
  kAccepted,   // committed as typed
  kCorrected,  // the window corrected the value, then it was committed
  kNoField,    // no slot carries that code
  kNotEditable,  // the slot is display-only or has no panel
  kRefused,    // the value was not committed (the field stays)
};

class SlotWindow {
 public:
  explicit SlotWindow(const TextMetrics& metrics) : metrics_(metrics) {}
  virtual ~SlotWindow() = default;
  SlotWindow(const SlotWindow&) = delete;
  SlotWindow& operator=(const SlotWindow&) = delete;

  // ---- the user ----
  // Types the characters at the caret (replacing the selection), each one
  // going through the typing filters.
  void TypeText(std::string_view text);
  // Replaces the whole editor text at once (one change, one filter pass).
  void SetEditorText(std::string_view text);
  void SetCaret(int caret);
  void SelectAll();
  void ClickSlot(int slot);       // a click on the slot's panel
  void ClickElsewhere();          // a click on the window outside the panels
  // A click at a point of the client area: the slot whose panel lies there,
  // else the current slot again.
  void ClickAt(int x, int y);

  // zel-batch: finds the first editable slot carrying the field code (case
  // ignored), enters it, puts the value into the editor and commits it (a
  // value the window corrects is committed in its corrected form).
  EnterResult EnterField(std::string_view code, std::string_view value);
  // The same for one slot (a field whose code several slots carry).
  EnterResult EnterSlot(int slot, std::string_view value);

  // ---- services for the hooks ----
  // Puts a raw value into a slot: its value and what its panel shows.
  virtual void PutValue(int slot, std::string_view raw) = 0;
  // The value under edit while it is validated (hooks may change it).
  std::string& ValueUnderEdit() { return value_under_edit_; }
  void SetTemplate(std::string_view text) { template_ = text; }
  const FixedText<250>& Template() const { return template_; }
  // A completion found the typed value impossible (a date that does not
  // exist): the text goes to the status line in colour 0, and a batch entry
  // of the value is refused.
  void ValueWarning(std::string_view text);
  FieldSet& Fields() { return fields_; }
  const FieldSet& Fields() const { return fields_; }

  // ---- state for the view and the tests ----
  std::uint8_t State() const { return state_; }
  std::uint8_t MoveReason() const { return move_reason_; }
  int CurrentSlot() const { return current_; }
  int TargetSlot() const { return target_; }
  int InitialSlot() const { return initial_; }
  int SlotCount() const { return fields_.SlotCount(); }
  const ZestawEditor& Editor() const { return editor_; }
  const FButton& FButtonState() const { return fbutton_; }
  std::string_view PanelText(int slot) const;
  bool PanelRight(int slot) const;
  std::string_view SlotValue(int slot) const;
  int FindCode(std::string_view code) const;  // first slot with the code, 0 when none
  const std::string& Title() const { return fields_.Title(); }
  const std::string& StatusText() const { return pst_text_; }
  std::uint8_t StatusColour() const { return pst_colour_; }
  // Geometry of the laid-out window: the appearance values in use, the
  // window font size (the title is 3 points larger, bold, at x = margin + 5,
  // y = vertical margin + 4), the field area's width, the button row and the
  // status panel.
  const FieldAppearance& Look() const { return look_; }
  int FontSize() const { return font_size_; }
  int AreaWidth() const { return area_width_; }
  int ButtonsTop() const { return buttons_top_; }
  int StatusTop() const { return status_top_; }
  // Everything a view needs to draw the window, computed when it is built.
  const ZestawLayout& Drawing() const { return drawing_; }
  // The seven window heights of the growth, again, for a view that replays it.
  const std::array<int, 7>& GrowthSteps() const { return drawing_.growth; }

 protected:
  // ---- what each window decides itself ----
  // Completion of the value being left; a result that differs from the
  // editor's text is a correction and keeps the cursor.
  virtual std::string Complete(int slot, const std::string& value) = 0;
  // Stores a committed (unchanged) value of the slot.
  virtual void StoreCommitted(int slot, const std::string& value, bool backwards) = 0;
  virtual void ApplyTypingFilters() = 0;
  // Places the editor on the slot being entered (geometry, text, template).
  virtual void PlaceEditor(int slot) = 0;
  // The cursor leaves its slot for another one.
  virtual void LeavingSlot() {}
  // After the commit, before the cursor walks: may change the target; true
  // keeps the cursor in the slot it was to leave.
  virtual bool HoldAfterCommit(int& target, int direction) = 0;
  // The cursor has entered a slot.
  virtual void EnteredSlot(int slot) { (void)slot; }
  // A move past the last editable slot, or Enter's outcome 2.
  virtual void PastLastSlot() = 0;
  // Enter on the current slot (leading spaces gone): -1 handled, 0 stay,
  // 1 next slot, 2 Go.
  virtual int EnterDecision() = 0;
  // Tab at the top of a scrolled table: true when it scrolled.
  virtual bool TabScroll() { return false; }
  // Up/Down: false when the key was taken (a value stepped, a hook refused);
  // then true from BlockUpDown when a table moved the cursor.
  virtual bool AllowRoll(bool up) { (void)up; return true; }
  virtual bool BlockUpDown(bool up) { (void)up; return false; }
  // The developer's marker: whether it is shown, and the window's name in it.
  virtual bool DeveloperMarker() = 0;
  virtual std::string_view MarkerName() const = 0;
  // A message on the window's status panel (and wherever the window sends it).
  virtual void Status(std::string_view text, std::uint8_t colour) = 0;

  // ---- the shared engine ----
  void MoveTo(int target, int direction);
  bool Commit(bool backwards);  // false: the value was corrected and the cursor stays
  void EnterKey();
  void Outcome(int outcome);
  void TabKey();
  void UpDown(bool up);
  void TemplateKey();
  bool AnyEditable() const;
  bool Enterable(int slot) const;  // editable and not the table's header or footer
  // The editor's frame over the slot's panel and the F button at its end.
  void PlaceEditorFrame(int slot);
  void PlaceFButton(int slot);
  // The automatic value (into an empty editor) and the template, then the
  // editor's text selected.
  void FinishEditor(const std::string& automatic, const std::string& tmpl);
  // The appearance values taken from the settings and the field set
  // emptied, its lines starting below the title and a separator.
  void StartBuild();
  // Lines right-aligned on the widest right edge (the first label of a line
  // stays at the margin).
  void AlignLines();
  // The field area's width, the button row, the status panel and the client size.
  void SizeArea();
  int TitleWidth() const;
  // The drawing numbers up to the button row (title, leaders, separators,
  // colours, Esc, Go, the memo over Go).
  ZestawLayout DrawingBase() const;
  // The status panel below `bar` extra pixels, the client size and the growth.
  void FinishDrawing(ZestawLayout& d, int bar);

  const TextMetrics& metrics_;
  FieldSet fields_;
  WindowFrame frame_;
  std::uint8_t state_ = kZesBusy;
  std::uint8_t move_reason_ = kMoveClick;
  int current_ = 0;
  int target_ = 0;
  int initial_ = 1;
  std::string value_under_edit_;  // capacity 80
  FixedText<250> template_;
  bool opening_ = false;
  bool last_commit_corrected_ = false;
  bool date_warning_ = false;
  bool hold_cursor_ = false;
  ZestawEditor editor_;
  FButton fbutton_;
  std::string pst_text_;
  std::uint8_t pst_colour_ = kInfo;
  std::array<bool, kMaxSlots + 1> panel_right_{};
  FieldAppearance look_;
  int font_size_ = 11;
  int area_width_ = 0;
  int buttons_top_ = 0;
  int status_top_ = 0;
  ZestawLayout drawing_;
};

}  // namespace zel
