#include "shell/pulpit.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/globals.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "platform/folders.hpp"
#include "platform/paths.hpp"
#include "shell/file_access.hpp"
#include "shell/registry.hpp"
#include "shell/settings.hpp"
#include "shell/settings_keys.hpp"
#include "shell/state.hpp"

namespace zel {

bool AltColours = false;
std::uint32_t NormalColour = kDeskColour;
char UserLetter = ' ';
ResolvedFont WindowFont;
Point16 OpenAt;
Point16 CascadeBase;

void PulpitLinks::zRejZmie() { ReadOptionSettings(DbSettings); }
void PulpitLinks::wRejZmie() { WriteOptionSettings(DbSettings); }

namespace {

// Neutral texts in the places where the desktop shows its maker's lines.
const char* const kBanner = "Zel - księgi rachunkowe";
const char* const kContact = "Zel: program finansowo-księgowy";

std::string Two(int v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", std::clamp(v, 0, 99));
  return buf;
}

std::string WeekdayHint(const DateTime& t) {
  // Zeller-like count from 1 January 1920, a Thursday.
  static const char* const kNames[7] = {"Niedziela", "Poniedziałek", "Wtorek", "Środa",
                                        "Czwartek", "Piątek", "Sobota"};
  int y = t.year, m = t.month, d = t.day;
  if (m < 3) {
    m += 12;
    y -= 1;
  }
  int k = y % 100, j = y / 100;
  int h = (d + 13 * (m + 1) / 5 + k + k / 4 + j / 4 + 5 * j) % 7;  // 0 Saturday
  int sunday_first = (h + 6) % 7;
  return Utf8ToWin(kNames[sunday_first]);
}

}  // namespace

std::string ResolveFontName(std::string_view setting, const std::vector<std::string>& installed) {
  std::string name(setting);
  if (name.size() >= 2 && name[1] == ' ' &&
      std::isalpha(static_cast<unsigned char>(name[0]))) {
    name.erase(0, 2);
  }
  if (name.empty()) return name;
  std::string found = name;
  for (const std::string& family : installed) {
    if (family.find(name) != std::string::npos) found = family;
  }
  return found;
}

int WindowTable::Slot(std::uint8_t kind) {
  if (kind >= 10 && kind <= 120) return 4;
  if (kind >= 121 && kind <= 131) return 5;
  if (kind >= kEntries) return 0;
  return kind;
}

void WindowTable::Reset() {
  for (WindowEntry& e : entries_) e = WindowEntry{};
}

std::string_view PositionName(std::uint8_t kind) {
  switch (kind) {
    case 1: return "LHa";
    case 2: return "FTP";
    case 3: return "Men";
    case 6: return "F45";
    case 7: return "Rap";
    case 8: return "Vie";
    case 133: return "AkKvv";
    case 134: return "UsKvv";
    case 135: return "UsOki";
    case 136: return "UsDru";
    case 138: return "ZmKat";
    case 139: return "ZmBaz";
    case 140: return "ZmHas";
    case 141: return "InDok";
    case 143: return "SzDbf";
    default: return {};
  }
}

bool NeverSaved(std::uint8_t kind) {
  return kind == 0 || kind == 4 || kind == 5 || kind == 121 || kind == 144;
}

FPulpit::FPulpit(PulpitSystem& sys) : sys_(sys), links_(&no_links_) {
  previous_sink_ = SetStatusSink(this);
}

FPulpit::~FPulpit() {
  SetStatusSink(previous_sink_);
  SetRegistryFatal(nullptr);
}

void FPulpit::SetLinks(PulpitLinks* links) { links_ = links ? links : &no_links_; }

void FPulpit::Refresh() {
  if (view_) view_->Refresh();
}

void FPulpit::ProcessMessages() {
  if (view_) view_->ProcessMessages();
}

// ---- creation ----

void FPulpit::FCreat() {
  err_rap_.clear();
  while (err_rap_.size() < 10) err_rap_.push_back("...");
  corner_text_ = Utf8ToWin(kBanner);
  status_ = StatusBarState{};
  status_.panels = 1;
  status_.panel0 = Utf8ToWin(kContact);

  RunMode = 222;
  std::vector<std::string> args = sys_.Arguments();
  int text_w = metrics_ ? metrics_->TextWidth(corner_text_) : static_cast<int>(corner_text_.size()) * 8;
  frame_.SetClientHeight(corner_height_ + status_.height);
  frame_.SetClientWidth(text_w + 14);
  corner_width_ = text_w + 14;
  if (!args.empty() && args[0] == "-o") {
    RunMode = 223;
    frame_.left = -frame_.width;
    frame_.top = 0;
  } else {
    frame_.left = (sys_.ScreenWidth() - frame_.width) / 2;
    frame_.top = (sys_.ScreenHeight() - frame_.height) / 2;
  }
  interval_ = 1000;
  Refresh();
}

// ---- the timer ----

void FPulpit::TiTime() {
  DateTime now = Now();
  corner_hint_ = WeekdayHint(now);
  corner_text_ = Two(now.day) + "-" + Two(now.month) + " " + Two(now.hour) + ":" + Two(now.minute);

  if (interval_ == 1234) RestingTick();

  switch (interval_) {
    case 1000:
      FirstTick();
      break;
    case 100:
      SecondTick();
      break;
    case 12:
      interval_ = 123;
      break;
    case 123:
      if (links_->MenuAcceptsInput()) {
        interval_ = 1234;
        std::string_view letters = "AKFO";
        if (letters.find(UserLetter) != std::string_view::npos ||
            (pending_kind_ >= 1 && pending_kind_ <= 3)) {
          Activate(pending_kind_, pending_mode_);
        } else {
          ShowStatus("Zaloguj się prawidłowo ponownie"_w, kWarning);
        }
      }
      break;
    default:
      break;
  }
  Refresh();
}

void FPulpit::RestingTick() {
  if (status_.height < 22) {
    status_.colour = NormalColour;
    links_->RestStatusPanel(NormalColour);
    status_.panel0_width = sys_.ScreenWidth();
  } else {
    status_.height -= 1;
    Refresh();
    ProcessMessages();
  }
  ReadAdminMessage();
}

void FPulpit::FirstTick() {
  if (!program_name_.empty()) {
    ExeCheck r = CheckExeName(sys_, sys_.ProgramPath(), program_name_);
    if (r == ExeCheck::kRestarted || r == ExeCheck::kHalted) return;
  }
  interval_ = 100;
}

void FPulpit::SecondTick() {
  interval_ = 1234;
  status_.panels = 2;
  status_.bold = true;
  status_.panel0_width = 2000;
  status_.panel0.clear();
  status_.colour = kDeskColour;
  StartDir = Utf8ToWin(ZelFolder());
  table_.Reset();
  close_caption_.clear();
  DateTime now = Now();
  Today = DayFromDdMmYy(Two(now.day) + Two(now.month) + Two(now.year % 100));
  if (!StartupSequence()) return;
  ShowKind(3, 1);
  Register();
}

void FPulpit::Activate(std::uint8_t kind, std::uint8_t mode) {
  DeskWindow* target = nullptr;
  bool none = false;
  if (kind == 0 || kind == 144) {
    none = true;
  } else if (kind == 3) {
    target = windows_[kMen];
  } else if (kind == 6) {
    target = windows_[kLisF45];
  } else if (kind == 8) {
    target = windows_[kViewer];
  } else if (kind >= 121 && kind <= 130) {
    target = windows_[kOknaF3];
  } else if (kind == 131 || kind == 132 || kind >= 145) {
    target = nullptr;
  } else {
    target = windows_[kZestaw];
  }
  if (none) return;
  if (!target) {
    ShowStatus("Funkcja w przygotowaniu"_w, kWarning);
    return;
  }
  activation_.kind = kind;
  activation_.mode = mode;
  activation_.count += 1;
  target->Go(mode);
}

// ---- services ----

void FPulpit::ShowKind(std::uint8_t kind, std::uint8_t mode) {
  pending_kind_ = kind;
  pending_mode_ = mode;
  interval_ = 12;
  Refresh();
}

void FPulpit::RetF3(bool flag) { ShowKind(links_->CurrentOption(), flag ? 3 : 2); }

void FPulpit::RetF45(bool flag) { ShowKind(f45_kind_, flag ? 5 : 4); }

void FPulpit::F45(std::uint8_t return_kind, std::uint8_t value, std::string_view text,
                  int key_code) {
  f45_kind_ = return_kind;
  f45_value_ = value;
  f45_text_ = std::string(text.substr(0, std::min<std::size_t>(text.size(), 250)));
  f45_f5_ = key_code == 116;
  ShowKind(6, 1);
}

void FPulpit::CloseForRestart(std::string_view program) {
  restart_program_ = std::string(program);
  close_confirmation_ = false;
  if (view_) view_->CloseDesktop();
}

void FPulpit::Ending() {
  ShowStatus(Utf8ToWin(kBanner), kSuccess);
  if (Ask('N', "Czy już koniec pracy"_w, windows_[kMen]) == 0) {
    close_confirmation_ = false;
    if (view_) view_->CloseDesktop();
  } else {
    interval_ = 123;
    Refresh();
  }
}

int FPulpit::Ask(char default_answer, std::string_view question, DeskWindow* owner) {
  if (!asker_) return 2;
  std::string first = LastMessage() + ".";
  std::string second = std::string(question) + " ?";
  return asker_->Ask(default_answer, first, second, owner);
}

void FPulpit::Fatal(std::string_view message) { sys_.Fatal(message); }

void FPulpit::RaiseWindow(std::uint8_t kind, DeskWindow& form) {
  WindowFrame& f = form.Frame();
  f.hidden = false;
  f.raised += 1;
  table_[kind].hidden = false;
  Refresh();
}

void FPulpit::HideWindow(std::uint8_t kind, DeskWindow& form, bool back_to_menu) {
  WindowFrame& f = form.Frame();
  int left = std::max(f.left, 8);
  int top = std::max(f.top, 0);
  WindowEntry& e = table_[kind];
  if (left != e.left || top != e.top) {
    if (!NeverSaved(kind)) {
      std::string_view name = PositionName(kind);
      if (!name.empty()) {
        SavePosition(name, left, top);
      } else if (!links_->niLeTopWr(kind, static_cast<std::int16_t>(left),
                                    static_cast<std::int16_t>(top))) {
        ShowStatus("Ukryj nie działa"_w, kWarning);
      }
    }
  }
  e.left = static_cast<std::int16_t>(left);
  e.top = static_cast<std::int16_t>(top);
  e.hidden = true;
  if (form.IsChild()) {
    f.height = 0;
  } else {
    f.hidden = true;
  }
  if (back_to_menu) ShowKind(3, 2);
  Refresh();
}

void FPulpit::LoadPosition(std::string_view name, int default_left, int default_top) {
  int c = 15 - 5 * sys_.Random(7);
  NextLeft = static_cast<std::int16_t>(CascadeBase.left + c);
  NextTop = static_cast<std::int16_t>(CascadeBase.top - c);
  if (default_top > 0) {
    NextLeft = static_cast<std::int16_t>(default_left);
    NextTop = static_cast<std::int16_t>(default_top);
  }
  std::string key(name.substr(0, std::min<std::size_t>(name.size(), 6)));
  key += "LT";
  ReadSetting(false, key);
  if (SettingNumber(2) > 0) {
    NextLeft = SettingNumber(1);
    NextTop = SettingNumber(2);
  }
}

void FPulpit::SavePosition(std::string_view name, int left, int top) {
  WriteSetting(false, std::string(name) + "LT", IntTextOrEmpty(left) + ";" + IntTextOrEmpty(top));
}

void FPulpit::SaveSize(std::string_view name, int width, int height) {
  WriteSetting(false, std::string(name) + "WH",
               IntTextOrEmpty(width) + ";" + IntTextOrEmpty(height));
}

int FPulpit::ClampLeft(int left, int width) const {
  left = std::min(left, ClientWidth() - width - 4);
  return std::max(left, 3);
}

int FPulpit::ClampTop(int top, int height) const {
  top = std::min(top, ClientHeight() - height - status_.height - 4);
  return std::max(top, -1);
}

std::string FPulpit::VersionText() {
  int major = 0, minor = 0;
  sys_.FileVersion(&major, &minor);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%d.%02d", major + minor / 100, minor % 100);
  std::string text = buf;
  if (text != kBuiltInVersion) text += " / " + std::string(kBuiltInVersion);
  if (text.size() > 25) text.resize(25);
  return text;
}

void FPulpit::SetStatusPanelText(std::string_view text) {
  status_.panel0 = std::string(text);
  Refresh();
}

// ---- the status bar ----

void FPulpit::Show(std::string_view text, std::uint8_t colour) {
  status_.panel0 = Concat({" ", text});
  status_.colour = kStatusColours[colour <= 2 ? colour : 0];
  status_.height = 25;
  if (panel_sink_) panel_sink_->Show(text, colour);
  Refresh();
  ProcessMessages();
}

void FPulpit::Clear() {
  status_.panel0.clear();
  status_.height = 21;
  status_.colour = NormalColour;
  if (panel_sink_) panel_sink_->Clear();
  Refresh();
  ProcessMessages();
}

// ---- closing ----

bool FPulpit::FCloQu() {
  if (close_confirmation_) {
    Ending();
    return false;
  }
  if (links_->WrkZestaw()) {
    if (windows_[kZestaw]) {
      windows_[kZestaw]->Frame().raised += 1;
      Refresh();
    }
    return false;
  }
  WriteSettingsBack();
  SavePosition("Pulpit", frame_.left, frame_.top);
  SaveSize("Pulpit", frame_.width, frame_.height);
  static constexpr Slot kByKind[6] = {kMen, kZestaw, kOknaF3, kLisF45, kRaport, kViewer};
  for (std::uint8_t kind = 3; kind <= 8; ++kind) {
    DeskWindow* w = windows_[kByKind[kind - 3]];
    if (w && !table_[kind].hidden) HideWindow(kind, *w, false);
  }
  return true;
}

void FPulpit::WriteSettingsBack() {
  WriteFonts(StationSettings);
  AdjustBookYear();
  WriteFirmSettings(DbSettings);
  links_->wRejZmie();
}

// ---- mouse ----

void FPulpit::DragPress(int screen_x, int screen_y) {
  dragging_ = true;
  drag_x_ = screen_x;
  drag_y_ = screen_y;
}

void FPulpit::DragMove(int screen_x, int screen_y) {
  if (!dragging_) return;
  frame_.left += screen_x - drag_x_;
  frame_.top += screen_y - drag_y_;
  drag_x_ = screen_x;
  drag_y_ = screen_y;
  Refresh();
}

void FPulpit::DragRelease() { dragging_ = false; }

void FPulpit::StatusBarDoubleClick() {
  if (windows_[kMen]) windows_[kMen]->Go(1);
}

void FPulpit::WaitPanelClick() {
  // The waiting panel is dismissed; the desktop itself stays on screen.
  wait_panel_shown_ = false;
  Refresh();
}

void FPulpit::CornerDoubleClick() {
  chooser_open_ = true;
  Refresh();
}

void FPulpit::Resized(int width, int height, bool maximised) {
  frame_.width = width;
  frame_.height = height;
  maximised_ = maximised;
  Refresh();
}

}  // namespace zel
