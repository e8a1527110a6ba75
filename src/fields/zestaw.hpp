// FZestaw (window module aZestaw): the parameter window in which every option
// takes its parameters and from which it runs.
//
// The form holds all of the window's behaviour and state: the field set it
// rebuilds for each option, the travelling editor, the window state (0 idle,
// 1 busy, 2 waiting in a field, 3 running, 4 abort requested, 5 memo mode),
// the action combo and print bar, the table block and the run. A view only
// draws the state read through the accessors and forwards keys and clicks;
// zel-batch and the tests drive it the same way without a view. Everything
// option-specific is asked of bZestaw through its hooks. The slot engine
// (moves, commits, the editor, the shared keys and drawing numbers) is
// SlotWindow's, shared with the F3 window. The form owns its
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
#include "fields/slot_window.hpp"
#include "fields/text_metrics.hpp"
#include "shell/pulpit_window.hpp"
#include "shell/status.hpp"

namespace zel {

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

// One choice of the action combo Czyn.
struct ActionEntry {
  std::string text;  // " " + caption, Windows-1250
  FixedText<4> code;
};

class FZestaw final : public SlotWindow,
                      public OptionServices,
                      public DeskWindow,
                      public StatusSink {
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
  void PressKey(std::uint16_t key);
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
  // A list's "Skasuj" ('D') or "Zmień" ('R') request that comes with the
  // value before Go(4): the value is taken and the cursor moves to the next
  // field; for 'D' that field is emptied and the option runs at once, for
  // 'R' the user types the new name there.
  void SetListRequest(char request) { list_request_ = request; }
  // While the memo is shown: the memo's text, which F3 fills from the
  // clipboard (the view may also type into it).
  const std::string& MemoText() const { return memo_text_; }
  void SetMemoText(std::string_view text) { memo_text_ = std::string(text); }

  // ---- services for the hooks ----
  // Puts a raw value into a slot: its value and what its panel shows.
  void PutValue(int slot, std::string_view raw) override;
  // Shows every slot's value again as the hooks give it (an option changed
  // its values while the window is open); the editor over the current slot
  // takes its new value, so that the next move does not store the old text.
  void ReloadValues();
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
  // The option's message after its run; empty = success.
  void SetResultText(std::string_view text) { result_text_ = text; }
  // The current row of the table block (1-based, with the first shown row),
  // and the column buffer of the current row.
  int CurrentRow() const;
  int CurrentColumn() const;  // 0-based; -1 outside the block
  std::string_view RowValue(int column) const;
  int FirstShownRow() const { return first_row_; }

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
  const std::string& GoCaption() const { return go_caption_; }
  bool GoRed() const { return go_red_; }
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
  bool Shown() const { return frame_.height > 0; }
  // The texts the F3/F4 requests answered with, and the last list asked.
  std::uint8_t LastListKind() const { return last_list_kind_; }
  const std::string& LastListPattern() const { return last_list_pattern_; }

  // The hook calls go to this module.
  bZestaw& Module() { return module_; }

  static constexpr std::string_view kOwner = "bZestaw";

 private:
  // ---- the shared engine's questions ----
  std::string Complete(int slot, const std::string& value) override;
  void StoreCommitted(int slot, const std::string& value, bool backwards) override;
  void ApplyTypingFilters() override;
  void PlaceEditor(int slot) override;
  void LeavingSlot() override;
  bool HoldAfterCommit(int& target, int direction) override;
  void PastLastSlot() override { Run(kRunGo); }
  int EnterDecision() override;
  bool TabScroll() override;
  bool AllowRoll(bool up) override;
  bool BlockUpDown(bool up) override;
  bool DeveloperMarker() override { return host_->FieldDeveloperMarker(); }
  std::string_view MarkerName() const override { return "aZestaw"; }
  void Status(std::string_view text, std::uint8_t colour) override;

  // Moves and values.
  void Store(int slot, bool backwards);
  void LoadValues();
  void LoadSlot(int slot);
  void PageUp();
  void PageDown();
  void F3Key();
  void F45Key(bool f5);
  bool StepSystemValue(int number, bool up);
  int EmptyEnterRule(int slot);
  int ValueEnterRule(int slot);
  void Close();
  bool PreRunChecks();
  void RunShellOption(std::uint8_t index);
  void AfterRun();
  void FillActions();
  void UpdateGoCaption();
  void Layout();
  void LayoutDrawing();
  void RestoreF3Position();
  void Reload();  // the table block's visible rows
  void Scroll(int rows, int land_slot, int direction);
  bool InBlock(int slot) const;
  int RowOf(int slot) const;  // 0-based visible row inside the block
  int ColumnOf(int slot) const;
  int LastRowFirstSlot() const;

  bZestaw& module_;
  ZestawHost default_host_;
  ZestawHost* host_;
  std::string saved_editor_;      // capacity 80
  std::string return_text_;
  char list_request_ = 0;
  std::string result_text_;
  std::string outcome_;
  std::int16_t return_field_ = 0;
  std::uint16_t return_slot_ = 0;
  bool pending_next_ = false;
  bool escaped_in_run_ = false;
  std::string viewer_code_;
  std::function<bool(int)> leave_guard_;
  std::string memo_text_;
  Point16 f3_open_at_{};   // where F3 windows opened before this window's F3
  bool f3_saved_ = false;
  std::string go_caption_;
  std::string go_normal_caption_;
  bool go_red_ = false;
  bool go_red_fresh_ = false;
  bool memo_shown_ = false;

  std::vector<ActionEntry> actions_;
  int selected_action_ = 0;
  FixedText<4> action_code_;
  bool print_bar_ = false;
  bool pdom_enabled_ = false;
  std::string run_printer_;

  int first_row_ = 1;
  std::array<FixedText<kSlotValueCapacity>, 10> row_values_{};  // the current row, full width
  std::array<Point16, 256> positions_{};
  FixedText<250> period_text_;
  std::uint32_t report_generation_ = 0;
  std::uint8_t last_list_kind_ = 0;
  std::string last_list_pattern_;
};

}  // namespace zel
