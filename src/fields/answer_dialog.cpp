#include "fields/answer_dialog.hpp"

#include <algorithm>

#include "common/cp1250.hpp"
#include "shell/status.hpp"

namespace zel {
namespace {

constexpr int kMargin = 9;

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsChoice(int choice) {
  return choice >= FOdpowi::kTak && choice <= FOdpowi::kPowrot;
}

}  // namespace

const std::string& FOdpowi::HintText() {
  static const std::string text = "[enter] = TAK   [esc] = WRÓĆ"_w;
  return text;
}

const std::string& FOdpowi::Caption(int choice) {
  static const std::array<std::string, 4> captions = {"", "    Tak    ", "    Nie    ",
                                                      " Powrót "_w};
  return captions[IsChoice(choice) ? choice : 0];
}

void FOdpowi::FoCreat(bool alt_colours) {
  alt_colours_ = alt_colours;
  layout_ = OdpowiLayout{};
}

void FOdpowi::Prepare(char default_answer, std::string_view question, const OdpowiOwner& owner) {
  PrepareLines(default_answer, LastMessage() + ".", std::string(question) + " ?", owner);
}

void FOdpowi::PrepareLines(char default_answer, std::string_view first_line,
                           std::string_view second_line, const OdpowiOwner& owner) {
  line1_ = first_line;
  line2_ = second_line;
  owner_ = owner;
  pending_ = default_answer == 'T' ? -1 : -2;
  pressed_ = 0;
  pressed_by_answer_ = false;
  press_left_ms_ = 0;
}

void FOdpowi::Show(const TextMetrics& metrics) {
  visible_ = true;
  FoActiv(metrics);
}

void FOdpowi::FoActiv(const TextMetrics& metrics) {
  const int h = metrics.TextHeight("gŃ"_w);
  const int w = metrics.TextWidth(Caption(kPowrot));
  const int l1_width = metrics.TextWidth(line1_);
  const int l2_width = metrics.TextWidth(line2_);

  const int e = std::max({3 * w + 5 * h, l1_width, l2_width}) + 2 * h;
  const int g = (e - 4 * h) / 3;
  const int i = e + 2;

  OdpowiLayout& l = layout_;
  l.pa = {2, 2, i + 2 * kMargin, 7 * h + 2 * kMargin};
  l.client_width = l.pa.width + 4;
  l.client_height = l.pa.height + 4;
  l.pz = {kMargin, kMargin, i, 7 * h};
  l.l1 = {(i - l1_width) / 2, h, l1_width, metrics.TextHeight(line1_)};
  l.l2 = {(i - l2_width) / 2, 5 * h / 2, l2_width, metrics.TextHeight(line2_)};
  const int button_top = 9 * h / 2;
  const int button_height = 3 * h / 2;
  l.tak = {h, button_top, g, button_height};
  l.nie = {2 * h + g, button_top, g, button_height};
  const int esc_left = 3 * h + 2 * g;
  l.esc = {esc_left, button_top, i - esc_left - h, button_height};

  // Centred over the owner; never left of the desktop.
  l.left = owner_.client.left + owner_.client.width / 2 - l.client_width / 2;
  if (l.left < owner_.desktop_left) l.left = owner_.desktop_left + 13;
  l.top = owner_.client.top + owner_.client.height / 2 - l.client_height / 2;

  if (Waiting()) highlighted_ = -pending_;
  highlight(highlighted_);
}

void FOdpowi::highlight(int choice) {
  highlighted_ = choice;
  underlined_.fill(false);
  if (IsChoice(choice)) underlined_[choice - 1] = true;
}

void FOdpowi::answer(int choice) {
  if (!IsChoice(choice) || !Waiting()) return;
  highlight(choice);
  pending_ = static_cast<std::int8_t>(choice);
  pressed_ = choice;
  pressed_by_answer_ = true;
  press_left_ms_ = kPressMs;
}

void FOdpowi::step(int choice) {
  if (choice == 0) choice = kPowrot;
  if (choice == 4) choice = kTak;
  highlight(choice);
}

bool FOdpowi::Key(const DialogKey& key) {
  if (!visible_) return false;
  // Between the answer and the close the dialog takes keys but does nothing.
  if (!Waiting()) return true;

  int code = key.code;
  if (key.text == '\r') code = kAnswerKeyReturn;
  if (key.text == 27) code = kAnswerKeyEscape;
  if (key.text == '\t') code = key.shift ? kAnswerKeyBacktab : kAnswerKeyTab;

  switch (code) {
    case kAnswerKeyReturn:
    case kAnswerKeyEnter:
      answer(highlighted_);
      return true;
    case kAnswerKeyEscape:
      answer(kPowrot);
      return true;
    case kAnswerKeyRight:
    case kAnswerKeyDown:
      // The focus moves from Esc onto Tak, whose entry steps forward.
      step(highlighted_ + 1);
      return true;
    case kAnswerKeyLeft:
    case kAnswerKeyUp:
      // Backwards from Esc lands on Nie, whose entry steps back.
      step(highlighted_ - 1);
      return true;
    case kAnswerKeyTab:
    case kAnswerKeyBacktab:
      if (highlighted_ == kTak || highlighted_ == kNie) answer(3 - highlighted_);
      return true;
    default:
      break;
  }

  if (key.text == 0) return false;
  switch (Upper(key.text)) {
    case '4':
    case '7':
      highlight(kTak);
      break;
    case '1':
    case '6':
      highlight(kNie);
      break;
    case 'A':
    case 'D':
    case 'J':
    case 'O':
    case 'S':
    case 'T':
    case 'Y':
      answer(kTak);
      break;
    case 'N':
      answer(kNie);
      break;
    default:
      break;  // swallowed
  }
  return true;
}

void FOdpowi::MouseDown(int choice) {
  if (visible_ && Waiting() && IsChoice(choice)) pressed_ = choice;
}

void FOdpowi::MouseUp() {
  if (!pressed_by_answer_) pressed_ = 0;
}

void FOdpowi::Click(int choice) {
  if (visible_) answer(choice);
}

void FOdpowi::PressYes() {
  Click(kTak);
}

void FOdpowi::PressBack() {
  Click(kPowrot);
}

void FOdpowi::Advance(int elapsed_ms) {
  if (press_left_ms_ <= 0 || elapsed_ms <= 0) return;
  press_left_ms_ -= std::min(elapsed_ms, press_left_ms_);
  if (press_left_ms_ == 0) CloseNow();
}

void FOdpowi::FormClose() {
  if (pending_ <= 0) pending_ = kPowrot;
  CloseNow();
}

void FOdpowi::CloseNow() {
  pressed_ = 0;
  pressed_by_answer_ = false;
  press_left_ms_ = 0;
  visible_ = false;
}

int OdpowiAsker::Ask(char default_answer, std::string_view first_line, std::string_view second_line,
                     DeskWindow* owner) {
  if (asking_) return 2;
  asking_ = true;
  dialog_.PrepareLines(default_answer, first_line, second_line, pump_.OwnerArea(owner));
  dialog_.Show(metrics_);
  pump_.Redraw(dialog_);
  // Idle waits are short so that the desktop's timer keeps its pace.
  constexpr int kIdleWaitMs = 50;
  while (!dialog_.Done()) {
    const int pressed_left = dialog_.PressRemainingMs();
    const int elapsed = pump_.ProcessMessages(pressed_left > 0 ? pressed_left : kIdleWaitMs);
    // At least a millisecond a round, so that the pressed look always ends.
    dialog_.Advance(std::max(elapsed, 1));
    pump_.Redraw(dialog_);
  }
  asking_ = false;
  return dialog_.Result();
}

void OdpowiAsker::PressYes() {
  dialog_.PressYes();
  pump_.Redraw(dialog_);
}

void OdpowiAsker::PressBack() {
  dialog_.PressBack();
  pump_.Redraw(dialog_);
}

}  // namespace zel
