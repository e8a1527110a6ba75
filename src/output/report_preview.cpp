#include "output/report_preview.hpp"

#include <algorithm>

#include "common/cp1250.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "shell/status.hpp"

namespace zel {

namespace {

// FoldPl, then ASCII upper case: the form rows and search texts are compared in.
std::string FoldUpper(std::string_view text) {
  std::string s = FoldPl(text);
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}

}  // namespace

std::string_view PageMarkCaption(PageMark item) {
  static const std::string kCaptions[] = {
      "&Od tego miejsca - zaznacz"_w,   "&Do tego miejsca - zaznacz"_w,
      "&1 stronę /tu start/ - zaznacz"_w, "1 poziomą /tu start/ -zaznacz"_w,
      "&2 strony /tu start/ - zaznacz"_w, "2 poziome /tu start/ - zaznacz"_w,
      "&3 strony /tu start/ - zaznacz"_w, "3 poziome /tu start/ - zaznacz"_w,
      "&4 strony /tu start/ - zaznacz"_w, "4 pejzaże /tu start/ - zaznacz"_w,
      "&Całe zestawienie - zaznacz"_w,  "&Poziomą /tu koniec/ zaznacz"_w,
      "&Stronę /tu koniec/ - zaznacz"_w};
  return kCaptions[static_cast<int>(item)];
}

ReportPreview::ReportPreview(const ReportDocument& doc) : doc_(doc) {}

void ReportPreview::Reset() {
  index_built_ = false;
  index_.clear();
  index_.shrink_to_fit();
  index_offsets_.clear();
  index_offsets_.shrink_to_fit();
  marked_ = 0;
  top_ = 1;
}

void ReportPreview::Finish(std::int32_t portrait_rows, std::int32_t landscape_rows) {
  portrait_rows_ = portrait_rows;
  landscape_rows_ = landscape_rows;
  ShowStatus("Wierszy na str: " + std::to_string(portrait_rows) + " / " +
                 std::to_string(landscape_rows),
             kInfo);
  marked_ = 0;
  caption_ = " * Kelto-Soft * " + std::string(doc_.Title()) + " * " +
             std::string(doc_.Subtitle()) + " *";
  wp_ = std::string("1");
  wk_ = std::to_string(RowCount());
  top_ = 1;
}

void ReportPreview::SetTopRow(std::int32_t top) { top_ = std::max<std::int32_t>(top, 1); }

std::int32_t ReportPreview::RangeFirst() const { return ParseInt(wp_); }
std::int32_t ReportPreview::RangeLast() const { return ParseInt(wk_); }

void ReportPreview::SetRange(std::int64_t first, std::int64_t last) {
  const std::int64_t n = std::max<std::int64_t>(RowCount(), 1);
  first = std::clamp<std::int64_t>(first, 1, n);
  last = std::clamp<std::int64_t>(last, 1, n);
  if (first > last) std::swap(first, last);
  wp_ = std::to_string(first);
  wk_ = std::to_string(last);
  marked_ = 0;
}

bool ReportPreview::InRange(std::int32_t row) const {
  return row >= RangeFirst() && row <= RangeLast();
}

void ReportPreview::EnterSearchField() {
  if (fi_.starts_with("...") || fi_.starts_with(" ...")) fi_.clear();
}

void ReportPreview::BuildIndex() {
  index_.clear();
  index_offsets_.clear();
  index_offsets_.reserve(static_cast<std::size_t>(RowCount()) + 1);
  index_offsets_.push_back(0);
  const int cols = std::max(doc_.ColumnCount(), 1);
  for (std::int32_t r = 1; r <= RowCount(); ++r) {
    for (int c = 1; c <= cols; ++c) {
      index_ += ' ';
      std::string_view cell = doc_.Cell(r, c);
      if (!cell.empty()) index_ += FoldUpper(cell);
    }
    index_offsets_.push_back(index_.size());
  }
  index_built_ = true;
  index_generation_ = doc_.Generation();
}

bool ReportPreview::RowMatches(std::int32_t row, std::string_view key) const {
  std::size_t from = static_cast<std::size_t>(index_offsets_[static_cast<std::size_t>(row - 1)]);
  std::size_t to = static_cast<std::size_t>(index_offsets_[static_cast<std::size_t>(row)]);
  return std::string_view(index_).substr(from, to - from).find(key) != std::string_view::npos;
}

bool ReportPreview::Search(bool forward) {
  if (drawing_) return false;
  fi_ = FoldUpper(fi_);
  const std::string key = fi_;
  if (!index_built_ || index_generation_ != doc_.Generation() ||
      index_offsets_.size() != static_cast<std::size_t>(RowCount()) + 1) {
    BuildIndex();
  }
  const std::int32_t n = RowCount();
  if (n == 0) {
    ShowStatus("Nie ma " + key, kWarning);
    return false;
  }
  const bool none_marked = marked_ < 1 || marked_ > n;
  const std::int32_t start = none_marked ? (forward ? n : 1) : marked_;
  std::int32_t r = start;
  bool found = false;
  for (;;) {
    r = forward ? (r == n ? 1 : r + 1) : (r == 1 ? n : r - 1);
    if (r == start) {
      // With no row marked the start row has not been looked at yet: it is
      // the last row (forward) or row 1 (backward) and may hold the text.
      found = none_marked && RowMatches(r, key);
      break;
    }
    if (RowMatches(r, key)) {
      found = true;
      break;
    }
  }
  marked_ = r;
  if (!found) ShowStatus("Nie ma " + key, kWarning);
  CentreOnMarked();
  return found;
}

bool ReportPreview::SearchForward() { return Search(true); }
bool ReportPreview::SearchBackward() { return Search(false); }

void ReportPreview::CentreOnMarked() {
  std::int32_t top = marked_ - visible_ / 2;
  top = std::min(top, RowCount() - visible_ + 2);
  top_ = std::max<std::int32_t>(top, 1);
}

void ReportPreview::ApplyPageMark(PageMark item, std::int32_t m) {
  const std::int64_t p = portrait_rows_;
  const std::int64_t l = landscape_rows_;
  const std::int64_t mm = m;
  switch (item) {
    case PageMark::MeBeg: SetRange(mm, RangeLast()); break;
    case PageMark::MeEnd: SetRange(RangeFirst(), mm); break;
    case PageMark::MePa1: SetRange(mm, mm + p - 1); break;
    case PageMark::MeLa1: SetRange(mm, mm + l - 1); break;
    case PageMark::MePa2: SetRange(mm, mm + 2 * p - 1); break;
    case PageMark::MeLa2: SetRange(mm, mm + 2 * l - 1); break;
    case PageMark::MePa3: SetRange(mm, mm + 3 * p - 1); break;
    case PageMark::MeLa3: SetRange(mm, mm + 3 * l - 1); break;
    case PageMark::MePa4: SetRange(mm, mm + 4 * p - 1); break;
    case PageMark::MeLa4: SetRange(mm, mm + 4 * l - 1); break;
    case PageMark::MeRap: SetRange(1, RowCount()); break;
    case PageMark::MeLan: SetRange(mm - l + 1, mm); break;
    case PageMark::MePag: SetRange(mm - p + 1, mm); break;
  }
}

void ReportPreview::ClickRow(std::int32_t r) {
  if (fi_.find(" ... ") == std::string::npos) {
    fi_ = " ... od ... ";
    return;
  }
  if (r < 1 || r > RowCount()) return;
  if (marked_ == 0) {
    marked_ = r;
  } else {
    SetRange(marked_, r);
  }
}

std::int32_t ReportPreview::ScrollTo(std::int32_t position) {
  if (drawing_) return top_;
  top_ = std::max<std::int32_t>(std::min(position, ScrollMax() - page_size_ + 1), 1);
  return top_;
}

std::int32_t ReportPreview::ScrollByKey(ScrollKey key) {
  if (drawing_) return top_;
  const std::int32_t m = ScrollMax();
  const std::int32_t s = page_size_;
  const std::int32_t p = top_;
  std::int32_t t = p;
  switch (key) {
    case ScrollKey::PgUp: t = p > s ? p - s : 1; break;
    case ScrollKey::PgDn: t = p >= m - 2 * s + 1 ? m - s + 1 : p + s; break;
    case ScrollKey::Home: t = 1; break;
    case ScrollKey::End: t = m - s + 1; break;
    case ScrollKey::Up: t = p > 1 ? p - 1 : p; break;
    case ScrollKey::Down: t = p < m - s + 1 ? p + 1 : p; break;
  }
  top_ = std::max<std::int32_t>(t, 1);
  return top_;
}

std::int32_t ReportPreview::Wheel(bool down) {
  if (drawing_) return top_;
  const std::int32_t m = ScrollMax();
  if (down) {
    top_ = std::max<std::int32_t>(top_ + 5 < m ? top_ + 5 : m, 1);
  } else {
    top_ = top_ < 6 ? 1 : top_ - 5;
  }
  return top_;
}

bool ReportPreview::RequestClose() {
  if (exporting_) {
    abort_requested_ = true;
    return false;
  }
  return true;
}

bool ReportPreview::RangeEditRedraws() const {
  return !exporting_ || RangeFirst() % 100000 == 0;
}

bool JpkButtonEnabled(std::string_view menu_position) {
  return menu_position == "DD" || menu_position == "EA";
}

ReportPreview& CurrentPreview() {
  static ReportPreview preview(CurrentReport());
  return preview;
}

}  // namespace zel
