// The answer dialog FOdpowi (aOdpowi): the program's one yes/no question box,
// answered "Tak", "Nie" or "Powrót".
//
// The form never blocks and draws nothing. Whoever asks (the desktop's Ask,
// through the Qt asker) calls Prepare, Show and Activate, forwards keys,
// mouse presses and the passing of time, and waits until Done(); Result()
// then gives 0 for "Tak", 1 for "Nie" and 2 for "Powrót". While it waits the
// pending answer is -1 (default "Tak") or -2 (default "Nie"); once answered it
// is 1, 2 or 3 and stays so until the next Prepare. An answer leaves the
// chosen button pressed for 300 ms of Advance() time before the dialog
// closes; closing it unanswered records "Powrót". Positions are pixels; the
// layout comes from the TextMetrics the view gives (the window font).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "fields/text_metrics.hpp"
#include "shell/pulpit_ports.hpp"

namespace zel {

// Key codes as the Qt view hands them over (Qt::Key values, no Qt include).
inline constexpr int kAnswerKeyEscape = 0x01000000;
inline constexpr int kAnswerKeyTab = 0x01000001;
inline constexpr int kAnswerKeyBacktab = 0x01000002;
inline constexpr int kAnswerKeyReturn = 0x01000004;
inline constexpr int kAnswerKeyEnter = 0x01000005;
inline constexpr int kAnswerKeyLeft = 0x01000012;
inline constexpr int kAnswerKeyUp = 0x01000013;
inline constexpr int kAnswerKeyRight = 0x01000014;
inline constexpr int kAnswerKeyDown = 0x01000015;

// One key press: its code, the character it types (Windows-1250, 0 for none)
// and whether Shift was held.
struct DialogKey {
  int code = 0;
  char text = 0;
  bool shift = false;
};

struct DialogBox {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// Where the dialog is laid out: all boxes relative to their parent (Pa to the
// form's client area, Pz to Pa, the labels and buttons to Pz); left and top
// of the dialog itself in screen coordinates.
struct OdpowiLayout {
  int left = 0;
  int top = 0;
  int client_width = 0;
  int client_height = 0;
  DialogBox pa;
  int pa_bevel_width = 5;
  int pa_border_width = 4;
  DialogBox pz;
  DialogBox l1;
  DialogBox l2;
  DialogBox tak;
  DialogBox nie;
  DialogBox esc;
};

// The owner's client area in screen coordinates and the desktop's left edge.
struct OdpowiOwner {
  DialogBox client;
  int desktop_left = 0;
};

class FOdpowi {
 public:
  // The choices, as the pending answer and the highlight hold them.
  static constexpr int kTak = 1;
  static constexpr int kNie = 2;
  static constexpr int kPowrot = 3;
  static constexpr int kPressMs = 300;

  // Colours (0xRRGGBB) of the alternative scheme; otherwise the view's own.
  static constexpr std::uint32_t kAltFormColour = 0x91B3E1;
  static constexpr std::uint32_t kAltButtonColour = 0xFFF8C8;

  static const std::string& HintText();  // "[enter] = TAK   [esc] = WRÓĆ"
  // The button captions: index 1 "Tak", 2 "Nie", 3 "Powrót" (the Esc button).
  static const std::string& Caption(int choice);

  // Creation (FoCreat): collapsed; the alternative colours when asked.
  void FoCreat(bool alt_colours);
  bool AltColours() const { return alt_colours_; }

  // Ask's first steps: L1 := LastMessage() + ".", L2 := question + " ?",
  // the owner, and the pending answer from the default ('T' is "Tak",
  // anything else "Nie"). The dialog is not shown yet.
  void Prepare(char default_answer, std::string_view question, const OdpowiOwner& owner);
  // The same with both lines given as they are to be shown.
  void PrepareLines(char default_answer, std::string_view first_line, std::string_view second_line,
                    const OdpowiOwner& owner);

