// FZestaw: the keys of the editor and the memo, Enter's outcomes, the table
// block's scrolling, the F3/F4/F5 requests, mouse clicks and the batch entry.
#include <algorithm>

#include "common/cp1250.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "fields/option_values.hpp"
#include "fields/zestaw.hpp"
#include "fields/zestaw_internal.hpp"
#include "fields/zestaw_rules.hpp"
#include "menu/current_option.hpp"
#include "menu/desktop_services.hpp"
#include "menu/hooks.hpp"
#include "platform/folders.hpp"
#include "shell/pulpit_window.hpp"
#include "shell/state.hpp"

namespace zel {

// ---- the table block ----

bool FZestaw::InBlock(int slot) const {
  const TableBlock& tb = fields_.Table();
  return tb.header_slot > 0 && tb.columns > 0 && slot > tb.header_slot && slot < tb.footer_slot;
}

int FZestaw::RowOf(int slot) const {
  const TableBlock& tb = fields_.Table();
  return (slot - tb.header_slot - 1) / tb.columns;
}

int FZestaw::ColumnOf(int slot) const {
  if (!InBlock(slot)) return -1;
  const TableBlock& tb = fields_.Table();
  return (slot - tb.header_slot - 1) % tb.columns;
}

int FZestaw::LastRowFirstSlot() const {
  const TableBlock& tb = fields_.Table();
  return tb.header_slot + 1 + (tb.visible_rows - 1) * tb.columns;
}

int FZestaw::CurrentRow() const {
  if (!InBlock(current_)) return 0;
  return RowOf(current_) + first_row_;
}

int FZestaw::CurrentColumn() const { return ColumnOf(current_); }

std::string_view FZestaw::RowValue(int column) const {
  if (column < 0 || column >= 10) return {};
  return row_values_[static_cast<std::size_t>(column)].view();
}

void FZestaw::Reload() {
  const TableBlock& tb = fields_.Table();
  // Row-numbered blocks show the numbers of the rows now visible.
  for (int r = 0; r < tb.visible_rows; ++r) {
    int first = tb.header_slot + 1 + r * tb.columns;
    if (first >= tb.footer_slot) break;
    FieldSlot& fs = fields_.Slot(first);
    std::string_view label = fs.label.view();
    bool numbered = label.size() == 5 && label.find_first_not_of(" 0123456789") == std::string_view::npos;
    if (numbered) fs.label = IntText(first_row_ + r, 5);
  }
  module_.Zmien2poA(kOwner, first_row_);
}

int FZestaw::ShowTableCell(int row, int column) {
  const TableBlock& tb = fields_.Table();
  if (tb.header_slot == 0 || column < 0 || column >= tb.columns || row < 0 || row >= kTableRows) {
    return 0;
  }
  const int wanted = row + 1;
  if (wanted < first_row_ || wanted >= first_row_ + tb.visible_rows) {
    first_row_ = std::clamp(wanted, 1, 40);
    Reload();
  }
  const int slot = tb.header_slot + 1 + (wanted - first_row_) * tb.columns + column;
  return slot < tb.footer_slot ? slot : 0;
}

void FZestaw::Scroll(int rows, int land_slot, int direction) {
  if (current_ > 0 && !Commit(direction < 0)) {
    SelectAll();
    return;
  }
  first_row_ = std::clamp(first_row_ + rows, 1, 40);
  move_reason_ = rows < 0 ? kMoveScrollUp : kMoveScrollDown;
  Reload();
  current_ = 0;
  MoveTo(land_slot, direction);
}

// ---- keys ----

void FZestaw::PressKey(std::uint16_t key) {
  if (memo_shown_) {
    switch (key) {
      case kKeyEsc: ClickEsc(); return;
      case kKeyF6:
      case kKeyPadPlus: F3Key(); return;
      case kKeyF3: memo_text_ += host_->ClipboardText(); return;
      default: Status("Key = #" + IntTextOrZero(key), kInfo); return;
    }
  }
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
    case kKeyF3: F3Key(); break;
    case kKeyF4: F45Key(false); break;
    case kKeyF5: F45Key(true); break;
    case kKeyF6:
    case kKeyF7:
    case kKeyPadPlus: TemplateKey(); break;
    default: break;
  }
}

