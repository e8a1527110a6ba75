#include "output/print_layout.hpp"

#include <algorithm>
#include <cmath>

namespace zel {

namespace {

constexpr char kMarker = static_cast<char>(254);
constexpr int kLargestSize = 29;
// The large font is searched upwards from the normal one; a probe whose
// height never grows stops here.
constexpr int kSizeCeiling = 400;

}  // namespace

PrintLayout ComputePrintLayout(const ReportDocument& doc, int page_w, int page_h, bool landscape,
                               FontProbe& probe) {
  PrintLayout p;
  p.landscape = landscape;
  p.right = page_w - 2;
  p.bottom = page_h - 2;
  p.unit = std::max(1, std::min(p.right, p.bottom) / 2000);
  p.left = landscape ? 1 : p.right / 15;
  p.top = landscape ? p.bottom / 15 : 1;
  p.usable_w = p.right - p.left;
  p.usable_h = p.bottom - p.top;
  std::int64_t chars = 0;
  for (int i = 1; i <= doc.ColumnCount(); ++i) chars += doc.Column(i).width + 2;
  p.chars = static_cast<int>(std::max<std::int64_t>(chars, 100));

  p.normal_size = 1;
  for (int size = kLargestSize; size >= 1; --size) {
    const std::int64_t w =
        static_cast<std::int64_t>(probe.TextWidth(kPrintSample, size)) * p.chars / 50;
    if (w < p.usable_w) {
      p.normal_size = size;
      break;
    }
  }
  p.text_h = probe.TextHeight(p.normal_size);
  p.large_size = p.normal_size;
  for (int size = p.normal_size; size <= kSizeCeiling; ++size) {
    if (probe.TextHeight(size) > 1.3 * p.text_h) {
      p.large_size = size;
      break;
    }
  }

  p.char_w = p.usable_w / p.chars;
  p.spare = p.usable_w - p.char_w * p.chars;

  int h = static_cast<int>(std::lround(p.text_h * 1.1));
  std::int64_t n = h >= 1 && p.usable_h > 300 ? p.usable_h / h - 7 : 50;
  p.rows = static_cast<std::int32_t>(std::clamp<std::int64_t>(n, 1, 1000000));
  h = std::max(h, 1);
  const std::int64_t lines = p.rows + 7;
  while (lines * h < p.usable_h) ++h;
  while (lines * h > p.usable_h && h > 1) --h;
  p.row_h = h;
  p.top = static_cast<int>(p.bottom - lines * h);
  return p;
}

std::vector<PrintColumn> PrintColumns(const ReportDocument& doc, const PrintLayout& layout) {
  std::vector<PrintColumn> cols(static_cast<std::size_t>(doc.ColumnCount()));
  int x = layout.left;
  for (int i = 1; i <= doc.ColumnCount(); ++i) {
    PrintColumn& c = cols[static_cast<std::size_t>(i - 1)];
    c.x = x;
    c.w = (doc.Column(i).width + 2) * layout.char_w;
    if (i == doc.StretchColumn()) c.w += layout.spare;
    x += c.w;
  }
  return cols;
}

PrintCell FitPrintCell(std::string_view text, char kind, int width, int size, FontProbe& probe) {
  text = text.substr(0, std::min<std::size_t>(text.size(), 250));
  char align = (kind == 'b' || kind == 'd' || kind == 'p') ? 'r' : kind == 'c' ? 'c' : 'l';
  std::string t(text);
  if (std::size_t first = t.find(kMarker); first != std::string::npos) {
    t.erase(first, 1);
    align = 'r';
    if (std::size_t second = t.find(kMarker, first); second != std::string::npos) {
      t.resize(second);
      align = 'l';
    }
  }
  if (t.size() > kReportCellCapacity) t.resize(kReportCellCapacity);
  const bool from_left = !t.empty() && t[0] == ' ';
  int w = probe.TextWidth(t, size);
  while (!t.empty() && w > width) {
    // Cut roughly first, then one character at a time.
    std::size_t drop = 1;
    if (w > 0 && t.size() > 4) {
      const double keep = static_cast<double>(width) / w * static_cast<double>(t.size());
      const auto keep_n = static_cast<std::size_t>(std::max(keep, 1.0));
      if (keep_n + 2 < t.size()) drop = t.size() - keep_n - 1;
    }
    if (from_left) {
      t.erase(0, drop);
    } else {
      t.resize(t.size() - drop);
    }
    w = probe.TextWidth(t, size);
  }
  PrintCell cell;
  const int room = std::max(width - w, 0);
  cell.x = align == 'r' ? room : align == 'c' ? room / 2 : 0;
  cell.text = std::move(t);
  return cell;
}

}  // namespace zel
