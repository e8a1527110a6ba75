// FZestaw (window module aZestaw): the parameter window in which every option
// takes its parameters and from which it runs.
//
// The form holds all of the window's behaviour and state: the field set it
// rebuilds for each option, the travelling editor, the window state (0 idle,
// 1 busy, 2 waiting in a field, 3 running, 4 abort requested, 5 memo mode),
// the action combo and print bar, the table block and the run. A view only
// draws the state read through the accessors and forwards keys and clicks;
// zel-batch and the tests drive it the same way without a view. Everything
// option-specific is asked of bZestaw through its hooks. The form owns its
// FieldSet; the host, the metrics and the business module are the caller's
// and must outlive it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/fixed_text.hpp"
#include "fields/b_zestaw.hpp"
#include "fields/field_set.hpp"
#include "fields/option_services.hpp"
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

// Run modes: 0 pZap "Zapisz dokument", 1 pPod "Podgląd", 2 pPDF click,
// 3 oPDF "PDF oryg.", 4 pPDF after a right click, 7 Go, 8 the document viewer.
enum RunModeCode : std::uint8_t {
  kRunSave = 0,
  kRunPreview = 1,
  kRunPdf = 2,
  kRunPdfOriginal = 3,
  kRunPdfRight = 4,
  kRunGo = 7,
  kRunViewer = 8,
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

// What the parameter window needs from around it. Every method has a
// harmless default, so that a window without a desktop (zel-batch, tests)
// still works; the Qt side and the desktop override what they have.
class ZestawHost {
 public:
  virtual ~ZestawHost() = default;

  // Printers (Windows-1250 names) and the current one.
  virtual std::vector<std::string> Printers() { return {}; }
  virtual std::string CurrentPrinter() { return {}; }
  virtual void SetCurrentPrinter(std::string_view) {}
  // The report built by the run that just ended was finished (RapKoniec,
  // which tells the preview's view to show it); the desktop may bring the
  // preview to the front.
  virtual void OpenPreview() {}
  // The two parts of the desktop's status bar during a long run.
  virtual void ShowProgress(std::string_view title, std::string_view counts) {
    (void)title;
    (void)counts;
  }
  // Processes pending window messages (a running option stays responsive).
  virtual void ProcessMessages() {}
  // The remembered action choice "Zes-" + key (1-based; <= 0 when none) and
  // storing it. The defaults use the workstation settings file.
  virtual int ReadActionChoice(std::string_view key);
  virtual void WriteActionChoice(std::string_view key, int choice);
  // The developer's message box for an option that misses its action set.
  virtual void DeveloperMessage(std::string_view caption, std::string_view text) {
    (void)caption;
    (void)text;
  }
  // Screen heights for the report position fields (16, 17, 23, 24).
  virtual int ScreenHeight() { return 768; }
  virtual int SecondScreenHeight() { return 1600; }
  // The desktop's client area, into which the window is clamped.
  virtual int DesktopWidth() { return 1024; }
  virtual int DesktopHeight() { return 740; }
  // Runs a shell option (1, 133, 135, 136, 138, 139, 142); false when the
  // host has nothing for it (the window then shows that it is not available).
  virtual bool RunShellOption(std::uint8_t index) {
    (void)index;
    return false;
  }
  // The window closed: the desktop remembers its position and shows the
  // menu. The default only asks the desktop for the menu (ShowKind(3, 2)).
  virtual void Closed(std::uint8_t option_index);
  // The clipboard's text (Windows-1250), which F3 pastes into the memo.
  virtual std::string ClipboardText() { return {}; }
  // The user's role letter; 'A' for a single workstation without login.
  // The default reads the shell's UserLetter (' ' before a login counts as
  // 'A'). "O" and "W" close the window right after it opens.
  virtual char UserLetter();
  // True while the shell is in its first-start mode (before the workstation
  // is registered): closing the window says farewell first.
  virtual bool FirstStartMode() { return false; }
  // True when the field windows' developer marker file exists: entering a
  // slot then shows "aZestaw : n" and the field code. The default looks for
  // kZestawDeveloperMarker, but only in DeveloperMode.
  virtual bool FieldDeveloperMarker();
};

// The field windows' developer marker, beside the shell's one.
inline constexpr std::string_view kZestawDeveloperMarker = "#\\Zestaw.DEV";

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

// One choice of the action combo Czyn.
struct ActionEntry {
  std::string text;  // " " + caption, Windows-1250
  FixedText<4> code;
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

class FZestaw final : public OptionServices, public DeskWindow, public StatusSink {
 public:
  FZestaw(bZestaw& module, const TextMetrics& metrics, ZestawHost* host = nullptr);
  FZestaw(const FZestaw&) = delete;
  FZestaw& operator=(const FZestaw&) = delete;

