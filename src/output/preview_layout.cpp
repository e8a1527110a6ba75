#include "output/preview_layout.hpp"

#include <algorithm>
#include <cmath>

namespace zel {

std::vector<PreviewColumn> PreviewColumns(const ReportDocument& doc, double a) {
  std::vector<PreviewColumn> cols(static_cast<std::size_t>(doc.ColumnCount()));
  for (int i = 1; i <= doc.ColumnCount(); ++i) {
    PreviewColumn& c = cols[static_cast<std::size_t>(i - 1)];
    c.w = static_cast<int>(std::lround(a * (doc.Column(i).width + 3)));
    c.x = i == 1 ? 4 : cols[static_cast<std::size_t>(i - 2)].x +
                           cols[static_cast<std::size_t>(i - 2)].w + 6;
  }
  for (int i = 1; i <= doc.ColumnCount(); ++i) {
    PreviewColumn& c = cols[static_cast<std::size_t>(i - 1)];
    const char kind = doc.Column(i).kind;
    const int next_w = i < doc.ColumnCount() ? cols[static_cast<std::size_t>(i)].w : 0;
    c.box = kind != 'd';
    c.box_x = c.x - 2;
    c.background_w = c.w;
    if (kind == 'b') {
      c.box_w = c.w + next_w + 10;
      c.heading1_w = c.w + next_w + 6;
      c.background_w = c.w + 6;
    } else if (kind == 'd') {
      c.box_w = 0;
      c.heading1_w = 0;
    } else {
      c.box_w = c.w + 4;
      c.heading1_w = c.w;
    }
  }
  return cols;
}

int PreviewTableWidth(const std::vector<PreviewColumn>& columns) {
  if (columns.empty()) return 3;
  return columns.back().x + columns.back().w + 3;
}

PreviewRows PreviewRowsToDraw(std::int32_t top, std::int32_t row_count, int h, int panel_height) {
  PreviewRows rows;
  top = std::max<std::int32_t>(top, 1);
  rows.last = std::min<std::int32_t>(top + 99, row_count);
  while (static_cast<std::int64_t>(rows.last - top + 5) * h + 4 < panel_height - 10 && top > 1) {
    --top;
  }
  rows.top = top;
  rows.last = std::min<std::int32_t>(rows.last, top + kPreviewMaxRowsPerPass - 1);
  return rows;
}

std::uint32_t PreviewRowBackground(std::int32_t row) {
  return (row - 1) % 10 > 4 ? kPreviewBand : kPreviewSurface;
}

std::uint32_t PreviewTextColour(const ReportPreview& preview, std::int32_t row) {
  if (row == preview.MarkedRow()) return kPreviewRed;
  if (row < preview.RangeFirst() || row > preview.RangeLast()) return kPreviewGrey;
  return kPreviewBlack;
}

PreviewCell FitPreviewCell(std::string_view text, char kind, int width,
                           const std::function<int(std::string_view)>& measure) {
  constexpr char kMarker = static_cast<char>(254);
  std::string t(text.substr(0, std::min<std::size_t>(text.size(), 250)));
  char align = (kind == 'b' || kind == 'd' || kind == 'p') ? 'r' : kind == 'c' ? 'c' : 'l';
  const std::size_t first = t.find(kMarker);
  if (first != std::string::npos) {
    t.erase(first, 1);
    align = 'r';
    const std::size_t second = t.find(kMarker, first);
    if (second != std::string::npos) {
      t.resize(second);
      align = 'l';
    }
  }
  PreviewCell cell;
  cell.text = " " + t + " ";
  int tw = measure(cell.text);
  while (!cell.text.empty() && tw > width) {
    cell.text.pop_back();
    tw = measure(cell.text);
  }
  const int right = width - tw;
  cell.x = align == 'r' ? right : align == 'c' ? right / 2 : 0;
  return cell;
}

}  // namespace zel
