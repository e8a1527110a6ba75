// FZestaw: building the window, opening and returning, loading the values,
// closing, the action combo and the window's own status panel.
#include "fields/zestaw.hpp"

#include <algorithm>
#include <cstdlib>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "fields/option_dispatch.hpp"
#include "fields/option_values.hpp"
#include "fields/zestaw_internal.hpp"
#include "fields/zestaw_rules.hpp"
#include "menu/current_option.hpp"
#include "menu/desktop_services.hpp"
#include "menu/hooks.hpp"
#include "shell/file_access.hpp"
#include "shell/pulpit.hpp"
#include "shell/settings.hpp"
#include "shell/settings_keys.hpp"
#include "shell/state.hpp"

namespace zel {

int ZestawHost::ReadActionChoice(std::string_view key) {
  std::string full = "Zes-" + std::string(key);
  ReadSetting(false, full);
  return SettingFound() ? SettingNumber(1) : 0;
}

void ZestawHost::WriteActionChoice(std::string_view key, int choice) {
  WriteSetting(false, "Zes-" + std::string(key), IntTextOrEmpty(choice));
}

void ZestawHost::Closed(std::uint8_t option_index) {
  (void)option_index;
  Desktop().ShowKind(3, 2);
}

char ZestawHost::UserLetter() {
  return zel::UserLetter == ' ' ? 'A' : zel::UserLetter;
}

bool ZestawHost::FieldDeveloperMarker() {
  return DeveloperMode() && FileExists(kZestawDeveloperMarker);
}

FZestaw::FZestaw(bZestaw& module, const TextMetrics& metrics, ZestawHost* host)
    : SlotWindow(metrics), module_(module), host_(host ? host : &default_host_) {
  module_.Attach(this, &fields_);
  positions_.fill(Point16{-7, -7});
}

void FZestaw::Bo() {
  state_ = kZesBusy;
  frame_.height = 0;
  first_row_ = 1;
  for (auto& v : row_values_) v.clear();
  current_ = 0;
  editor_.visible = false;
}

void FZestaw::Status(std::string_view text, std::uint8_t colour) {
  pst_text_ = std::string(text);
  pst_colour_ = colour;
  ShowStatus(text, colour);
}

void FZestaw::Show(std::string_view text, std::uint8_t colour) {
  pst_text_ = std::string(text);
  pst_colour_ = colour;
}

void FZestaw::Clear() {
  pst_text_.clear();
  pst_colour_ = kInfo;
}

// ---- building ----

void FZestaw::Jo() {
  StartBuild();
  fields_.SetTableRows(kDefaultTableRows);
  actions_.clear();
  first_row_ = 1;
  current_ = 0;
  target_ = 0;
  go_red_ = false;
  go_red_fresh_ = false;
  memo_shown_ = false;
  editor_.visible = false;
  fbutton_.visible = false;
  panel_right_.fill(false);

  DeclareOptionFields(fields_, module_);
  if (fields_.SlotCount() == 0) fields_.Caption("Enter, Wykonaj = TAK,  Esc, Anuluj = NIE"_w);
  initial_ = std::max<int>(fields_.InitialSlot(), 1);

  // The folder and chart being edited start from the current database.
  for (int s = 1; s <= fields_.SlotCount(); ++s) {
    int n = fields_.Slot(s).number;
    if (n == 31 || n == 36) {
      std::string_view dir = DbDir.view();
      if (!dir.empty() && dir.back() == '\\') dir.remove_suffix(1);
      ShellFields.edit_folder = dir;
    }
    if (n == 32 || n == 37) ShellFields.edit_chart = ChartName.view();
  }
  if (OptionIndex == 139) {
    std::string_view dir = DbDir.view();
    if (!dir.empty()) dir.remove_suffix(1);
    ShellFields.edit_folder = dir;
  }

  Layout();
  FillActions();
  LayoutDrawing();

  std::int16_t left = 0;
  std::int16_t top_pos = 0;
  if (module_.nLeftTopRd(kOwner, left, top_pos)) positions_[OptionIndex] = Point16{left, top_pos};

  module_.ewSzukFis(kOwner);
  state_ = kZesIdle;
}

void FZestaw::Layout() {
  int count = fields_.SlotCount();
  AlignLines();

  // The table header: each ";"-separated title above its column.
  const TableBlock& tb = fields_.Table();
  if (tb.header_slot > 0 && tb.columns > 0 && tb.header_slot + tb.columns <= count) {
    FieldSlot& header = fields_.Slot(tb.header_slot);
    std::string titles = header.label.str();
    std::vector<std::string> parts;
    std::size_t from = 0;
    while (from <= titles.size()) {
      std::size_t semi = titles.find(';', from);
      if (semi == std::string::npos) semi = titles.size();
      parts.push_back(titles.substr(from, semi - from));
      from = semi + 1;
    }
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
      text += " " + parts[i];
      if (i + 1 < parts.size() && i + 1 < tb.columns) {
        const FieldSlot& next = fields_.Slot(tb.header_slot + 1 + static_cast<int>(i) + 1);
        int target = next.left - header.label_left - look_.spacing_x - 5;
        while (!text.empty() && metrics_.TextWidth(text) > target) text.pop_back();
        while (metrics_.TextWidth(text) < target && text.size() < 250) text += ' ';
      }
    }
    header.label = text;
    if (tb.footer_slot > 0 && tb.footer_slot <= count) {
      fields_.Slot(tb.footer_slot).label_left = fields_.Slot(tb.header_slot + 1).left;
    }
  }

