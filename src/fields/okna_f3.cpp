// FOknaF3: building, opening and closing the F3 window, its keys, Go with
// the save, and what it answers to the shared slot engine.
#include "fields/okna_f3.hpp"

#include <algorithm>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/pltext.hpp"
#include "fields/zestaw.hpp"
#include "fields/zestaw_rules.hpp"
#include "menu/desktop_services.hpp"
#include "menu/hooks.hpp"
#include "shell/file_access.hpp"
#include "shell/pulpit.hpp"

namespace zel {

namespace {
const std::string kPressEnter = "Naciśnij [Enter]"_w;
}  // namespace

void OknaF3Host::Closed(std::uint8_t kind) { Desktop().RetF3(kind == 3); }

void OknaF3Host::OpenList(std::uint8_t code, std::uint8_t kind, std::string_view typed, bool f5) {
  Desktop().F45(code, kind, typed, f5 ? kKeyF5 : kKeyF4);
}

bool OknaF3Host::FieldDeveloperMarker() {
  return DeveloperMode() && FileExists(kZestawDeveloperMarker);
}

std::string_view F3PositionKey(std::uint8_t code) {
  switch (code) {
    case 122: return "DePla";
    case 123: return "DeWal";
    case 124: return "DeVat";
    case 125: return "KonWy";
    case 126: return "DowWy";
    case 127: return "VPoda";
    case 128: return "VPrzy";
    case 129: return "VKosz";
    case 130: return "VSygn";
    default: return "F3";
  }
}

FOknaF3::FOknaF3(bOknaF3& module, const TextMetrics& metrics, OknaF3Host* host)
    : SlotWindow(metrics), module_(module), host_(host ? host : &default_host_) {
  fields_.SetCompact(true);
  module_.Attach(this, &fields_);
}

void FOknaF3::Bo() {
  state_ = kZesBusy;
  frame_.height = 0;
  current_ = 0;
  editor_.visible = false;
}

// ---- building ----

void FOknaF3::Jo() {
  StartBuild();
  current_ = 0;
  target_ = 0;
  editor_.visible = false;
  fbutton_.visible = false;
  panel_right_.fill(false);
  if (!module_.nMaOkna(kOwner, fields_) || !fields_.Begun()) {
    fields_.Begin(kGoSave, "", "F3 tu nie pracuje");
  }
  go_caption_ = "Zatwierdzam";
  initial_ = std::max<int>(fields_.InitialSlot(), 1);
  Layout();
  state_ = kZesIdle;
}

void FOknaF3::Layout() {
  AlignLines();
  SizeArea();
  ZestawLayout d = DrawingBase();
  FinishDrawing(d, 0);
  drawing_ = std::move(d);
}

// ---- opening and closing ----

void FOknaF3::Open(std::uint8_t code) {
  code_ = code;
  Go(1);
}

void FOknaF3::Go(std::uint8_t kind) {
  if (kind == 1) {
    std::uint8_t asked = host_->RequestedCode();
    if (asked != 0) code_ = asked;
  }
  frame_.raised++;
  bool rebuilt = false;
  if (kind == 1 || current_ == 0 || frame_.height == 0) {
    Jo();
    rebuilt = true;
  }
  // The remembered position of the window code, else just below the field
  // that opened it; always inside the desktop.
  Point16 p = OpenAt;
  std::int16_t left = 0;
  std::int16_t top = 0;
  if (module_.nLeToRd(kOwner, left, top)) p = Point16{left, top};
  const int dw = host_->DesktopWidth();
  const int dh = host_->DesktopHeight();
  frame_.left = std::max(3, std::min<int>(p.left, dw - frame_.width - 4));
  frame_.top = std::max(-1, std::min<int>(p.top, dh - frame_.height - 4));
  pst_text_ = " " + result_text_;
  pst_colour_ = kInfo;

  if (kind < 2) module_.Zm2uni(kOwner);
  for (int s = 1; s <= fields_.SlotCount(); ++s) {
    const FieldSlot& fs = fields_.Slot(s);
    if (fs.panel_width > 0) module_.Zm2poA(kOwner, s);
  }

  if (rebuilt) {
    current_ = 0;
    move_reason_ = kMoveRun;
    opening_ = true;
    MoveTo(initial_, +1);
    opening_ = false;
    return;
  }
  if (kind == 4) {
    // The value chosen in the list is committed as if typed.
    editor_.text = return_text_;
    state_ = kZesWaiting;
    MoveTo(current_, +1);
    return;
  }
  std::string keep = editor_.text;
  PlaceEditor(current_);
  if (kind == 5) editor_.text = keep;
  SelectAll();
  state_ = kZesWaiting;
}

void FOknaF3::Close() {
  host_->WritePosition(F3PositionKey(code_), Point16{static_cast<std::int16_t>(frame_.left),
                                                     static_cast<std::int16_t>(frame_.top)});
  frame_.height = 0;
  editor_.visible = false;
  fbutton_.visible = false;
  state_ = kZesIdle;
  return_kind_ = move_reason_ == kMoveRun ? 3 : 2;
  host_->Closed(return_kind_);
}

void FOknaF3::ClickEsc() {
  if (frame_.height == 0) return;
  Close();
}

void FOknaF3::RightClickEsc() {
  frame_.top = 0;
  ClickEsc();
}

void FOknaF3::ClickGo() {
  if (frame_.height == 0 || state_ == kZesRunning) return;
  if (go_caption_ == kPressEnter) {
    ClickEsc();
    return;
  }
  move_reason_ = kMoveRun;
  if (current_ > 0) {
    MoveTo(current_, +1);
    if (last_commit_corrected_) {
      // The corrected value waits for the user; the move reason stays that
      // of Go, so that Esc now returns as if nothing was entered.
      move_reason_ = kMoveRun;
      return;
    }
  }
  // What the save says replaces the hints of the completion.
  Clear();
  const int in_error = module_.niZapis(kOwner);
  if (in_error != 0) {
    // The record was not saved: the window stays, on the field in error.
    int target = 0;
    for (int s = fields_.SlotCount(); s >= 1; --s) {
      if (fields_.Slot(s).number == in_error) {
        target = s;
        break;
      }
    }
    const std::string message = pst_text_;
    const std::uint8_t colour = pst_colour_;
    MoveTo(target > 0 ? target : 1, +1);
    pst_text_ = message;
    pst_colour_ = colour;
    move_reason_ = kMoveRun;
    return;
  }
  if (code_ < 121 || code_ > 131) {
    MoveTo(fields_.SlotCount(), -1);
    return;
  }
  move_reason_ = kMoveEnter;
  Close();
}

// ---- keys ----

void FOknaF3::PressKey(std::uint16_t key) {
  if (key == kKeyEsc) {
    ClickEsc();
    return;
  }
  if (state_ == kZesBusy || state_ == kZesRunning || state_ == kZesAbort) return;
  switch (key) {
    case kKeyEnter: EnterKey(); break;
    case kKeyTab: TabKey(); break;
    case kKeyUp: UpDown(true); break;
    case kKeyDown: UpDown(false); break;
    case kKeyPageUp: PageUp(); break;
    case kKeyPageDown: PageDown(); break;
    case kKeyF4:
    case kKeyF5:
      if (current_ > 0 && !module_.F45Key(kOwner, current_, key)) Status("???", kWarning);
      break;
    case kKeyF6:
    case kKeyF7:
    case kKeyPadPlus: TemplateKey(); break;
    default: break;  // F3 does not open another window from here
  }
}

bool FOknaF3::AllowRoll(bool up) {
  return module_.nRolEdi(kOwner, current_, up ? kKeyUp : kKeyDown);
}

void FOknaF3::PageUp() {
  if (current_ == 0 || !module_.nRolEdi(kOwner, current_, kKeyPageUp)) return;
  MoveTo(1, -1);
}

void FOknaF3::PageDown() {
  if (current_ == 0 || !module_.nRolEdi(kOwner, current_, kKeyPageDown)) return;
  ClickGo();
}

int FOknaF3::EnterDecision() { return module_.eStNeGo(kOwner, current_); }

void FOknaF3::OpenList(std::uint8_t kind, std::string_view pattern, bool f5) {
  last_list_kind_ = kind;
  last_list_pattern_ = std::string(pattern);
  OpenAt.left = static_cast<std::int16_t>(frame_.left + editor_.left);
  OpenAt.top = static_cast<std::int16_t>(frame_.top + editor_.top + editor_.height);
  state_ = kZesRunning;  // the list is open until it answers through Go
  host_->OpenList(code_, kind, editor_.text, f5);
}

// ---- values ----

void FOknaF3::PutValue(int slot, std::string_view raw) {
  if (slot < 1 || slot > fields_.SlotCount()) return;
  FieldSlot& fs = fields_.Slot(slot);
  fs.value = raw;
  PanelLook look = PanelFor(raw);
  fs.panel = look.text;
  panel_right_[static_cast<std::size_t>(slot)] = look.right;
}

std::string FOknaF3::Complete(int slot, const std::string& value) {
  module_.uzEdit(kOwner, slot, value_under_edit_);
  if (value_under_edit_.size() > static_cast<std::size_t>(kSlotValueCapacity)) {
    value_under_edit_.resize(static_cast<std::size_t>(kSlotValueCapacity));
  }
  (void)value;
  return value_under_edit_;
}

void FOknaF3::StoreCommitted(int slot, const std::string& value, bool backwards) {
  PutValue(slot, value);
  module_.ed2zmi(kOwner, slot, backwards);
}

void FOknaF3::ApplyTypingFilters() {
  if (current_ == 0) return;
  const int n = fields_.Slot(current_).number;
  std::string& t = editor_.text;
  int caret = editor_.caret;
  if (!t.empty() && t[0] == ' ') {
    t.erase(0, 1);
    caret = std::max(0, caret - 1);
  }
  if (module_.zNaDuze(kOwner, current_)) {
    t = UpperPl(t);
  } else if (n != 0 && n != 11 && n != 12 && n != 85) {
    module_.nEdChan(kOwner, current_, t);
  }
  if (editor_.max_length > 0 && static_cast<int>(t.size()) > editor_.max_length) {
    t.resize(static_cast<std::size_t>(editor_.max_length));
  }
  editor_.caret = std::clamp(caret, 0, static_cast<int>(t.size()));
  editor_.sel_start = editor_.caret;
  editor_.sel_length = 0;
}

void FOknaF3::PlaceEditor(int slot) {
  PlaceEditorFrame(slot);
  editor_.password = false;
  editor_.visible = true;
  editor_.text = fields_.Slot(slot).value.str();
  PlaceFButton(slot);
  fbutton_.aqua = false;
  FinishEditor(module_.ewAutE(kOwner, slot), module_.inWzor(kOwner, slot));
}

bool FOknaF3::HoldAfterCommit(int& target, int direction) {
  (void)direction;
  if (opening_ || current_ == 0 || target == current_) return false;
  return !module_.nTyRuch(kOwner, current_);
}

void FOknaF3::EnteredSlot(int slot) { module_.Dok2rol(kOwner, slot); }

// ---- status ----

// The window's messages stay on its own status panel, next to the fields
// they are about.
void FOknaF3::Status(std::string_view text, std::uint8_t colour) {
  pst_text_ = std::string(text);
  pst_colour_ = colour;
}

void FOknaF3::Show(std::string_view text, std::uint8_t colour) {
  pst_text_ = std::string(text);
  pst_colour_ = colour;
}

void FOknaF3::Clear() {
  pst_text_.clear();
  pst_colour_ = kInfo;
}

}  // namespace zel