int FZestaw::EnterDecision() {
  const std::string& t = editor_.text;
  const TableBlock& tb = fields_.Table();
  if (InBlock(current_) && ColumnOf(current_) == tb.columns - 1 &&
      RowOf(current_) == tb.visible_rows - 1 && first_row_ < 12 - tb.visible_rows) {
    Scroll(+1, LastRowFirstSlot(), +1);
    return -1;
  }
  if (t.empty()) return EmptyEnterRule(current_);
  if (t == kPlaceholder && module_.nOknoKr6(kOwner, current_)) return -1;
  return ValueEnterRule(current_);
}

int FZestaw::EmptyEnterRule(int slot) {
  int n = fields_.Slot(slot).number;
  if (IsWindowDateField(n) || (n >= 62 && n <= 64)) return 1;
  if (n >= 1 && n <= 40) {
    if (n >= 6 && n <= 11) {
      editor_.text = std::string("1");
      SelectAll();
      return -1;
    }
    std::string pattern;
    std::uint8_t kind = WindowListKind(n, &pattern);
    if (kind != 0) {
      saved_editor_ = editor_.text;
      OpenList(kind, pattern, false);
      return -1;
    }
    return 1;
  }
  int answer = module_.PuStNeGo(kOwner, slot);
  if (answer == 3) {
    HookMissing("PuStNeGo", "bEntClick", n);
    return 2;
  }
  return answer;
}

int FZestaw::ValueEnterRule(int slot) {
  int n = fields_.Slot(slot).number;
  if (n == 69) {
    bool last = true;
    for (int s = slot + 1; s <= fields_.SlotCount(); ++s) {
      if (Enterable(s)) last = false;
    }
    if (last && IsFile(DbDir.str() + NormalizeSpaces(editor_.text) + ".DFX")) return 2;
    return 1;
  }
  if (IsWindowHeld(n)) return 1;
  int answer = module_.EnStNeGo(kOwner, slot);
  if (answer == 3) {
    HookMissing("EnStNeGo", "bEntClick", n);
    return 2;
  }
  return answer;
}

bool FZestaw::TabScroll() {
  const TableBlock& tb = fields_.Table();
  if (InBlock(current_) && ColumnOf(current_) == 0 && RowOf(current_) == 0 && first_row_ > 1) {
    Scroll(-1, tb.header_slot + tb.columns, -1);
    return true;
  }
  return false;
}

bool FZestaw::StepSystemValue(int n, bool up) {
  std::string& t = editor_.text;
  int step = up ? 1 : -1;
  auto step_number = [&](int lo, int hi) {
    int v = ParseInt(t) + step;
    t = IntTextOrZero(std::clamp(v, lo, hi));
  };
  switch (n) {
    case 3: case 12: case 25: {
      std::string font = CompleteFont(t);
      int i = 0;
      while (i < static_cast<int>(FontList.size()) && FontList[static_cast<std::size_t>(i)] != font) ++i;
      i = std::clamp(i - step, 0, static_cast<int>(FontList.size()) - 1);
      t = std::string(FontList[static_cast<std::size_t>(i)]);
      break;
    }
    case 4: case 13: case 26: t = CompleteBold(t) == "Bold" ? "----" : "Bold"; break;
    case 5: case 14: step_number(6, 16); break;
    case 6: step_number(3, 30); break;
    case 7: step_number(1, 10); break;
    case 8: step_number(3, 20); break;
    case 9: step_number(1, 10); break;
    case 10: case 11: step_number(1, 4); break;
    case 29: case 30: t.assign(1, CompleteYesNo(t) == "T" ? 'N' : 'T'); break;
    default: return false;
  }
  SelectAll();
  return true;
}

bool FZestaw::AllowRoll(bool up) {
  int n = fields_.Slot(current_).number;
  if (StepSystemValue(n, up)) return false;
  return module_.nRollEditP(kOwner, current_, up ? kKeyUp : kKeyDown);
}