  // ---- the window operations ----
  // Once at start: busy, zero height, first shown row 1, row buffer cleared.
  void Bo() override;
  // Rebuilds the window for OptionIndex from its field set.
  void Jo() override;
  // Activates the window with an entry kind (1 new option, 2/3 back from an
  // F3 window with a value / Esc, 4/5 back from a hint list with a value /
  // Esc). The return text must be set before kinds 2 and 4.
  void Go(std::uint8_t kind) override;
  WindowFrame& Frame() override { return frame_; }
  // The window comes to the front again (a click on it).
  void Activate();

  // ---- the user ----
  // Types the characters at the caret (replacing the selection), each one
  // going through the typing filters.
  void TypeText(std::string_view text);
  // Replaces the whole editor text at once (one change, one filter pass).
  void SetEditorText(std::string_view text);
  void SetCaret(int caret);
  void SelectAll();
  void PressKey(std::uint16_t key);
  void ClickSlot(int slot);       // a click on the slot's panel
  void ClickElsewhere();          // a click on the window outside the panels
  // A click at a point of the client area: the slot whose panel lies there,
  // else the current slot again.
  void ClickAt(int x, int y);
  // A right click on Esc: the window first moves to the top of the desktop.
  void RightClickEsc();
  void DoubleClickTitle();
  void ClickGo() { Run(kRunGo); }
  void ClickEsc();
  void Run(std::uint8_t mode);    // the Go button or one of the print bar panels
  // The document viewer asks for a run with its own action code.
  void RunFromViewer(std::string_view code);
  void ChooseAction(int index);   // 0-based entry of Czyn
  void ClickDefaultChoice();      // pDom
  void ChoosePrinter(int index);  // 0-based entry of Druk
  // Texts handed back by an F3 window or a hint list, before Go(2) / Go(4).
  void SetReturnText(std::string_view text) { return_text_ = text; }
  // While the memo is shown: the memo's text, which F3 fills from the
  // clipboard (the view may also type into it).
  const std::string& MemoText() const { return memo_text_; }
  void SetMemoText(std::string_view text) { memo_text_ = std::string(text); }

  // zel-batch: finds the first editable slot carrying the field code (case
  // ignored), enters it, puts the value into the editor and commits it (a
  // value the window corrects is committed in its corrected form).
  EnterResult EnterField(std::string_view code, std::string_view value);

  // ---- services for the hooks ----
  // Puts a raw value into a slot: its value and what its panel shows.
  void PutValue(int slot, std::string_view raw);
  // Shows every slot's value again as the hooks give it (an option changed
  // its values while the window is open); the editor over the current slot
  // takes its new value, so that the next move does not store the old text.
  void ReloadValues();
  // The value under edit while it is validated (hooks may change it).
  std::string& ValueUnderEdit() { return value_under_edit_; }
  void SetTemplate(std::string_view text) { template_ = text; }
  const FixedText<250>& Template() const { return template_; }
  // Opens a hint list for the current field (F4, or F5 for a search), just
  // below the editor; the list answers through Go(4) or Go(5).
  void OpenList(std::uint8_t kind, std::string_view pattern, bool f5);
  // Asks the cursor to move one slot further at the next move.
  void RequestNext() { pending_next_ = true; }
  // Asks the window to keep the cursor in the field it is leaving forward
  // (a hook calls it while the value is committed); the editor is selected
  // again and the move ends.
  void HoldCursor() { hold_cursor_ = true; }
  // A business module that must keep the cursor in some field (the symbol
  // of the account card after Enter) installs a guard: asked with the slot
  // the cursor leaves forward, after its value was committed; true keeps
  // the cursor there. The guard stays for the window's life, so it checks
  // OptionIndex (and MoveReason) itself; an empty function removes it.
  void SetLeaveGuard(std::function<bool(int slot)> guard) { leave_guard_ = std::move(guard); }
  // A completion found the typed value impossible (a date that does not
  // exist): the text goes to the status line in colour 0, and a batch entry
  // of the value is refused.
  void ValueWarning(std::string_view text);
  // The option's message after its run; empty = success.
  void SetResultText(std::string_view text) { result_text_ = text; }
  // The current row of the table block (1-based, with the first shown row),
  // and the column buffer of the current row.
  int CurrentRow() const;
  int CurrentColumn() const;  // 0-based; -1 outside the block
  std::string_view RowValue(int column) const;
  int FirstShownRow() const { return first_row_; }
  // Panel of a slot by its raw value, for hooks that fill panels themselves.
  FieldSet& Fields() { return fields_; }
  const FieldSet& Fields() const { return fields_; }

