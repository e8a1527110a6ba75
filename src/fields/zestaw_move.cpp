// FZestaw: entering a slot, committing a value, the window's completion
// rules and the typing filters.
#include <algorithm>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/globals.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "fields/option_values.hpp"
#include "fields/zestaw.hpp"
#include "fields/zestaw_internal.hpp"
#include "fields/zestaw_rules.hpp"
#include "menu/current_option.hpp"
#include "shell/settings_keys.hpp"
#include "shell/state.hpp"

namespace zel {

void FZestaw::LeavingSlot() {
  if (go_red_) {
    if (go_red_fresh_) {
      go_red_fresh_ = false;
    } else {
      go_red_ = false;
      go_caption_ = go_normal_caption_;
    }
  } else {
    result_text_.clear();
  }
}

bool FZestaw::HoldAfterCommit(int& target, int direction) {
  if ((OptionIndex >= 10 && OptionIndex <= 131) || OptionIndex > 144) {
    module_.Dokum2poA(kOwner, target);
  }
  if (pending_next_) {
    pending_next_ = false;
    target += 1;
  }
  // The business module may keep the cursor in the field it leaves forward:
  // asked during the commit (HoldCursor) or through its guard.
  bool hold = false;
  if (direction > 0 && current_ > 0 && target != current_ && !opening_) {
    if (leave_guard_ && leave_guard_(current_)) hold = true;
    if (hold_cursor_) hold = true;
  }
  hold_cursor_ = false;
  return hold;
}

void FZestaw::PlaceEditor(int slot) {
  const FieldSlot& fs = fields_.Slot(slot);
  int n = fs.number;
  PlaceEditorFrame(slot);
  editor_.password = n == 2 || n == 176;
  editor_.visible = true;
  if (InBlock(slot)) {
    const TableBlock& tb = fields_.Table();
    int first = tb.header_slot + 1 + RowOf(slot) * tb.columns;
    for (int c = 0; c < tb.columns && c < 10; ++c) {
      row_values_[static_cast<std::size_t>(c)] = fields_.Slot(first + c).value.view();
    }
  }
  editor_.text = fs.value.str();

  PlaceFButton(slot);
  fbutton_.aqua = module_.OznaczAqua(kOwner, slot);
  if (fbutton_.aqua) fbutton_.hint = "\n    Dwuklik  F3  okno" + fbutton_.hint;

  // The automatic value and the template: the window's rules for its own
  // fields, the hooks for the others.
  std::string automatic;
  std::string tmpl;
  if (IsWindowHeld(n)) {
    if (IsDayField(n)) tmpl = WindowValue(n, host_);
    if (n == 66 && ToDate < FromDate) {
      automatic = DayToDdMmYy(FromDate);
      tmpl = automatic;
    }
    if (n == 15 || n == 22) tmpl = "CG";
    if (n == 31 || n == 36 || n == 32 || n == 37) tmpl = WindowValue(n, host_);
  } else {
    automatic = module_.nAutomEdit(kOwner, slot);
    tmpl = module_.nUstawWzor(kOwner, slot);
  }
  FinishEditor(automatic, tmpl);
}

void FZestaw::StoreCommitted(int slot, const std::string& completed, bool backwards) {
  if (InBlock(slot)) {
    int c = ColumnOf(slot);
    if (c >= 0 && c < 10) row_values_[static_cast<std::size_t>(c)] = completed;
    PutValue(slot, row_values_[static_cast<std::size_t>(std::max(c, 0))].view());
  } else {
    PutValue(slot, completed);
  }
  Store(slot, backwards);
}

std::string FZestaw::Complete(int slot, const std::string& value) {
  int n = fields_.Slot(slot).number;
  if (IsWindowDateField(n)) {
    DateCompletion d = CompleteDate(value, template_.view());
    if (d.bad) {
      ValueWarning("Błędna postać daty"_w);
    } else {
      ClearStatus();
      pst_text_.clear();
    }
    return d.value;
  }
  switch (n) {
    case 62: case 63: case 64: return value.empty() ? value : ForceRange(value, 0, 25);
    case 3: case 12: case 19: case 25: return CompleteFont(value);
    case 4: case 13: case 20: case 26: return CompleteBold(value);
    case 5: case 14: case 21: return ForceRange(value, 6, 16);
    case 6: return ForceRange(value, 3, 30);
    case 7: return ForceRange(value, 1, 10);
    case 8: return ForceRange(value, 3, 20);
    case 9: return ForceRange(value, 1, 10);
    case 10: case 11: return ForceRange(value, 1, 4);
    case 15: case 22: return CompletePosition(value);
    case 16: return ForceRange(value, 0, std::max(0, host_->ScreenHeight() - 3));
    case 23: return ForceRange(value, 0, std::max(0, host_->SecondScreenHeight() - 2));
    case 17:
    case 24: {
      int height_field = n == 17 ? 16 : 23;
      int screen = n == 17 ? host_->ScreenHeight() : host_->SecondScreenHeight();
      int s = fields_.FindSlot(static_cast<std::int16_t>(height_field));
      int height = s > 0 ? ParseInt(fields_.Slot(s).value.view())
                         : ParseInt(WindowValue(height_field, host_));
      return ForceRange(value, 1, std::max(1, screen - height - 2));
    }
    case 18: case 29: case 30: return CompleteYesNo(value);
    case 31: case 36: return CompleteFolder(value);
    case 32: case 37: return CleanFileName(value, true);
    case 33: case 34: case 35: return CompletePassword(value);
    case 39: return CleanFileName(value, false).substr(0, 8);
    default: break;
  }
  if (IsWindowHeld(n)) return value;
  module_.nUzupeEdit(kOwner, slot, value_under_edit_);
  if (value_under_edit_.size() > 80) value_under_edit_.resize(80);
  return value_under_edit_;
}

void FZestaw::Store(int slot, bool backwards) {
  int n = fields_.Slot(slot).number;
  if (n == 0) return;
  if (IsWindowHeld(n)) {
    WindowStore(n, fields_.Slot(slot).value.view());
    if (IsDayField(n)) PutValue(slot, WindowValue(n, host_));
    if (n == 1) {
      go_normal_caption_ = "Zaloguj";
      if (!go_red_) go_caption_ = go_normal_caption_;
    }
    return;
  }
  module_.nEdit2zmie(kOwner, slot, backwards);
}


void FZestaw::ApplyTypingFilters() {
  if (current_ == 0) return;
  int n = fields_.Slot(current_).number;
  std::string& t = editor_.text;
  int caret = editor_.caret;
  std::size_t lead = 0;
  while (lead < t.size() && t[lead] == ' ') ++lead;
  if (lead > 0) {
    t.erase(0, lead);
    caret = std::max(0, caret - static_cast<int>(lead));
  }
  bool option_field = n >= 41 && !IsWindowHeld(n);
  if (option_field && module_.ZmieNaDuze(kOwner, current_)) t = UpperPl(t);
  if (IsNumericField(n)) t = DigitsOnly(t, &caret);
  if (n == 15 || n == 18 || n == 22) t = UpperPl(t);
  if (n == 39 || n == 40) t = UpperPl(FoldPl(t));
  if ((n == 67 || n == 68) && !t.empty()) {
    t = (t[0] == 'N' || t[0] == 'n') ? "N" : "T";
    caret = 1;
  }
  if (option_field) module_.nZmianEdit(kOwner, current_, t);
  if (editor_.max_length > 0 && static_cast<int>(t.size()) > editor_.max_length) {
    t.resize(static_cast<std::size_t>(editor_.max_length));
  }
  editor_.caret = std::clamp(caret, 0, static_cast<int>(t.size()));
  editor_.sel_start = editor_.caret;
  editor_.sel_length = 0;
}

}  // namespace zel