bool FZestaw::BlockUpDown(bool up) {
  const TableBlock& tb = fields_.Table();
  if (InBlock(current_)) {
    int row = RowOf(current_);
    if (up) {
      if (row > 0) {
        MoveTo(current_ - tb.columns, -1);
      } else if (first_row_ <= 1) {
        MoveTo(tb.header_slot - 1, -1);
      } else {
        Scroll(-1, current_, -1);
      }
    } else {
      if (row < tb.visible_rows - 1) {
        MoveTo(current_ + tb.columns, +1);
      } else if (first_row_ >= 40) {
        MoveTo(tb.footer_slot + 1, +1);
      } else {
        Scroll(+1, current_, +1);
      }
    }
    return true;
  }
  return false;
}

void FZestaw::PageUp() {
  if (current_ == 0) return;
  if (!module_.nRollEditP(kOwner, current_, kKeyPageUp)) return;
  const TableBlock& tb = fields_.Table();
  if (tb.header_slot == 0 || current_ < tb.header_slot) {
    MoveTo(1, -1);
  } else if (current_ > tb.footer_slot) {
    MoveTo(LastRowFirstSlot(), -1);
  } else if (first_row_ <= 1) {
    MoveTo(current_ - 1, -1);
  } else {
    Scroll(-1, current_, -1);
  }
}

void FZestaw::PageDown() {
  if (current_ == 0) return;
  if (module_.nRollEditP(kOwner, current_, kKeyPageDown)) Run(kRunGo);
}

void FZestaw::F3Key() {
  if (current_ == 0) return;
  int n = fields_.Slot(current_).number;
  const std::string kNoF3 = "Tu  F3  nie działa !"_w;
  if (HasNoF3(n)) {
    Status(kNoF3, kInfo);
    return;
  }
  Point16 before = OpenAt;
  f3_open_at_ = before;
  f3_saved_ = true;
  OpenAt.left = static_cast<std::int16_t>(frame_.left + editor_.left);
  OpenAt.top = static_cast<std::int16_t>(frame_.top + editor_.top + editor_.height);
  if (!module_.F3orDbKlik(kOwner, current_)) {
    OpenAt = before;
    f3_saved_ = false;
    Status(kNoF3, kInfo);
  }
}

void FZestaw::F45Key(bool f5) {
  if (current_ == 0) return;
  int n = fields_.Slot(current_).number;
  const std::string kNoList = "Tu  F4 i F5  nie działa !"_w;
  saved_editor_ = editor_.text.substr(0, 80);
  if (HasNoList(n)) {
    Status(kNoList, kInfo);
    return;
  }
  if (n >= 6 && n <= 11) {
    static constexpr std::string_view kDefaults[] = {"15", "5", "7", "3", "3", "2"};
    editor_.text = std::string(kDefaults[n - 6]);
    SelectAll();
    return;
  }
  std::string pattern;
  std::uint8_t kind = WindowListKind(n, &pattern);
  if (kind != 0) {
    OpenList(kind, pattern, f5);
    return;
  }
  if (IsWindowHeld(n) && n != 67 && n != 68) {
    Status(kNoList, kInfo);
    return;
  }
  if (!module_.F4ewF5Klik(kOwner, current_, f5 ? kKeyF5 : kKeyF4)) Status(kNoList, kInfo);
}

void FZestaw::OpenList(std::uint8_t kind, std::string_view pattern, bool f5) {
  last_list_kind_ = kind;
  last_list_pattern_ = std::string(pattern);
  OpenAt.left = static_cast<std::int16_t>(frame_.left + editor_.left);
  OpenAt.top = static_cast<std::int16_t>(frame_.top + editor_.top + editor_.height);
  Desktop().F45(OptionIndex, kind, editor_.text, f5 ? kKeyF5 : kKeyF4);
}

void FZestaw::RightClickEsc() {
  frame_.top = 0;
  ClickEsc();
}

}  // namespace zel
