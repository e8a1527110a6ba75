// The desktop FPulpit (window module aPulpit): the program's main window, in
// which every other window lives, and the timer that runs the start-up and
// switches between windows.
//
// The form holds all the desktop's state (timer interval, pending window
// kind, WindowTable, the status bar, the corner panel, its own frame) and
// makes every decision; a view draws that state and forwards events (ticks,
// clicks, keys). A window never opens another directly: it calls ShowKind,
// and the tick two ticks later activates the window of that kind.
// The desktop owns nothing it points to (see pulpit_ports.hpp).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/fixed_text.hpp"
#include "shell/pulpit_ports.hpp"
#include "shell/pulpit_window.hpp"
#include "shell/status.hpp"

namespace zel {

// Colours are 0xRRGGBB.
inline constexpr std::uint32_t kDeskColour = 0xD2D0C0;
inline constexpr std::uint32_t kAltDeskColour = 0xD8E8F8;
inline constexpr std::array<std::uint32_t, 3> kStatusColours = {0xFFBB77, 0xBBFFBB, 0x77BBFF};

// The window scheme: AltColours when the KonOkien style is "----" and its first
// size is below 11; NormalColour is the resting colour of the status lines.
extern bool AltColours;
extern std::uint32_t NormalColour;
// The role letter of the user: 'A' for a start without login, ' ' until then.
extern char UserLetter;

// The window font as the windows draw it: the family resolved against the
// installed fonts, the first KonOkien size, bold for the style "Bold".
struct ResolvedFont {
  std::string family = "Tahoma";  // Windows-1250
  int size = 11;
  bool bold = true;
};
extern ResolvedFont WindowFont;

// A font name against the installed fonts: a leading letter and space ("c ")
// is dropped, and the last installed family containing the rest is taken;
// the text itself when none does.
std::string ResolveFontName(std::string_view setting, const std::vector<std::string>& installed);

// Text sizes in the window font, measured by the view (tests give fixed ones).
class DeskMetrics {
 public:
  virtual ~DeskMetrics() = default;
  virtual int TextWidth(std::string_view text) = 0;
  virtual int TextHeight(std::string_view text) = 0;
};

struct WindowEntry {
  std::int16_t left = 0;
  std::int16_t top = 0;
  bool hidden = true;
};

// Last positions of the windows by kind. Kinds 10..120 share the entry of
// kind 4 and kinds 121..131 that of kind 5; kinds above 144 share kind 0.
class WindowTable {
 public:
  static constexpr int kEntries = 145;
  WindowEntry& operator[](std::uint8_t kind) { return entries_[Slot(kind)]; }
  static int Slot(std::uint8_t kind);
  void Reset();

 private:
  std::array<WindowEntry, kEntries> entries_{};
};

// The settings name of a window kind's position ("Men" for 3); empty for the
// kinds saved through the bPulpit hook or never saved.
std::string_view PositionName(std::uint8_t kind);
// Kinds 0, 4, 5, 121 and 144 never save their position.
bool NeverSaved(std::uint8_t kind);

// What the executable-name check decided.
enum class ExeCheck { kSameName, kCaseFixed, kRestarted, kHalted };
// Keeps the program's file named `name` in its folder (`zel` here), so that
// a downloaded update started under another name replaces it.
ExeCheck CheckExeName(PulpitSystem& sys, const std::string& program_path, std::string_view name);

// The desktop's status bar: the sink of ShowStatus.
struct StatusBarState {
  int height = 21;
  std::uint32_t colour = kDeskColour;
  int panels = 1;
  std::string panel0;       // a space and the message (Windows-1250)
  int panel0_width = 2000;
  bool bold = false;
};

// Which window the desktop activated last, for the views and the tests.
struct Activation {
  std::uint8_t kind = 0;
  std::uint8_t mode = 0;
  std::uint32_t count = 0;
};

class FPulpit final : public StatusSink {
 public:
  // Window slots the desktop knows by their forms' names.
  enum Slot : int { kMen, kZestaw, kOknaF3, kLisF45, kRaport, kViewer, kSlots };

  explicit FPulpit(PulpitSystem& sys);
  ~FPulpit() override;
  FPulpit(const FPulpit&) = delete;
  FPulpit& operator=(const FPulpit&) = delete;

