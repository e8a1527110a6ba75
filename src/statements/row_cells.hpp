// Private to the settlement statements: cells of report rows made without
// a string per cell.
#pragma once

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/numbers.hpp"
#include "common/types.hpp"

namespace zel {

// A whole number as a cell: empty for 0, else its digits cut to `cap`
// characters.
class IntCell {
 public:
  IntCell() = default;
  explicit IntCell(std::int64_t v, std::size_t cap = 20) {
    if (v == 0) return;
    const auto res = std::to_chars(text_, text_ + sizeof text_, v);
    size_ = std::min<std::size_t>(static_cast<std::size_t>(res.ptr - text_), cap);
  }
  std::string_view view() const { return {text_, size_}; }
  std::size_t size() const { return size_; }

 private:
  char text_[24] = {};
  std::size_t size_ = 0;
};

// An amount of the standard column (Amount15) as a cell: its text without
// the padding, written into the cell's own buffer.
class AmountCell {
 public:
  explicit AmountCell(Amount x) : size_(AmountCellTo(x, 15, text_)) {}
  std::string_view view() const { return {text_, size_}; }

 private:
  char text_[20];
  std::size_t size_;
};

// The text of a day as `format` writes it, kept for the days met before: a
// report repeats the few hundred days of its year in every row. Each column
// has its own cache, so the texts of one row never push each other out.
class DayTextCache {
 public:
  explicit DayTextCache(std::string (*format)(DayNo)) : format_(format) {}
  std::string_view Of(DayNo d) {
    Entry& e = entries_[d & (kSize - 1)];
    if (!e.set || e.day != d) {
      e.text = format_(d);
      e.day = d;
      e.set = true;
    }
    return e.text;
  }

 private:
  static constexpr std::size_t kSize = 1024;
  struct Entry {
    DayNo day = 0;
    bool set = false;
    std::string text;
  };
  std::string (*format_)(DayNo);
  std::vector<Entry> entries_ = std::vector<Entry>(kSize);
};

}  // namespace zel