  // Shows the dialog and runs the activation (FoActiv).
  void Show(const TextMetrics& metrics);
  // Activation (FoActiv), every time the dialog becomes active: layout,
  // centring over the owner, and back to the default while unanswered.
  void FoActiv(const TextMetrics& metrics);

  // The form's key handler; true when the key was taken (every character is,
  // even those that do nothing).
  bool Key(const DialogKey& key);
  // Mouse: a press shows the button lowered, a release raises it, a click
  // answers. choice is 1, 2 or 3.
  void MouseDown(int choice);
  void MouseUp();
  void Click(int choice);
  // Presses "Tak" on a visible dialog.
  void PressYes();
  // The administrator's "Logout": presses "Powrót" on a visible dialog.
  void PressBack();
  // Time passing, in milliseconds; ends the pressed look and closes the
  // dialog once 300 ms have passed since the answer.
  void Advance(int elapsed_ms);
  // Closing by any other means (FormClose): unanswered counts as "Powrót".
  void FormClose();

  // The operations of the dialog. The keyboard focus never leaves the Esc
  // button, so it is not state. answer ignores a choice other than 1..3 (the
  // asker could never end on it) and anything once answered.
  void highlight(int choice);
  void answer(int choice);
  void step(int choice);

  // State a view and the asker read.
  bool Visible() const { return visible_; }
  bool Done() const { return pending_ > 0 && !visible_; }
  int Result() const { return pending_ > 0 ? pending_ - 1 : 2; }  // Ask's 0, 1, 2
  std::int8_t Pending() const { return pending_; }
  int Highlighted() const { return highlighted_; }
  bool Underlined(int choice) const {
    return choice >= 1 && choice <= 3 && underlined_[choice - 1];
  }
  int Pressed() const { return pressed_; }                 // 0 or the lowered button
  int PressRemainingMs() const { return press_left_ms_; }  // > 0 while an answer shows
  const std::string& Line1() const { return line1_; }
  const std::string& Line2() const { return line2_; }
  const OdpowiLayout& Layout() const { return layout_; }
  int Height() const { return layout_.client_height; }  // 0 until first laid out

 private:
  void CloseNow();
  bool Waiting() const { return pending_ < 0; }

  bool alt_colours_ = false;
  std::string line1_;
  std::string line2_;
  OdpowiOwner owner_;
  std::int8_t pending_ = 3;
  int highlighted_ = kPowrot;
  std::array<bool, 3> underlined_{};
  int pressed_ = 0;
  bool pressed_by_answer_ = false;
  int press_left_ms_ = 0;
  bool visible_ = false;
  OdpowiLayout layout_;
};

// What the asker needs from the toolkit while the dialog is up.
class OdpowiPump {
 public:
  virtual ~OdpowiPump() = default;
  // The owner's client area on the screen and the desktop's left edge.
  virtual OdpowiOwner OwnerArea(DeskWindow* owner) = 0;
  // The dialog's state changed (shown, highlight, pressed look, closed).
  virtual void Redraw(const FOdpowi& dialog) = 0;
  // Processes pending window messages (keys and clicks reach the dialog
  // here), waiting at most max_wait_ms; returns the milliseconds that passed.
  virtual int ProcessMessages(int max_wait_ms) = 0;
};

// The desktop's Asker over the dialog: prepares and shows it, then processes
// messages until it is answered and closed. A question asked while another
// is still open is not shown and gets "Powrót". The dialog, the metrics and
// the pump belong to the caller and outlive the asker.
class OdpowiAsker : public Asker {
 public:
  OdpowiAsker(FOdpowi& dialog, const TextMetrics& metrics, OdpowiPump& pump)
      : dialog_(dialog), metrics_(metrics), pump_(pump) {}
  int Ask(char default_answer, std::string_view first_line, std::string_view second_line,
          DeskWindow* owner) override;
  void PressYes() override;
  void PressBack() override;

 private:
  FOdpowi& dialog_;
  const TextMetrics& metrics_;
  OdpowiPump& pump_;
  bool asking_ = false;
};

}  // namespace zel