  // Wiring, before FCreat. A missing window makes its kinds show
  // "Funkcja w przygotowaniu".
  void SetView(PulpitView* view) { view_ = view; }
  void SetAsker(Asker* asker) { asker_ = asker; }
  void SetLinks(PulpitLinks* links);
  void SetMetrics(DeskMetrics* metrics) { metrics_ = metrics; }
  void SetWindow(Slot slot, DeskWindow* window) { windows_[slot] = window; }
  DeskWindow* Window(Slot slot) const { return windows_[slot]; }
  // The executable-name check uses this name; empty skips the check.
  void SetProgramName(std::string_view name) { program_name_ = name; }

  // Desktop creation (FCreat): run mode, placement, the corner panel.
  void FCreat();
  // One timer tick (TiTime); the view re-arms its timer at Interval().
  void TiTime();
  int Interval() const { return interval_; }

  // Services of the desktop for the other windows.
  void ShowKind(std::uint8_t kind, std::uint8_t mode);
  void RetF3(bool flag);
  void RetF45(bool flag);
  void F45(std::uint8_t return_kind, std::uint8_t value, std::string_view text, int key_code);
  void Ending();
  int Ask(char default_answer, std::string_view question, DeskWindow* owner);
  void Fatal(std::string_view message);
  void RaiseWindow(std::uint8_t kind, DeskWindow& form);
  void HideWindow(std::uint8_t kind, DeskWindow& form, bool back_to_menu);
  void LoadPosition(std::string_view name, int default_left, int default_top);
  void SavePosition(std::string_view name, int left, int top);
  void SaveSize(std::string_view name, int width, int height);
  int ClampLeft(int left, int width) const;
  int ClampTop(int top, int height) const;
  std::string VersionText();
  void ProcessMessages();
  // Shows the text straight in the first status panel (no LastMessage, no colour).
  void SetStatusPanelText(std::string_view text);

  // The close query (FCloQu): true when the desktop may close now.
  bool FCloQu();
  // The desktop closes (FClose).
  void FClose();

  // Mouse and clicks forwarded by the view. Screen coordinates for moves.
  void DragPress(int screen_x, int screen_y);
  void DragMove(int screen_x, int screen_y);
  void DragRelease();
  void StatusBarDoubleClick();
  void WaitPanelClick();
  void CornerClick() { Ending(); }
  void CornerDoubleClick();
  void Resized(int width, int height, bool maximised);
  // Esc on the desktop itself.
  void EscapeKey() { Ending(); }

  // Loads the database: the caption and the waiting panel while the chart loads.
  void LoadDatabase();

  // What a login (option 1) answered: when refused, the message and the
  // login window's field the cursor returns to; close_window when the login
  // window is to close at once.
  struct LoginAnswer {
    bool accepted = false;
    bool close_window = false;
    std::string message;  // Windows-1250
    int field = 0;
  };
  // The login against "!\Login.txt": sets the workstation, holds its lock,
  // registers it, runs the start-up sequence again and opens the menu.
  LoginAnswer Login(std::string_view login, std::string_view password);
  // Logging in again: the workstation's lock is released at once.
  void CloseStationLock();
  // The start-up sequence once more (a changed database folder); false when
  // it ended the program.
  bool RerunStartup() { return StartupSequence(); }
  // The desktop placed again (new fonts and sizes).
  void PlaceAgain() { PlaceDesktop(); }
  // The database folder (without its closing backslash) and chart that the
  // start-up takes instead of the settings' (a login's, or the command
  // line's of a second program); empty texts return to the settings.
  void GiveDatabase(std::string_view folder, std::string_view chart) {
    given_folder_ = std::string(folder);
    given_chart_ = std::string(chart);
  }
  // Closes the desktop without the closing question, so that the program
  // (a new version just put in place) starts again once everything is
  // saved and released.
  void CloseForRestart(std::string_view program);
  // The program to start after the desktop closed; empty for none.
  const std::string& RestartProgram() const { return restart_program_; }
  // True while an administrator's "Logout" waits for an unfinished entry.
  bool LogoutPending() const { return logout_pending_; }

  // StatusSink: the desktop's status bar (and the parameter window's panel).
  void Show(std::string_view text, std::uint8_t colour) override;
  void Clear() override;
  // A second sink that also shows every message (the parameter window's pSt).
  void SetPanelSink(StatusSink* sink) { panel_sink_ = sink; }

