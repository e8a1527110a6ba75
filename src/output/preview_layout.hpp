// The geometry of the preview drawing, in pixels, from the report's
// character widths: where each column, heading box and row stands, which
// rows a pass draws, the colours by state, and how a cell's text is fitted.
//
// Pure functions of the document, the preview state and two font metrics
// the view measures (a = width of the 50-character sample / 50, h = text
// height of the sample + 2). The view only paints what these return.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "output/report_document.hpp"
#include "output/report_preview.hpp"

namespace zel {

inline constexpr std::string_view kPreviewSample =
    "1234567890ABCDEFGHIJKLMNOVWXYZabcdefghijklmnovwxyz";
inline constexpr std::uint32_t kPreviewSurface = 0xE0E0E0;   // RGB(224, 224, 224)
inline constexpr std::uint32_t kPreviewBand = 0xD0D7D0;      // RGB(208, 215, 208)
inline constexpr std::uint32_t kPreviewHeadingBox = 0xC0C0C0;  // RGB(192, 192, 192)
inline constexpr std::uint32_t kPreviewGrey = 0x808080;      // RGB(128, 128, 128)
inline constexpr std::uint32_t kPreviewRed = 0xFF0000;
inline constexpr std::uint32_t kPreviewBlack = 0x000000;
inline constexpr int kPreviewMaxRowsPerPass = 135;

struct PreviewColumn {
  int x = 0;             // left edge of the cells
  int w = 0;             // a * (width + 3)
  bool box = false;      // a heading box of its own (none for `d`)
  int box_x = 0;         // heading box: x - 2
  int box_w = 0;         // w + 4, or for `b` w + next w + 10
  int heading1_w = 0;    // heading 1 centred across this from x; 0: none
  int background_w = 0;  // cell background: w, 6 more for `b`
};

std::vector<PreviewColumn> PreviewColumns(const ReportDocument& doc, double a);
// Right edge of the last column + 3.
int PreviewTableWidth(const std::vector<PreviewColumn>& columns);
inline int PreviewHeadingHeight(int h) { return 2 * h + 2; }
inline int PreviewRowY(std::int32_t row, std::int32_t top, int h) {
  return static_cast<int>(row - top + 2) * h + 4;
}

// The rows of one drawing pass: top moved up while the panel would stay
// partly empty, at most 135 rows.
struct PreviewRows {
  std::int32_t top = 1;
  std::int32_t last = 0;
};
PreviewRows PreviewRowsToDraw(std::int32_t top, std::int32_t row_count, int h, int panel_height);

// Bands of five rows: every second band shaded.
std::uint32_t PreviewRowBackground(std::int32_t row);
// Red for the marked row, grey outside WP..WK, black otherwise.
std::uint32_t PreviewTextColour(const ReportPreview& preview, std::int32_t row);

// A cell fitted into `width` pixels: cut at 250 characters, the 254 markers
// applied, one space on each side, characters lost from the right until the
// measured width fits; `x` is the offset from the column's left edge by the
// alignment (`b`, `d`, `p` and a single marker right, `c` centred, others
// and a second marker left).
struct PreviewCell {
  std::string text;
  int x = 0;
};
PreviewCell FitPreviewCell(std::string_view text, char kind, int width,
                           const std::function<int(std::string_view)>& measure);

}  // namespace zel
