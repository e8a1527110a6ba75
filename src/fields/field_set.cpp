#include "fields/field_set.hpp"

#include <algorithm>

#include "common/cp1250.hpp"
#include "fields/shell_field_sets.hpp"
#include "menu/current_option.hpp"

namespace zel {

namespace {

std::uint16_t Clamp16(int v) { return static_cast<std::uint16_t>(std::clamp(v, 0, 65535)); }

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

std::string GoCaption(int go_kind) {
  switch (go_kind) {
    case kGoSave: return "Zapisz";
    case kGoRun: return "Wykonaj";
    case kGoWork: return "Do pracy";
    case kGoNow: return "Teraz";
    default: return "Zamknij";
  }
}

std::string MenuPositionTitle(std::string_view position, std::string_view name) {
  if (position.empty()) return std::string(name);
  std::string pos(position.substr(0, 2));
  if (pos.size() == 2 && IsLetter(pos[1])) pos.insert(pos.begin() + 1, '.');
  return pos + " - " + std::string(name);
}

std::string WindowCaption(std::string_view version, std::string_view title) {
  return "  Zel " + std::string(version) + "       " + std::string(title);
}

FieldSet::FieldSet() : slots_(kMaxSlots) {}

void FieldSet::Reset(const TextMetrics& metrics, const FieldAppearance& look, std::uint16_t top) {
  for (int i = 0; i < count_; ++i) slots_[static_cast<std::size_t>(i)] = FieldSlot{};
  count_ = 0;
  metrics_ = &metrics;
  look_ = look;
  y_ = top;
  lines_ = 0;
  widest_right_ = 0;
  begun_ = false;
  go_kind_ = kGoClose;
  title_.clear();
  actions_ = ActionSet{};
  table_ = TableBlock{};
  separators_.clear();
  initial_slot_ = 1;
}

int FieldSet::Width(std::string_view text) const { return metrics_ ? metrics_->TextWidth(text) : 0; }

int FieldSet::LineHeight() const {
  int text = metrics_ ? metrics_->TextHeight("gŃ"_w) : 0;
  return text + 2 * look_.bevel + look_.spacing_y;
}

int FieldSet::PanelWidth(int chars) const {
  if (chars <= 0) return 0;
  if (compact_) return Width("0") * (chars + 1) - 2 + 2 * (look_.bevel + look_.border);
  return Width("N") * (chars + 2) + 2 * (look_.bevel + look_.border);
}

void FieldSet::Begin(int go_kind) { Begin(go_kind, OptionKey.view(), OptionCaption.view()); }

void FieldSet::Begin(int go_kind, std::string_view position, std::string_view name) {
  begun_ = true;
  go_kind_ = std::clamp(go_kind, 0, 4);
  title_ = MenuPositionTitle(position, name);
}

void FieldSet::SetActionSet(std::uint8_t flags, std::string_view key) {
  actions_.declared = true;
  actions_.flags = flags;
  actions_.key = key;
}

void FieldSet::SetActionKey(std::string_view key) { actions_.key = key; }

bool FieldSet::AddSlot(const FieldDecl& field, int& x) {
  if (count_ >= kMaxSlots) return false;
  FieldSlot& slot = slots_[static_cast<std::size_t>(count_)];
  ++count_;
  slot = FieldSlot{};
  bool wide_gap = !field.caption.empty() && field.caption != "-";
  x += wide_gap ? look_.margin_x : look_.spacing_x;
  slot.label = field.caption;
  slot.label_left = Clamp16(x);
  if (!field.caption.empty()) {
    slot.label_width = Clamp16(Width(slot.label.view()));
    x += slot.label_width + look_.spacing_x;
  }
  slot.number = field.number;
  slot.code = field.code;
  slot.panel = kPlaceholder;
  slot.top = y_;
  slot.line = Clamp16(lines_ + 1);
  slot.max_length = Clamp16(std::clamp(field.width, 0, kSlotValueCapacity));
  slot.left = Clamp16(x);
  slot.panel_width = Clamp16(PanelWidth(field.width));
  x += slot.panel_width;
  slot.right = Clamp16(x);
  widest_right_ = std::max(widest_right_, slot.right);
  NoteDeclaredField(field.number);
  return true;
}

bool FieldSet::Line(const std::vector<FieldDecl>& fields) {
  int x = compact_ ? 5 : 4;
  int before = count_;
  for (const FieldDecl& field : fields) AddSlot(field, x);
  // A line of which nothing fitted takes no room in the window.
  if (count_ > before) {
    ++lines_;
    y_ = Clamp16(y_ + LineHeight());
  }
  return count_ - before == static_cast<int>(fields.size());
}

bool FieldSet::Caption(std::string_view text) { return Line({FieldDecl{std::string(text), "", 0, 0}}); }

bool FieldSet::Separator() {
  if (static_cast<int>(separators_.size()) >= kMaxSeparators) return false;
  separators_.push_back(y_);
  y_ = Clamp16(y_ + (compact_ ? look_.spacing_y + 4 : 2 * look_.spacing_y + 3));
  return true;
}

void FieldSet::SetTableRows(int rows) { table_.visible_rows = static_cast<std::uint8_t>(std::clamp(rows, 1, 40)); }

bool FieldSet::AddTableBlock(std::string_view titles, const std::vector<FieldDecl>& columns,
                             bool numbered) {
  bool all = Caption(titles);
  std::uint16_t header = static_cast<std::uint16_t>(count_);
  for (int row = 1; row <= table_.visible_rows; ++row) {
    std::vector<FieldDecl> line = columns;
    if (numbered && !line.empty()) {
      std::string number = std::to_string(row);
      line.front().caption = std::string(number.size() < 5 ? 5 - number.size() : 0, ' ') + number;
    }
    all = Line(line) && all;
  }
  all = Caption("Suma") && all;
  if (all) {
    table_.header_slot = header;
    table_.footer_slot = static_cast<std::uint16_t>(count_);
    table_.columns = static_cast<std::uint8_t>(columns.size());
  }
  return all;
}

void FieldSet::DisplayOnly(std::initializer_list<int> numbers, bool display_only) {
  for (int i = 0; i < count_; ++i) {
    FieldSlot& slot = slots_[static_cast<std::size_t>(i)];
    if (std::find(numbers.begin(), numbers.end(), slot.number) != numbers.end())
      slot.display_only = display_only;
  }
}

void FieldSet::SetInitialSlot(std::uint16_t slot) { initial_slot_ = slot; }

FieldSlot& FieldSet::Slot(int i) {
  if (i < 1 || i > kMaxSlots) {
    scratch_ = FieldSlot{};
    return scratch_;
  }
  return slots_[static_cast<std::size_t>(i - 1)];
}

const FieldSlot& FieldSet::Slot(int i) const {
  static const FieldSlot blank;
  if (i < 1 || i > kMaxSlots) return blank;
  return slots_[static_cast<std::size_t>(i - 1)];
}

int FieldSet::FindSlot(std::int16_t number, int from) const {
  for (int i = std::max(from, 1); i <= count_; ++i)
    if (slots_[static_cast<std::size_t>(i - 1)].number == number) return i;
  return 0;
}

}  // namespace zel