  SizeArea();
}

void FZestaw::LayoutDrawing() {
  ZestawLayout d = DrawingBase();
  const int line_h = fields_.LineHeight();

  // The print bar's controls in a row, wrapping where the window is narrow;
  // buttons are their caption + 16 wide, combos their widest entry + 36.
  int bar = 0;
  if (print_bar_) {
    const int h = line_h - look_.spacing_y;
    const int limit = area_width_ - 2 * look_.margin_x;
    int x = 0;
    int y = 0;
    std::size_t i = 0;
    auto place = [&](int width) {
      if (x > 0 && x + width > limit) {
        x = 0;
        y += h + 2;
      }
      d.bar_items[i++] = {x, y, width, h};
      x += width + look_.spacing_x;
    };
    place(metrics_.TextWidth("ZAPisz jako domyślne ->"_w) + 16);
    int combo_w = 0;
    for (const ActionEntry& a : actions_) combo_w = std::max(combo_w, metrics_.TextWidth(a.text));
    place(combo_w + 36);
    place(metrics_.TextWidth("Podgląd"_w) + 16);
    place(metrics_.TextWidth("PDF") + 16);
    place(metrics_.TextWidth("Zapisz dokument") + 16);
    int druk_w = 60;
    for (const std::string& p : PrinterEntries()) druk_w = std::max(druk_w, metrics_.TextWidth(p));
    place(std::min(druk_w + 36, limit));
    place(metrics_.TextWidth("PDF oryg.") + 16);
    d.bar_items[i] = {x, y, 0, h};
    d.print_bar = {look_.margin_x, status_top_, limit, y + h};
    bar = y + h + look_.spacing_y;
  }
  FinishDrawing(d, bar);
  drawing_ = std::move(d);
}

void FZestaw::FillActions() {
  actions_.clear();
  const ActionSet& set = fields_.Actions();
  if (module_.nDrukPanel(kOwner)) {
    print_bar_ = false;
    actions_.push_back({" Zapis", "e"});
  } else {
    print_bar_ = true;
    actions_.push_back({" " + "Podgląd"_w, "p"});
    if (!set.declared) {
      host_->DeveloperMessage("Wykonaj Shift-Ins w bZestaw.nieMaOpcji",
                              "Wymaga się ustawienia "_w + "Czyn i Dok" +
                                  " w bZestaw przed FZestaw.Jo (...);");
    } else {
      struct Group {
        std::uint8_t flag;
        std::vector<ActionEntry> entries;
      };
      const Group groups[] = {
          {kActCopies,
           {{"1 egzemplarz", "e"}, {"2 egzemplarze", "ee"}, {"3 egzemplarze", "eee"},
            {"4 egzemplarze", "eeee"}}},
          {kActOriginal,
           {{"Oryginał"_w, "o"}, {"Oryginał + kopia"_w, "ok"}, {"Oryginał + 2 kopie"_w, "okl"},
            {"Oryginał + 3 kopie"_w, "oklm"}, {"Kopia", "k"}, {"2 kopie", "kl"},
            {"3 kopie", "klm"}}},
          {kActSaveOnly, {{"Zapis tylko", "z"}}},
          {kActReceipt, {{"Paragon fiskalny", "f"}}},
          {kActOther, {{"coś jeszcze"_w, "c"}}},
      };
      for (const Group& g : groups) {
        if ((set.flags & g.flag) == 0) continue;
        for (const ActionEntry& e : g.entries) {
          if (actions_.size() >= 18) break;
          actions_.push_back({" " + e.text, e.code});
        }
      }
    }
  }
  selected_action_ = 0;
  if (set.declared && !set.key.empty()) {
    int n = host_->ReadActionChoice(set.key.view());
    if (n >= 1 && n <= static_cast<int>(actions_.size())) selected_action_ = n - 1;
  }
  pdom_enabled_ = false;
  UpdateGoCaption();
}

