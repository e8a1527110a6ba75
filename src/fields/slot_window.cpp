// SlotWindow: moving between slots, committing values, the shared keys, the
// editor, the clicks, the batch entry and the shared drawing numbers.
#include "fields/slot_window.hpp"

#include <algorithm>
#include <cstdlib>

#include "common/cp1250.hpp"
#include "common/globals.hpp"
#include "common/pltext.hpp"
#include "shell/pulpit.hpp"
#include "shell/settings_keys.hpp"
#include "shell/state.hpp"

namespace zel {

// ---- slots ----

bool SlotWindow::Enterable(int slot) const {
  if (slot < 1 || slot > fields_.SlotCount()) return false;
  const TableBlock& tb = fields_.Table();
  if (tb.header_slot > 0 && (slot == tb.header_slot || slot == tb.footer_slot)) return false;
  return fields_.Slot(slot).Editable();
}

bool SlotWindow::AnyEditable() const {
  for (int s = 1; s <= fields_.SlotCount(); ++s) {
    if (Enterable(s)) return true;
  }
  return false;
}

std::string_view SlotWindow::PanelText(int slot) const {
  if (slot < 1 || slot > fields_.SlotCount()) return {};
  return fields_.Slot(slot).panel.view();
}

bool SlotWindow::PanelRight(int slot) const {
  if (slot < 1 || slot > fields_.SlotCount()) return false;
  return panel_right_[static_cast<std::size_t>(slot)];
}

std::string_view SlotWindow::SlotValue(int slot) const {
  if (slot < 1 || slot > fields_.SlotCount()) return {};
  return fields_.Slot(slot).value.view();
}

int SlotWindow::FindCode(std::string_view code) const {
  std::string want = UpperPl(code);
  for (int s = 1; s <= fields_.SlotCount(); ++s) {
    if (UpperPl(fields_.Slot(s).code.view()) == want) return s;
  }
  return 0;
}

// ---- moves ----

void SlotWindow::MoveTo(int target, int direction) {
  last_commit_corrected_ = false;
  state_ = kZesBusy;
  if (target != current_) LeavingSlot();
  hold_cursor_ = false;
  if (current_ > 0 && !Commit(direction < 0)) {
    last_commit_corrected_ = true;
    SelectAll();
    state_ = kZesWaiting;
    return;
  }
  if (DeveloperMarker()) {
    int shown = std::clamp(target, 1, std::max(fields_.SlotCount(), 1));
    std::string text(MarkerName());
    text += " : n";
    if (shown <= fields_.SlotCount()) text += fields_.Slot(shown).code.str();
    pst_text_ = text;
    pst_colour_ = kInfo;
  }
  if (HoldAfterCommit(target, direction)) {
    SelectAll();
    state_ = kZesWaiting;
    return;
  }

  int count = fields_.SlotCount();
  int dir = direction < 0 ? -1 : 1;
  int t = std::clamp(target, 1, std::max(count, 1));
  if (target > count && dir > 0) t = count + 1;
  while (!Enterable(t)) {
    if (dir > 0) {
      if (t >= count) {
        // Past the last editable slot: the user's move runs Go; a window
        // without any editable slot just waits for Go or Esc.
        if (!opening_ && AnyEditable()) {
          state_ = kZesWaiting;
          PastLastSlot();
          return;
        }
        current_ = 0;
        editor_.visible = false;
        fbutton_.visible = false;
        state_ = kZesWaiting;
        return;
      }
      ++t;
    } else {
      if (t <= 1) {
        dir = 1;
        t = 1;
        continue;
      }
      --t;
    }
  }

  current_ = t;
  target_ = t;
  PlaceEditor(t);
  state_ = kZesWaiting;
  EnteredSlot(t);
}

bool SlotWindow::Commit(bool backwards) {
  std::string raw = editor_.text;
  value_under_edit_ = NormalizeSpaces(raw);
  std::string completed = Complete(current_, value_under_edit_);
  if (completed != raw) {
    editor_.text = completed;
    editor_.caret = static_cast<int>(completed.size());
    move_reason_ = kMoveCorrected;
    return false;
  }
  StoreCommitted(current_, completed, backwards);
  return true;
}

void SlotWindow::ValueWarning(std::string_view text) {
  date_warning_ = true;
  Status(text, kWarning);
}

// ---- keys ----

void SlotWindow::EnterKey() {
  if (current_ == 0 || state_ == kZesBusy || state_ == kZesRunning || state_ == kZesAbort) return;
  move_reason_ = kMoveEnter;
  pst_text_.clear();
  std::string& t = editor_.text;
  std::size_t lead = 0;
  while (lead < t.size() && t[lead] == ' ') ++lead;
  t.erase(0, lead);
  Outcome(EnterDecision());
}

void SlotWindow::Outcome(int outcome) {
  switch (outcome) {
    case 0: MoveTo(current_, +1); break;
    case 1: MoveTo(current_ + 1, +1); break;
    case 2: PastLastSlot(); break;
    default: break;  // a list was opened, or the rule handled the key
  }
}

void SlotWindow::TabKey() {
  if (current_ == 0) return;
  move_reason_ = kMoveTab;
  if (TabScroll()) return;
  if (current_ <= 1) {
    MoveTo(current_, +1);
  } else {
    MoveTo(current_ - 1, -1);
  }
}

void SlotWindow::UpDown(bool up) {
  if (current_ == 0) return;
  if (!AllowRoll(up)) return;
  if (BlockUpDown(up)) return;
  if (up) {
    MoveTo(current_ - 1, -1);
  } else {
    EnterKey();
  }
}

void SlotWindow::TemplateKey() {
  if (current_ == 0) return;
  std::string& t = editor_.text;
  int pos = editor_.sel_length > 0 ? editor_.sel_start : editor_.caret;
  pos = std::clamp(pos, 0, static_cast<int>(t.size()));
  std::string_view tmpl = template_.view();
  t = t.substr(0, static_cast<std::size_t>(pos));
  if (static_cast<std::size_t>(pos) < tmpl.size()) t += tmpl.substr(static_cast<std::size_t>(pos));
  if (editor_.max_length > 0 && static_cast<int>(t.size()) > editor_.max_length) {
    t.resize(static_cast<std::size_t>(editor_.max_length));
  }
  editor_.caret = static_cast<int>(t.size());
  editor_.sel_start = editor_.caret;
  editor_.sel_length = 0;
  if (state_ == kZesWaiting) ApplyTypingFilters();
}

// ---- the editor ----

void SlotWindow::PlaceEditorFrame(int slot) {
  const FieldSlot& fs = fields_.Slot(slot);
  int text_h = metrics_.TextHeight("g\xD1");
  editor_.left = fs.left + look_.bevel + look_.border;
  editor_.top = fs.top + look_.bevel;
  editor_.width = fs.panel_width;
  editor_.height = text_h;
  editor_.max_length = fs.max_length;
}

void SlotWindow::PlaceFButton(int slot) {
  const FieldSlot& fs = fields_.Slot(slot);
  int text_h = metrics_.TextHeight("g\xD1");
  int side = static_cast<int>(0.4 * (text_h + 2 * look_.bevel));
  fbutton_.visible = true;
  fbutton_.size = side;
  fbutton_.left = fs.right - side;
  fbutton_.top = fs.top + look_.bevel;
  fbutton_.hint = "\n           Klik  F4  lista\n      Prawy  F5  szukaj    \n";
}

void SlotWindow::FinishEditor(const std::string& automatic, const std::string& tmpl) {
  if (editor_.text.empty() && !automatic.empty()) {
    editor_.text = automatic;
    if (editor_.max_length > 0 && static_cast<int>(editor_.text.size()) > editor_.max_length) {
      editor_.text.resize(static_cast<std::size_t>(editor_.max_length));
    }
  }
  template_ = tmpl;
  FillTemplate = tmpl;
  editor_.hint = template_.str();
  SelectAll();
}

void SlotWindow::SelectAll() {
  editor_.sel_start = 0;
  editor_.sel_length = static_cast<int>(editor_.text.size());
  editor_.caret = editor_.sel_length;
}

void SlotWindow::SetCaret(int caret) {
  editor_.caret = std::clamp(caret, 0, static_cast<int>(editor_.text.size()));
  editor_.sel_start = editor_.caret;
  editor_.sel_length = 0;
}

void SlotWindow::TypeText(std::string_view text) {
  if (current_ == 0 || state_ != kZesWaiting) return;
  for (char c : text) {
    std::string& t = editor_.text;
    if (editor_.sel_length > 0) {
      int from = std::clamp(editor_.sel_start, 0, static_cast<int>(t.size()));
      int len = std::min(editor_.sel_length, static_cast<int>(t.size()) - from);
      t.erase(static_cast<std::size_t>(from), static_cast<std::size_t>(len));
      editor_.caret = from;
      editor_.sel_length = 0;
    }
    if (editor_.max_length > 0 && static_cast<int>(t.size()) >= editor_.max_length) continue;
    int at = std::clamp(editor_.caret, 0, static_cast<int>(t.size()));
    t.insert(t.begin() + at, c);
    editor_.caret = at + 1;
    editor_.sel_start = editor_.caret;
    ApplyTypingFilters();
  }
}

void SlotWindow::SetEditorText(std::string_view text) {
  if (current_ == 0) return;
  editor_.text = std::string(text);
  if (editor_.max_length > 0 && static_cast<int>(editor_.text.size()) > editor_.max_length) {
    editor_.text.resize(static_cast<std::size_t>(editor_.max_length));
  }
  editor_.caret = static_cast<int>(editor_.text.size());
  editor_.sel_start = editor_.caret;
  editor_.sel_length = 0;
  if (state_ == kZesWaiting) ApplyTypingFilters();
}

// ---- mouse ----

void SlotWindow::ClickSlot(int slot) {
  if (state_ == kZesBusy || state_ == kZesRunning || state_ == kZesAbort) return;
  move_reason_ = kMoveClick;
  if (Enterable(slot)) {
    MoveTo(slot, +1);
  } else {
    ClickElsewhere();
  }
}

void SlotWindow::ClickElsewhere() {
  if (state_ == kZesBusy || state_ == kZesRunning || state_ == kZesAbort) return;
  if (current_ == 0) return;
  move_reason_ = kMoveClick;
  MoveTo(current_, +1);
}

void SlotWindow::ClickAt(int x, int y) {
  int height = metrics_.TextHeight("g\xD1") + 2 * look_.bevel;
  for (int s = 1; s <= fields_.SlotCount(); ++s) {
    const FieldSlot& fs = fields_.Slot(s);
    if (fs.panel_width == 0) continue;
    if (x >= fs.left && x < fs.left + fs.panel_width && y >= fs.top && y < fs.top + height) {
      ClickSlot(s);
      return;
    }
  }
  ClickElsewhere();
}

// ---- zel-batch ----

EnterResult SlotWindow::EnterField(std::string_view code, std::string_view value) {
  std::string want = UpperPl(code);
  int slot = 0;
  bool seen = false;
  for (int s = 1; s <= fields_.SlotCount(); ++s) {
    if (UpperPl(fields_.Slot(s).code.view()) != want) continue;
    seen = true;
    if (Enterable(s)) {
      slot = s;
      break;
    }
  }
  if (slot == 0) return seen ? EnterResult::kNotEditable : EnterResult::kNoField;
  return EnterSlot(slot, value);
}

EnterResult SlotWindow::EnterSlot(int slot, std::string_view value) {
  if (!Enterable(slot)) return EnterResult::kNotEditable;
  if (state_ == kZesRunning || state_ == kZesAbort || state_ == kZesBusy) return EnterResult::kRefused;
  move_reason_ = kMoveClick;
  // A correction left pending in another field is accepted first.
  for (int tries = 0; tries < 3 && current_ != slot; ++tries) MoveTo(slot, +1);
  if (current_ != slot) return EnterResult::kRefused;
  // A value longer than the field takes is cut, and counts as corrected.
  int max = fields_.Slot(slot).max_length;
  bool cut = max > 0 && static_cast<int>(value.size()) > max;
  SetEditorText(value);
  date_warning_ = false;
  MoveTo(slot, +1);
  if (!last_commit_corrected_) return cut ? EnterResult::kCorrected : EnterResult::kAccepted;
  if (date_warning_) {
    // An impossible date is not taken on the user's behalf: the field keeps
    // its previous value and the message stays on the status line.
    editor_.text = std::string(SlotValue(slot));
    SelectAll();
    return EnterResult::kRefused;
  }
  MoveTo(slot, +1);
  return last_commit_corrected_ ? EnterResult::kRefused : EnterResult::kCorrected;
}

// ---- drawing numbers ----

void SlotWindow::StartBuild() {
  // The appearance values: KonOkien size, then margins (+2), spacings, bevel
  // and border of the value panels.
  const auto& sizes = StationSettings.window_sizes;
  font_size_ = sizes[0];
  look_.margin_x = sizes[1] + 2;
  look_.spacing_x = sizes[2];
  look_.margin_y = sizes[3] + 2;
  look_.spacing_y = sizes[4];
  look_.bevel = sizes[5];
  look_.border = sizes[6];

  int text_h = metrics_.TextHeight("g\xD1");
  int font = std::max(font_size_, 1);
  int title_h = text_h * (font + 3) / font;
  int top = look_.margin_y + 4 + title_h + look_.spacing_y;
  fields_.Reset(metrics_, look_, static_cast<std::uint16_t>(std::clamp(top, 0, 65535)));
  fields_.Separator();
}

void SlotWindow::AlignLines() {
  int count = fields_.SlotCount();
  int widest = fields_.WidestRight();
  int s = count;
  while (s >= 1) {
    int line = fields_.Slot(s).line;
    int first = s;
    while (first > 1 && fields_.Slot(first - 1).line == line) --first;
    int line_right = fields_.Slot(s).right;
    int shift = widest - line_right;
    if (shift > 0 && fields_.Slot(s).panel_width > 0) {
      for (int i = first; i <= s; ++i) {
        FieldSlot& slot = fields_.Slot(i);
        if (slot.panel_width > 0) {
          slot.left = static_cast<std::uint16_t>(slot.left + shift);
          slot.right = static_cast<std::uint16_t>(slot.right + shift);
        }
        if (i != first) slot.label_left = static_cast<std::uint16_t>(slot.label_left + shift);
      }
    }
    s = first - 1;
  }
}

void SlotWindow::SizeArea() {
  int widest = fields_.WidestRight();
  int n_width = metrics_.TextWidth("N");
  area_width_ = std::max({widest + 15, 33 * n_width, TitleWidth() + look_.spacing_x + look_.margin_x});
  int line_h = fields_.LineHeight();
  buttons_top_ = fields_.NextTop() + look_.spacing_y;
  status_top_ = buttons_top_ + line_h + look_.spacing_y;
  frame_.SetClientWidth(area_width_);
  frame_.SetClientHeight(status_top_ + line_h + look_.margin_y);
}

// The title is drawn 3 points larger than the window font (and bold), so
// it is measured in the window font and scaled by the point sizes; the area
// is made wide enough for it.
int SlotWindow::TitleWidth() const {
  const int font = std::max(font_size_, 1);
  return metrics_.TextWidth(fields_.Title()) * (font + 3) / font;
}

ZestawLayout SlotWindow::DrawingBase() const {
  ZestawLayout d;
  const int text_h = metrics_.TextHeight("g\xD1");
  d.text_height = text_h;
  d.panel_height = text_h + 2 * look_.bevel;
  const int font = std::max(font_size_, 1);
  // The title's font is 3 points larger; text grows with the point size.
  d.title = {look_.margin_x + 5, look_.margin_y + 4, TitleWidth(), text_h * (font + 3) / font};

  for (int s = 1; s <= fields_.SlotCount(); ++s) {
    const FieldSlot& slot = fields_.Slot(s);
    bool first_of_line = s == 1 || fields_.Slot(s - 1).line != slot.line;
    if (!first_of_line || slot.panel_width == 0 || slot.label.empty()) continue;
    ZestawLeader l;
    l.slot = s;
    l.x1 = slot.label_left + metrics_.TextWidth(slot.label.view()) + 3;
    l.x2 = slot.left - 3;
    l.y = slot.top + d.panel_height * 5 / 7;
    if (l.x2 > l.x1) d.leaders.push_back(l);
  }
  for (std::uint16_t y0 : fields_.Separators()) d.separator_lines.push_back(y0 + look_.spacing_y);
  // One build in thirty gets the coloured frames.
  d.fancy_frame = std::rand() % 30 == 0;
  for (std::uint32_t i = 0; i < 6; ++i) d.frame_colours[i] = i * 2369552u + 788610u;
  if (!WindowFont.bold && font_size_ < 11) {
    d.back_colour = 16312536;
    d.bar_colour = 13170943;
  }

  const int line_h = fields_.LineHeight();
  const int button_h = line_h - look_.spacing_y + 2;
  const int esc_w = metrics_.TextWidth("Anuluj") + 24;
  d.esc = {look_.margin_x, buttons_top_, esc_w, button_h};
  const int go_left = look_.margin_x + esc_w + look_.spacing_x;
  d.go = {go_left, buttons_top_, std::max(20, area_width_ - look_.margin_x - go_left), button_h};
  d.memo = {d.go.left + 4, d.go.top + 4, std::max(1, d.go.width - 9), std::max(1, d.go.height - 9)};
  return d;
}

void SlotWindow::FinishDrawing(ZestawLayout& d, int bar) {
  const int line_h = fields_.LineHeight();
  d.status = {look_.margin_x, status_top_ + bar, area_width_ - 2 * look_.margin_x, line_h - look_.spacing_y};
  d.client_width = area_width_;
  d.client_height = status_top_ + bar + line_h + look_.margin_y;
  frame_.SetClientHeight(d.client_height);
  for (int k = 1; k <= 7; ++k) {
    d.growth[static_cast<std::size_t>(k - 1)] = std::max(1, frame_.height * k / 7);
  }
}

}  // namespace zel
