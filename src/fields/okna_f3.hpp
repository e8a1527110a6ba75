// FOknaF3 (window module aOknaF3): the small field window a parameter
// window opens for one of its fields (F3, a double click, or Enter on the
// placeholder "……") to edit the record behind it: the account card (122),
// the selected accounts (125) and documents (126), the taxpayer (127) and the
// parts of the VAT-7 declaration (128..130). It is built on the same slot
// engine as the parameter window (SlotWindow) and asks everything
// window-code-specific of bOknaF3 through its hooks.
//
// Go saves through the hook niZapis: a save that names a field in error
// keeps the window open with the cursor on that field and the message on
// the status line; Esc never saves. Closing returns to the parameter window
// through the desktop's RetF3: kind 3 when nothing was entered (the window
// was only looked at), kind 2 after an Enter or a save. The window's
// position is remembered per window code under its own key.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "fields/b_okna_f3.hpp"
#include "fields/slot_window.hpp"
#include "shell/pulpit_window.hpp"
#include "shell/status.hpp"

namespace zel {

// What the F3 window needs from around it; every method has a harmless
// default so that tests and zel-batch run it without a desktop.
class OknaF3Host {
 public:
  virtual ~OknaF3Host() = default;
  // The window code the desktop activated the window for (kind 1).
  virtual std::uint8_t RequestedCode() { return 0; }
  virtual int DesktopWidth() { return 1024; }
  virtual int DesktopHeight() { return 740; }
  // The remembered position under a key; false when none is remembered.
  virtual bool ReadPosition(std::string_view key, Point16* p) {
    (void)key;
    (void)p;
    return false;
  }
  virtual void WritePosition(std::string_view key, Point16 p) {
    (void)key;
    (void)p;
  }
  // The window closed; the default asks the desktop to return to the
  // parameter window (RetF3: kind 3 when escaped, else 2).
  virtual void Closed(std::uint8_t kind);
  // Opens a hint list for the current field; the default asks the desktop,
  // which answers through Go(4) or Go(5).
  virtual void OpenList(std::uint8_t code, std::uint8_t kind, std::string_view typed, bool f5);
  // True when the field windows' developer marker exists.
  virtual bool FieldDeveloperMarker();
};

// The position key of a window code ("DePla" for 122 ...); "F3" for others.
std::string_view F3PositionKey(std::uint8_t code);

class FOknaF3 final : public SlotWindow, public DeskWindow, public StatusSink {
 public:
  FOknaF3(bOknaF3& module, const TextMetrics& metrics, OknaF3Host* host = nullptr);

  // ---- the window operations ----
  void Bo() override;
  void Jo() override;
  // Activates the window: kind 1 opens the code the host names (or the one
  // given to Open), 4/5 come back from a hint list with a value / Esc (the
  // return text is set before kind 4).
  void Go(std::uint8_t kind) override;
  WindowFrame& Frame() override { return frame_; }
  // Opening without the desktop: the window code, then Go(1).
  void Open(std::uint8_t code);

  // ---- the user ----
  void PressKey(std::uint16_t key);
  void ClickGo();
  void ClickEsc();
  void RightClickEsc();
  void SetReturnText(std::string_view text) { return_text_ = std::string(text); }

  // ---- services for the hooks ----
  void PutValue(int slot, std::string_view raw) override;
  // Opens a hint list for the current field (F4 or F5), below the editor.
  void OpenList(std::uint8_t kind, std::string_view pattern, bool f5);
  // Moves the cursor to a slot (a hook's decision after Enter).
  void MoveCursor(int slot) { MoveTo(slot, slot < current_ ? -1 : +1); }
  void StatusMessage(std::string_view text, std::uint8_t colour) { Status(text, colour); }
  // True when the value in the editor was corrected by the last commit.
  bool JustCorrected() const { return last_commit_corrected_; }
  OknaF3Host& Host() { return *host_; }

  // ---- StatusSink: the window's own status panel ----
  void Show(std::string_view text, std::uint8_t colour) override;
  void Clear() override;

  // ---- state for the view and the tests ----
  std::uint8_t Code() const { return code_; }
  const std::string& GoCaption() const { return go_caption_; }
  bool Shown() const { return frame_.height > 0; }
  // The kind the window returned with when it last closed (2 or 3; 0 before).
  std::uint8_t ReturnKind() const { return return_kind_; }
  std::uint8_t LastListKind() const { return last_list_kind_; }
  const std::string& LastListPattern() const { return last_list_pattern_; }
  bOknaF3& Module() { return module_; }

  static constexpr std::string_view kOwner = "bOknaF3";

 private:
  std::string Complete(int slot, const std::string& value) override;
  void StoreCommitted(int slot, const std::string& value, bool backwards) override;
  void ApplyTypingFilters() override;
  void PlaceEditor(int slot) override;
  bool HoldAfterCommit(int& target, int direction) override;
  void EnteredSlot(int slot) override;
  void PastLastSlot() override { ClickGo(); }
  int EnterDecision() override;
  bool AllowRoll(bool up) override;
  bool DeveloperMarker() override { return host_->FieldDeveloperMarker(); }
  std::string_view MarkerName() const override { return "aOknaF3"; }
  void Status(std::string_view text, std::uint8_t colour) override;

  void Layout();
  void Close();
  void PageUp();
  void PageDown();

  bOknaF3& module_;
  OknaF3Host default_host_;
  OknaF3Host* host_;
  std::uint8_t code_ = 0;
  std::string go_caption_;
  std::string return_text_;
  std::string result_text_;
  std::uint8_t return_kind_ = 0;
  std::uint8_t last_list_kind_ = 0;
  std::string last_list_pattern_;
};

}  // namespace zel