  // State the views draw and the tests read.
  const WindowFrame& Frame() const { return frame_; }
  WindowFrame& Frame() { return frame_; }
  int ClientWidth() const { return frame_.ClientWidth(); }
  int ClientHeight() const { return frame_.ClientHeight(); }
  const StatusBarState& StatusBar() const { return status_; }
  const std::string& Caption() const { return caption_; }
  const std::string& CornerText() const { return corner_text_; }  // LZ
  const std::string& CornerHint() const { return corner_hint_; }  // pZ
  const std::string& CloseCaption() const { return close_caption_; }  // bC
  int CornerHeight() const { return corner_height_; }
  int CornerWidth() const { return corner_width_; }
  std::uint32_t StripColour() const { return AltColours ? 0x396DA6 : 0xFF0000; }
  std::uint32_t DeskColour() const { return desk_colour_; }
  bool WaitPanelShown() const { return wait_panel_shown_; }
  const std::string& WaitPanelText() const { return wait_panel_text_; }
  const std::vector<std::string>& ErrRap() const { return err_rap_; }
  bool ChooserOpen() const { return chooser_open_; }
  bool CloseConfirmation() const { return close_confirmation_; }
  bool RegistrationDone() const { return registration_done_; }
  const Activation& LastActivation() const { return activation_; }
  std::uint8_t PendingKind() const { return pending_kind_; }
  std::uint8_t PendingMode() const { return pending_mode_; }
  WindowTable& Windows() { return table_; }
  const std::string& WindowText() const { return window_text_; }  // "Okno: ..."

  // Shared with the list window: what F45 saved.
  std::uint8_t F45Kind() const { return f45_kind_; }
  std::uint8_t F45Value() const { return f45_value_; }
  const std::string& F45Text() const { return f45_text_; }
  bool F45WasF5() const { return f45_f5_; }

  std::int16_t NextLeft = 1;
  std::int16_t NextTop = 1;

  static constexpr std::string_view kBuiltInVersion = "1.41";

 private:
  void Refresh();
  void Activate(std::uint8_t kind, std::uint8_t mode);
  void FirstTick();
  void SecondTick();
  void RestingTick();
  void ReadAdminMessage();
  bool StartupSequence();
  void PlaceDesktop();
  void LayoutCorner();
  bool ChooseTempDir();
  bool ProbeTempDir(std::string_view candidate);
  void WriteSettingsBack();
  void Register();
  bool TakeStationLock(int number);

  PulpitSystem& sys_;
  PulpitView* view_ = nullptr;
  Asker* asker_ = nullptr;
  PulpitLinks* links_ = nullptr;
  PulpitLinks no_links_;
  DeskMetrics* metrics_ = nullptr;
  StatusSink* panel_sink_ = nullptr;
  StatusSink* previous_sink_ = nullptr;
  std::array<DeskWindow*, kSlots> windows_{};
  std::string program_name_ = "zel";

  int interval_ = 1000;
  std::uint8_t pending_kind_ = 0;
  std::uint8_t pending_mode_ = 0;
  Activation activation_;
  WindowTable table_;
  WindowFrame frame_;
  bool maximised_ = false;
  StatusBarState status_;
  std::string caption_ = "Kelto-Systemy";
  std::string window_text_;
  std::string corner_text_;
  std::string corner_hint_ = "Esc";
  std::string close_caption_ = "X";
  int corner_height_ = 25;
  int corner_width_ = 14;
  std::uint32_t desk_colour_ = kDeskColour;
  bool wait_panel_shown_ = false;
  std::string wait_panel_text_;
  std::vector<std::string> err_rap_;
  bool chooser_open_ = false;
  bool close_confirmation_ = true;
  std::string restart_program_;
  bool registration_done_ = false;
  bool logout_pending_ = false;
  std::string given_folder_;  // the database folder and chart given by a login
  std::string given_chart_;   // or the command line (empty: the settings')
  bool dragging_ = false;
  int drag_x_ = 0;
  int drag_y_ = 0;

  std::uint8_t f45_kind_ = 0;
  std::uint8_t f45_value_ = 0;
  std::string f45_text_;
  bool f45_f5_ = false;
};

}  // namespace zel