  // ---- OptionServices ----
  bool FieldError(int field_number, std::string_view text) override;
  int ShowTableCell(int row, int column) override;
  // Shows every field's value again from where the option keeps it; with
  // `rows_from_top` the table block starts again at its first row.
  void ShowValuesAgain(bool rows_from_top);
  void Progress(std::string_view title, std::int64_t counter, std::int64_t total) override;
  bool AbortRequested() override { return state_ == kZesAbort; }
  void SetReturnSlot(int slot) override { return_slot_ = static_cast<std::uint16_t>(slot); }
  void SetReturnField(int field_number) override {
    return_field_ = static_cast<std::int16_t>(field_number);
  }
  void SetOutcome(std::string_view text) override { outcome_ = std::string(text); }
  void OpenRunBracket() override;
  void CloseRunBracket() override;
  std::string_view PeriodText() const override { return period_text_.view(); }

  // ---- StatusSink: the window's own status panel pSt ----
  void Show(std::string_view text, std::uint8_t colour) override;
  void Clear() override;

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
  const std::string& GoCaption() const { return go_caption_; }
  bool GoRed() const { return go_red_; }
  const std::string& StatusText() const { return pst_text_; }
  std::uint8_t StatusColour() const { return pst_colour_; }
  bool MemoShown() const { return memo_shown_; }
  bool PrintBarShown() const { return print_bar_; }
  bool PdfEnabled() const;
  bool DefaultChoiceEnabled() const { return pdom_enabled_; }
  const std::vector<ActionEntry>& Actions() const { return actions_; }
  int SelectedAction() const { return selected_action_; }
  std::string_view ActionCode() const { return action_code_.view(); }
  const std::string& ResultText() const { return result_text_; }
  // The last run's outcome when the option named one (SetOutcome).
  const std::string& Outcome() const { return outcome_; }
  int ReturnSlot() const { return return_slot_; }
  int ReturnField() const { return return_field_; }
  const std::string& SavedEditorText() const { return saved_editor_; }
  // Druk: every printer as " " + name; the selected one.
  std::vector<std::string> PrinterEntries() const;
  // The remembered position of an option index's window (-7 = centred).
  Point16 RememberedPosition(std::uint8_t index) const { return positions_[index]; }
  void SetRememberedPosition(std::uint8_t index, Point16 p) { positions_[index] = p; }
  // Geometry of the laid-out window: the appearance values in use, the
  // window font size (the title is 3 points larger, bold, at x = margin + 5,
  // y = vertical margin + 4), the field area's width, the button row and the
  // status panel.
  const FieldAppearance& Look() const { return look_; }
  int FontSize() const { return font_size_; }
  int AreaWidth() const { return area_width_; }
  int ButtonsTop() const { return buttons_top_; }
  int StatusTop() const { return status_top_; }
  // Everything a view needs to draw the window, computed by Jo.
  const ZestawLayout& Drawing() const { return drawing_; }
  // The seven window heights of the growth, again, for a view that replays it.
  const std::array<int, 7>& GrowthSteps() const { return drawing_.growth; }
  bool Shown() const { return frame_.height > 0; }
  // The texts the F3/F4 requests answered with, and the last list asked.
  std::uint8_t LastListKind() const { return last_list_kind_; }
  const std::string& LastListPattern() const { return last_list_pattern_; }