void FZestaw::UpdateGoCaption() {
  if (print_bar_ && !actions_.empty()) {
    const std::string& text = actions_[static_cast<std::size_t>(selected_action_)].text;
    if (text.empty()) {
      go_normal_caption_ = "ZAPISZ";
    } else if (text.find('i') != std::string::npos) {
      go_normal_caption_ = "Druk:" + text;
    } else {
      go_normal_caption_ = "Wykonaj: " + text;
    }
  } else {
    go_normal_caption_ = zel::GoCaption(fields_.Go());
  }
  if (!go_red_) go_caption_ = go_normal_caption_;
}

void FZestaw::ChooseAction(int index) {
  if (index < 0 || index >= static_cast<int>(actions_.size())) return;
  selected_action_ = index;
  pdom_enabled_ = true;
  UpdateGoCaption();
}

void FZestaw::ClickDefaultChoice() {
  if (!pdom_enabled_) return;
  const ActionSet& set = fields_.Actions();
  if (set.declared && !set.key.empty()) host_->WriteActionChoice(set.key.view(), selected_action_ + 1);
  pdom_enabled_ = false;
}

std::vector<std::string> FZestaw::PrinterEntries() const {
  std::vector<std::string> out;
  for (const std::string& p : host_->Printers()) out.push_back(" " + p);
  return out;
}

bool FZestaw::PdfEnabled() const {
  for (const std::string& p : host_->Printers()) {
    if (p.find("PDF") != std::string::npos) return true;
  }
  return false;
}

void FZestaw::ChoosePrinter(int index) {
  std::vector<std::string> printers = host_->Printers();
  if (index < 0 || index >= static_cast<int>(printers.size())) return;
  const std::string& name = printers[static_cast<std::size_t>(index)];
  host_->SetCurrentPrinter(name);
  Status("Zm.na \"" + name + "\"", kInfo);
}

// ---- opening and returning ----

void FZestaw::Go(std::uint8_t kind) {
  bool keep_editor = false;
  bool next_after = false;
  switch (kind) {
    case 1:
      module_.SkasujZmi(kOwner);
      break;
    case 2:
      RestoreF3Position();
      if (!return_text_.empty()) {
        editor_.text = return_text_;
        keep_editor = true;
      }
      if (current_ > 0) module_.zF3powrot(kOwner, current_);
      next_after = return_text_ == kPlaceholder;
      break;
    case 3:
      RestoreF3Position();
      break;
    case 4:
      editor_.text = return_text_.empty() ? saved_editor_ : return_text_;
      keep_editor = true;
      if (current_ > 0) module_.F4i5powrot(kOwner, current_);
      break;
    case 5:
      editor_.text = saved_editor_;
      keep_editor = true;
      break;
    default:
      break;
  }
  // The text handed back is used once: a later return from an F3 window
  // that hands nothing back must not put an old list choice into the field.
  return_text_.clear();
  frame_.raised++;
  pst_text_ = " " + result_text_;

  bool rebuilt = false;
  if (kind == 1 || current_ == 0 || frame_.height == 0) {
    Jo();
    rebuilt = true;
  }
  // The remembered position, centred for -7, clamped into the desktop.
  Point16 p = positions_[OptionIndex];
  int dw = host_->DesktopWidth();
  int dh = host_->DesktopHeight();
  if (p.left == -7 || p.top == -7) {
    frame_.left = (dw - frame_.width) / 2;
    frame_.top = (dh - frame_.height) / 2;
  } else {
    frame_.left = p.left;
    frame_.top = p.top;
  }
  frame_.left = std::max(3, std::min(frame_.left, dw - frame_.width - 4));
  frame_.top = std::max(-1, std::min(frame_.top, dh - frame_.height - 4));

  LoadValues();
  if (rebuilt) {
    current_ = 0;
    opening_ = true;
    MoveTo(initial_, +1);
    opening_ = false;
  } else if (current_ > 0 && kind == 5) {
    // Esc in the list: the typed text comes back uncommitted.
    PlaceEditor(current_);
    editor_.text = saved_editor_;
    SelectAll();
    state_ = kZesWaiting;
  } else if (current_ > 0) {
    if (!keep_editor) editor_.text = std::string(SlotValue(current_));
    opening_ = true;
    MoveTo(current_, +1);
    opening_ = false;
    if (next_after && current_ > 0) MoveTo(current_ + 1, +1);
  }
  if (kind == 4) {
    const char request = list_request_;
    list_request_ = 0;
    if ((request == 'D' || request == 'R') && current_ > 0 && state_ == kZesWaiting &&
        !last_commit_corrected_) {
      MoveTo(current_ + 1, +1);
      if (request == 'D' && current_ > 0 && state_ == kZesWaiting) {
        SetEditorText("");
        Run(kRunGo);
      }
    }
  }
  if (OptionIndex == 2) {
    Run(kRunSave);
    return;
  }
  // The role letters "W" and, where the business module agrees, "O" (the
  // operator) do not keep a parameter window: it closes right after opening.
  if (kind == 1 && state_ != kZesRunning && frame_.height > 0) {
    char letter = host_->UserLetter();
    if (letter == 'W' || (letter == 'O' && module_.nDlaOper(kOwner))) Close();
  }
}

