#include "menu/fmen.hpp"

#include <algorithm>

#include "common/cp1250.hpp"
#include "common/numbers.hpp"
#include "menu/current_option.hpp"
#include "shell/file_access.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"

namespace zel {

namespace {

constexpr std::string_view kOwner = "baaMenu";
// Neutral texts where the window shows its maker's lines.
constexpr const char* kMakerLine = "Zel - menu główne";
constexpr const char* kSupportLine = "pomoc: README programu Zel";
constexpr const char* kSupportMail = "zgłoszenia: u administratora";

struct ButtonSpec {
  int key;
  const char* base;
  char gap;  // 'T', 'S' or 0
  int column;
};

constexpr ButtonSpec kButtons[] = {
    {0, "Wyjdź  Esc", 'T', 1},   {1, "Okienka ", 'S', 1}, {2, "Drukarka", 'S', 1},
    {4, "Katalog ", 'S', 1},     {5, "PlanKont", 'T', 1}, {6, " Hasło ", 'T', 2},
    {7, "Ins.dok", 'S', 2},      {8, "2 start", 'S', 2},  {9, "Ust.Zel", 'T', 2},
    {10, "Akt.Zel", 'S', 2},     {11, "- - - -", 0, 2},
};

// The caption of a list line without its space, letter and dash.
std::string LineCaption(const std::string& line) {
  if (line.size() <= 5) return {};
  return line.substr(5, 40);
}

}  // namespace

FMen::FMen(FPulpit& desk, baaMenu& hooks, DeskMetrics& metrics)
    : desk_(desk), hooks_(hooks), metrics_(metrics) {
  // Created collapsed; Jo gives the window its size.
  frame_.height = 0;
  last_item_.fill(1);
  hooks_.Attach(this);
}

FMen::~FMen() { hooks_.Attach(nullptr); }

std::uint8_t FMen::LastItem(char group) const {
  int i = group - 'A';
  return i >= 0 && i < 16 ? last_item_[i] : 0;
}

void FMen::EnableList(bool on) { enabled_ = on; }

// ---- Bo, Jo, Go ----

void FMen::Bo() {
  if (!created_) {
    buttons_.clear();
    for (const ButtonSpec& def : kButtons) {
      MenuButton b;
      b.key = def.key;
      b.base = Utf8ToWin(def.base);
      b.gap = def.gap;
      b.column = def.column;
      buttons_.push_back(b);
    }
    created_ = true;
  }
  colours_ = MenuColours{};
  caption_ = Utf8ToWin(kMakerLine);
  if (AltColours) {
    colours_.window = 0xF1F2F7;
    colours_.lists = 0x447CCF;
    colours_.list_text = 0xE6FFFF;
  }
}

void FMen::Jo() {
  if (!created_) Bo();
  int L = AltColours ? 0 : 7;
  int T = AltColours ? 0 : 5;
  int G = AltColours ? 0 : 5;
  int S = AltColours ? 0 : 3;
  margin_left_ = L;
  margin_top_ = T;

  // The registry summary of the workstation belongs to the registration of
  // workstations; a start without it has nothing to show here.

  int h = metrics_.TextHeight("Ży"_w);
  line_height_ = AltColours ? h + 13 : h * 5 / 4;

  main_.lines.clear();
  sub_.lines.clear();
  sub_.visible = false;
  int W = 0;
  hooks_.MainMenu(kOwner, W);
  W += 7;

  if (OptionKey.empty()) OptionKey = "A";
  main_.selected = std::clamp(OptionKey[0] - 64, 0, std::max(0, static_cast<int>(main_.lines.size()) - 1));

  main_.left = L;
  main_.width = W;
  sub_.left = L + W + G;
  sub_.width = W;
  frame_.SetClientWidth(2 * L + 2 * W + G);

  int list_height = static_cast<int>(main_.lines.size()) * line_height_ + 4;
  main_.height = sub_.height = list_height;
  main_.top = sub_.top = T;
  frame_.SetClientHeight(2 * T + list_height);

  // The function-key buttons in the sub-list's place, two columns.
  int left = sub_.left + L;
  int top = T;
  int widest = 0;
  int button_height = metrics_.TextHeight("gŃ"_w) + 4;
  bool second_column = false;
  for (MenuButton& b : buttons_) {
    if (b.column == 2 && !second_column) {
      left += widest + L;
      top = T;
      second_column = true;
    }
    b.caption = b.key == 0 ? b.base : b.base + " F" + std::to_string(b.key);
    if (b.caption.size() > 15) b.caption.resize(15);
    b.left = left;
    b.top = top;
    b.height = button_height;
    b.width = metrics_.TextWidth(b.caption) + 12;
    b.lowered = false;
    widest = std::max(widest, b.width);
    int gap = b.gap == 'T' ? T : b.gap == 'S' ? S : 0;
    top += b.height + gap;
  }
  for (MenuButton& b : buttons_) b.width = widest;

  memo_.top = top + T / 2;
  memo_.left = sub_.left + L;
  memo_.width = 2 * widest + L;
  memo_.height = std::max(0, T + list_height - memo_.top);
  memo_.font_size = std::max(1, WindowFont.size - 3);
  CascadeBase.left = static_cast<std::int16_t>(memo_.left + frame_.left);
  CascadeBase.top = static_cast<std::int16_t>(memo_.top + frame_.top + 20);

  std::string version = "Zel " + desk_.VersionText() + "     Pomoc techniczna:";
  if (version.size() > 51) version.resize(51);
  memo_.lines = {"",
                 version,
                 "",
                 Utf8ToWin(kSupportLine),
                 "",
                 Utf8ToWin(kSupportMail),
                 "",
                 "W opcjach:  F3 dodatkowe okno",
                 "F4  lista wyboru ",
                 "F5 szukaj,wybierz",
                 "",
                 ""};

  last_item_.fill(1);
  focus_ = Focus::kMain;
}

void FMen::Go(std::uint8_t /*mode*/) {
  if (RunMode == 223) {
    OptionIndex = 2;
    desk_.ShowKind(2, 1);
    return;
  }
  if (RunMode == 222) {
    desk_.NextLeft = 8;
    desk_.NextTop = 2;
  } else {
    desk_.LoadPosition("aaMenu", 8, 2);
  }
  frame_.left = desk_.NextLeft;
  frame_.top = desk_.NextTop;
  if (frame_.left == 0) {
    frame_.left = CascadeBase.left;
    frame_.top = CascadeBase.top;
  }
  desk_.RaiseWindow(3, *this);
  mMeEntr();
  hooks_.InnaOpcM(kOwner);
  if (RunMode == 222 && FileExists("!\\Login.txt")) RunMode = kRunModeLoggingIn;
  if (RunMode == kRunModeLoggingIn) OpenOption("", 1, "LogHas", "logowanie -");
  ClampToDesk();
}

void FMen::ClampToDesk() {
  frame_.left = desk_.ClampLeft(frame_.left, frame_.width);
  if (!main_.lines.empty()) frame_.top = desk_.ClampTop(frame_.top, frame_.height);
}

void FMen::MeActiv() {
  if (RunMode == 223) {
    OptionIndex = 2;
    desk_.ShowKind(2, 1);
    return;
  }
  if (RunMode == 222) {
    desk_.NextLeft = 7;
    desk_.NextTop = 0;
  } else {
    desk_.LoadPosition("aaMenu", 7, 1);
  }
  if (!desk_.RegistrationDone()) return;
  // Bringing the menu forward collapses the option windows and records
  // where they stood.
  static constexpr std::pair<std::uint8_t, FPulpit::Slot> kCollapse[] = {
      {4, FPulpit::kZestaw}, {5, FPulpit::kOknaF3}, {6, FPulpit::kLisF45}};
  for (const auto& [kind, slot] : kCollapse) {
    if (DeskWindow* w = desk_.Window(slot)) desk_.HideWindow(kind, *w, false);
  }
  ClampToDesk();
}

// ---- the hooks' view of the lists ----

void FMen::AddMainLine(std::string_view line) { main_.lines.emplace_back(line); }

int FMen::LineWidth(std::string_view text) const { return metrics_.TextWidth(text); }

void FMen::SetOpenAtMainLine(char letter) {
  int top = main_.top + frame_.top + frame_.height - frame_.ClientHeight();
  if (letter >= 'A' && letter <= 'Z') top += (letter - 63) * line_height_;
  OpenAt.left = static_cast<std::int16_t>(main_.left + frame_.left);
  OpenAt.top = static_cast<std::int16_t>(top);
}

void FMen::ShowSubList(const std::vector<std::string>& lines) {
  sub_.lines = lines;
  sub_.visible = true;
  focus_ = Focus::kSub;
  int remembered = LastItem(CurrentGroup);
  sub_.selected = std::clamp(remembered, 0, std::max(0, static_cast<int>(lines.size()) - 1));
  if (AltColours) frame_.SetClientWidth(2 * main_.width);
}

// ---- focus and keys ----

void FMen::mMeEntr() {
  sub_.visible = false;
  focus_ = Focus::kMain;
  if (AltColours) frame_.SetClientWidth(main_.width);
}

void FMen::TheEndE() {
  focus_ = Focus::kTheEnd;
  desk_.Ending();
  if (focus_ == Focus::kTheEnd) mMeEntr();
}

void FMen::TabKey(bool shift) {
  // Tab order: main list 0, TheEnd 1, sub-list 2 (hidden with the main list
  // focused, so Tab either way from the main list lands on TheEnd).
  if (focus_ == Focus::kSub && !shift) {
    mMeEntr();
  } else {
    TheEndE();
  }
}

void FMen::Navigate(MenuList& list, char c) {
  int last = static_cast<int>(list.lines.size()) - 1;
  if (last < 0) return;
  switch (c) {
    case '1':
    case '3':
      list.selected = last;
      break;
    case '7':
    case '9':
      list.selected = std::min(1, last);
      break;
    case '2':
      if (list.selected < last) list.selected += 1;
      break;
    case '8':
      if (list.selected > 0) list.selected -= 1;
      break;
    default:
      break;
  }
}

void FMen::mMeKeyP(char c) {
  if (!enabled_) return;
  unsigned char u = static_cast<unsigned char>(c);
  if (u >= 'a' && u <= 'z') c = static_cast<char>(u - 32);
  int last = static_cast<int>(main_.lines.size()) - 1;
  if (c == 27) {
    desk_.Ending();
  } else if (c == 13) {
    ChooseMain();
  } else if (c >= 'A' && c <= 'Z') {
    int n = c - 64;
    if (n > last) {
      ShowStatus("Taa...", kWarning);
    } else {
      main_.selected = n;
      ChooseMain();
    }
  } else {
    Navigate(main_, c);
  }
}

void FMen::sMeKeyP(char c) {
  if (!enabled_) return;
  unsigned char u = static_cast<unsigned char>(c);
  if (u >= 'a' && u <= 'z') c = static_cast<char>(u - 32);
  int last = static_cast<int>(sub_.lines.size()) - 1;
  if (c == 27) {
    mMeEntr();
  } else if (c == 13) {
    ChooseSub();
  } else if (c >= 'A' && c <= 'O') {
    int n = c - 64;
    if (n <= last) {
      sub_.selected = n;
      ChooseSub();
    }
  } else if (c >= 'P' && c <= 'Z') {
    // Beyond the sub-lists' letters: nothing.
  } else {
    Navigate(sub_, c);
  }
}

bool FMen::mMeFxDn(int function_key) {
  if (function_key < 1 || function_key > 11) return false;
  FunctionKey(function_key);
  return true;
}

void FMen::SelectMain(int line) {
  if (line >= 0 && line < static_cast<int>(main_.lines.size())) main_.selected = line;
}

void FMen::SelectSub(int line) {
  if (line >= 0 && line < static_cast<int>(sub_.lines.size())) sub_.selected = line;
}

// ---- choosing ----

void FMen::ChooseMain() {
  if (main_.lines.empty()) return;
  OptionCaption = LineCaption(main_.lines[main_.selected]);
  hooks_.CallNext(kOwner, static_cast<char>(main_.selected + 64));
}

void FMen::ChooseSub() {
  if (sub_.lines.empty()) return;
  int i = sub_.selected;
  char group = CurrentGroup;
  if (group >= 'A' && group <= 'P') last_item_[group - 'A'] = static_cast<std::uint8_t>(i);
  char item = static_cast<char>(i + 64);
  char key[2] = {group, item};
  OptionKey = std::string_view(key, 2);
  int top = sub_.top + frame_.top + frame_.height - frame_.ClientHeight() - 1;
  if (item >= 'A' && item <= 'Z') top += (i + 1) * line_height_;
  OpenAt.left = static_cast<std::int16_t>(sub_.left + frame_.left);
  OpenAt.top = static_cast<std::int16_t>(top);
  OptionCaption = LineCaption(sub_.lines[i]);
  if (i == 0) {
    mMeEntr();
  } else {
    hooks_.CallLast(kOwner, group, item);
  }
}

void FMen::FunctionKey(int n) {
  if (!desk_.RegistrationDone()) return;
  for (const MenuButton& b : buttons_) {
    if (b.key != n) continue;
    OpenAt.left = static_cast<std::int16_t>(b.left + frame_.left);
    OpenAt.top = static_cast<std::int16_t>(b.top + b.height - 3 + frame_.top + frame_.height -
                                           frame_.ClientHeight());
  }
  OpenFunctionKey(n);
}

// ---- mouse ----

int FMen::ButtonAt(int x, int y) const {
  if (sub_.visible) return kNoButton;
  for (const MenuButton& b : buttons_) {
    if (x >= b.left && x < b.left + b.width && y >= b.top && y < b.top + b.height) return b.key;
  }
  return kNoButton;
}

void FMen::MenMoDn(int x, int y) {
  desk_.SetStatusPanelText("X=" + IntTextOrZero(x) + " Y=" + IntTextOrZero(y) + " klik");
  pressed_ = ButtonAt(x, y);
  for (MenuButton& b : buttons_) b.lowered = b.key == pressed_;
}

void FMen::MenKlik(int x, int y) {
  if (pressed_ == kNoButton) {
    desk_.SetStatusPanelText("X=" + IntTextOrZero(x) + " Y=" + IntTextOrZero(y));
    pressed_ = ButtonAt(x, y);
  } else {
    for (MenuButton& b : buttons_) b.lowered = false;
  }
  int button = pressed_;
  pressed_ = kNoButton;
  if (button == 0) {
    desk_.Ending();
  } else if (button >= 1 && button <= 11) {
    FunctionKey(button);
  }
}

}  // namespace zel