  // The hook calls go to this module.
  bZestaw& Module() { return module_; }

  static constexpr std::string_view kOwner = "bZestaw";

 private:
  // Moves and values.
  void MoveTo(int target, int direction);
  bool Commit(bool backwards);  // false: the value was corrected and the cursor stays
  std::string Complete(int slot, const std::string& value);
  void Store(int slot, bool backwards);
  void LoadValues();
  void LoadSlot(int slot);
  void PlaceEditor(int slot);
  void ApplyTypingFilters();
  void EnterKey();
  void TabKey();
  void UpDown(bool up);
  void PageUp();
  void PageDown();
  void F3Key();
  void F45Key(bool f5);
  void TemplateKey();
  bool StepSystemValue(int number, bool up);
  int EmptyEnterRule(int slot);
  int ValueEnterRule(int slot);
  void Outcome(int outcome);
  void Close();
  bool PreRunChecks();
  void RunShellOption(std::uint8_t index);
  void AfterRun();
  void FillActions();
  void UpdateGoCaption();
  void Layout();
  void LayoutDrawing();
  void RestoreF3Position();
  int TitleWidth() const;
  void Reload();  // the table block's visible rows
  void Scroll(int rows, int land_slot, int direction);
  bool InBlock(int slot) const;
  int RowOf(int slot) const;  // 0-based visible row inside the block
  int ColumnOf(int slot) const;
  int LastRowFirstSlot() const;
  bool AnyEditable() const;
  bool Enterable(int slot) const;  // editable and not the table's header or footer
  void Status(std::string_view text, std::uint8_t colour);

  bZestaw& module_;
  const TextMetrics& metrics_;
  ZestawHost default_host_;
  ZestawHost* host_;
  FieldSet fields_;
  WindowFrame frame_;

  std::uint8_t state_ = kZesBusy;
  std::uint8_t move_reason_ = kMoveClick;
  int current_ = 0;
  int target_ = 0;
  int initial_ = 1;
  std::string value_under_edit_;  // capacity 80
  FixedText<250> template_;
  std::string saved_editor_;      // capacity 80
  std::string return_text_;
  std::string result_text_;
  std::string outcome_;
  std::int16_t return_field_ = 0;
  std::uint16_t return_slot_ = 0;
  bool pending_next_ = false;
  bool escaped_in_run_ = false;
  bool opening_ = false;
  bool last_commit_corrected_ = false;
  bool date_warning_ = false;
  std::string viewer_code_;
  bool hold_cursor_ = false;
  std::function<bool(int)> leave_guard_;
  std::string memo_text_;
  Point16 f3_open_at_{};   // where F3 windows opened before this window's F3
  bool f3_saved_ = false;
  ZestawLayout drawing_;

  ZestawEditor editor_;
  FButton fbutton_;
  std::string go_caption_;
  std::string go_normal_caption_;
  bool go_red_ = false;
  bool go_red_fresh_ = false;
  std::string pst_text_;
  std::uint8_t pst_colour_ = kInfo;
  bool memo_shown_ = false;

  std::vector<ActionEntry> actions_;
  int selected_action_ = 0;
  FixedText<4> action_code_;
  bool print_bar_ = false;
  bool pdom_enabled_ = false;
  std::string run_printer_;

  int first_row_ = 1;
  std::array<FixedText<kSlotValueCapacity>, 10> row_values_{};  // the current row, full width
  std::array<bool, kMaxSlots + 1> panel_right_{};

  FieldAppearance look_;
  int font_size_ = 11;
  int area_width_ = 0;
  int buttons_top_ = 0;
  int status_top_ = 0;
  std::array<Point16, 256> positions_{};
  FixedText<250> period_text_;
  std::uint32_t report_generation_ = 0;
  std::uint8_t last_list_kind_ = 0;
  std::string last_list_pattern_;
};

}  // namespace zel
