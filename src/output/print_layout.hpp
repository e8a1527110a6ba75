// The page layout of a printed report: from the page size in device pixels
// and the device's print font, the margins, the font sizes, the row pitch
// and the rows per page; and the geometry of the columns on the page.
//
// The table's characters (each column's width + 2, at least 100 in all)
// must fit the usable width: the normal font is the largest size from 29
// down whose 50-character sample scaled to that count is narrower. The row
// pitch is then stretched so that the rows per page plus seven heading and
// footer lines fill the usable height exactly, and the top margin moves so
// that the page ends at the bottom edge. Every value has a floor: at least
// one row, font size 1 and a 1-pixel thin line, whatever the page.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "output/page_canvas.hpp"
#include "output/report_document.hpp"

namespace zel {

inline constexpr std::string_view kPrintSample =
    "1234567890ABCDEFGHIJKLMNOVWXYZabcdefghijklmnovwxyz";

struct PrintLayout {
  bool landscape = false;
  int right = 0;     // R: page width - 2
  int bottom = 0;    // B: page height - 2
  int unit = 1;      // u: thin pen; 3u the thick one
  int left = 0;      // L
  int top = 0;       // T, after the row pitch is stretched
  int usable_w = 0;  // W = R - L
  int usable_h = 0;  // H = B - T before the stretch
  int chars = 100;   // C
  int normal_size = 1;
  int large_size = 1;
  int text_h = 0;         // h0: text height at the normal size
  int row_h = 1;          // h: row pitch
  std::int32_t rows = 1;  // n: body rows per page
  int char_w = 0;         // k = W / C
  int spare = 0;          // W - k * C, given to the stretch column
};

PrintLayout ComputePrintLayout(const ReportDocument& doc, int page_w, int page_h, bool landscape,
                               FontProbe& probe);

// Column i (0-based here) on the page: its left edge and width.
struct PrintColumn {
  int x = 0;
  int w = 0;
};
std::vector<PrintColumn> PrintColumns(const ReportDocument& doc, const PrintLayout& layout);

// A cell's text as printed inside `width` pixels: the 254 markers applied as
// in the preview (the first one removed makes it right-aligned, a second one
// cuts the text there and makes it left-aligned), at most 100 characters,
// then characters lost until it fits - from the left when it starts with a
// space, otherwise from the right; `x` is its offset by the alignment.
struct PrintCell {
  std::string text;
  int x = 0;
};
PrintCell FitPrintCell(std::string_view text, char kind, int width, int size, FontProbe& probe);

}  // namespace zel