void FZestaw::RestoreF3Position() {
  if (!f3_saved_) return;
  OpenAt = f3_open_at_;
  f3_saved_ = false;
}

void FZestaw::Activate() {
  int dw = host_->DesktopWidth();
  int dh = host_->DesktopHeight();
  frame_.left = std::max(3, std::min(frame_.left, dw - frame_.width - 4));
  frame_.top = std::max(-1, std::min(frame_.top, dh - frame_.height - 4));
  if (state_ == kZesRunning || state_ == kZesAbort) return;
  if (state_ == kZesMemo) state_ = kZesWaiting;
  opening_ = true;
  MoveTo(current_ == 0 ? 1 : current_, +1);
  opening_ = false;
}

void FZestaw::ClickEsc() {
  if (state_ == kZesBusy || state_ == kZesRunning || state_ == kZesAbort) {
    state_ = kZesAbort;
    escaped_in_run_ = true;
    return;
  }
  Close();
}

void FZestaw::Close() {
  std::uint8_t index = OptionIndex;
  positions_[index] = Point16{static_cast<std::int16_t>(frame_.left),
                              static_cast<std::int16_t>(frame_.top)};
  frame_.height = 0;
  editor_.visible = false;
  fbutton_.visible = false;
  memo_shown_ = false;
  state_ = kZesIdle;
  OptionIndex = 0;
  if (host_->FirstStartMode()) Status("Rezygnujesz ? Zapraszam następnym razem !"_w, kInfo);
  host_->Closed(index);
}

void FZestaw::DoubleClickTitle() {
  Status("Domyślne położenie tego okna będzie niedługo"_w, kSuccess);
}

// ---- values ----

void FZestaw::LoadValues() {
  for (int s = 1; s <= fields_.SlotCount(); ++s) LoadSlot(s);
}

void FZestaw::ReloadValues() {
  LoadValues();
  if (current_ > 0 && current_ <= fields_.SlotCount() &&
      editor_.text != fields_.Slot(current_).value.view()) {
    SetEditorText(fields_.Slot(current_).value.view());
  }
}

void FZestaw::ShowValuesAgain(bool rows_from_top) {
  if (rows_from_top) first_row_ = 1;
  LoadValues();
  if (fields_.Table().header_slot != 0) Reload();
}

void FZestaw::LoadSlot(int slot) {
  const FieldSlot& fs = fields_.Slot(slot);
  if (fs.number == 0 || fs.panel_width == 0) return;
  if (IsWindowHeld(fs.number)) {
    PutValue(slot, WindowValue(fs.number, host_));
  } else {
    module_.nZmien2poA(kOwner, slot);
  }
}

void FZestaw::PutValue(int slot, std::string_view raw) {
  if (slot < 1 || slot > fields_.SlotCount()) return;
  FieldSlot& fs = fields_.Slot(slot);
  fs.value = raw;
  if (IsDayField(fs.number)) {
    fs.panel = raw.empty() ? std::string() : DayToText8(DayFromDdMmYy(raw));
    panel_right_[static_cast<std::size_t>(slot)] = false;
  } else if (fs.number == 2 || fs.number == 176 || (fs.number >= 33 && fs.number <= 35)) {
    fs.panel = std::string(std::min<std::size_t>(raw.size(), 50), '@');
    panel_right_[static_cast<std::size_t>(slot)] = false;
  } else {
    PanelLook look = PanelFor(raw);
    fs.panel = look.text;
    panel_right_[static_cast<std::size_t>(slot)] = look.right;
  }
}

}  // namespace zel
