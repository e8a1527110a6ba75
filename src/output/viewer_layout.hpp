// Drawing a viewer script on a page canvas: the screen of the document
// viewer, a printer or a PDF file.
//
// The script is read once (ViewerLayout) and drawn in four passes: the
// extent is measured (the smallest and largest X and Y of all commands, a
// text box extended above and below by a third of its height), then the "K"
// rectangles are filled, then the texts drawn, then the lines and the bars
// of the "N" page divisions. Commands:
//   T C P   text in the box X1..X2 x Y1..Y2, left, centred, right (regular face)
//   t c p   the same in the heavy face
//   L       line (X1,Y1)-(X2,Y2), brown on the screen, grey on paper
//   G       line in blue
//   K       rectangle filled with the colour its text names
//   N       page division: the following lines count their Y from a line 10
//           units below the largest Y measured before it; on the screen a
//           bar 7 pixels thick lies 5 units above that line
// A text that begins with "~" loses it and is drawn bold in blue ("~~"
// keeps one "~" and is drawn normally); a text that is exactly "X" (a
// ticked box) is drawn in the heavy face, bold. The font is fitted to the
// box; the text stands on its background: the colour of the "K" rectangle
// (of the first 50) that holds the box's top-left corner, give or take 3
// units, else a light grey.
//
// On paper every copy of the action code, and every part between "N"
// divisions, is a page of its own, all scaled by one factor.
#pragma once

#include <climits>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "output/page_canvas.hpp"
#include "output/viewer_script.hpp"

namespace zel {

inline constexpr std::uint32_t kViewerLineScreen = 0xC08060;
inline constexpr std::uint32_t kViewerLinePaper = 0x808080;
inline constexpr std::uint32_t kViewerBlue = 0x0000FF;
inline constexpr std::uint32_t kViewerTextBack = 0xE2E4E5;
inline constexpr int kViewerMinZoom = 4;
inline constexpr int kViewerStartZoom = 30;

struct ViewerExtent {
  int x_min = INT_MAX, x_max = INT_MIN, y_min = INT_MAX, y_max = INT_MIN;
  bool Valid() const { return x_min < x_max && y_min < y_max; }
  std::int64_t Width() const { return static_cast<std::int64_t>(x_max) - x_min; }
  std::int64_t Height() const { return static_cast<std::int64_t>(y_max) - y_min; }
  void Add(std::int64_t x, std::int64_t y);
};

// Where script units land in device pixels.
struct ViewerPlacement {
  bool paper = false;
  int zoom = kViewerStartZoom;  // screen: units x zoom / 5 + 3
  double factor = 1;            // paper: margin + (units - origin + 0.5) x factor, rounded
  int margin_x = 0, margin_y = 0;
  int origin_x = 0, origin_y = 0;
  int pen = 1;  // paper: the lines' pen width

  int X(std::int64_t units) const;
  int Y(std::int64_t units) const;
};

// The font size (FontProbe sizes) of a text in a box w x h pixels: from 31
// it grows while the text is no higher and no wider than the box, then
// shrinks until it is lower and narrower (never below 1).
int FitViewerFont(FontProbe& probe, std::string_view text, int box_w, int box_h);

class ViewerLayout {
 public:
  // `seed` seeds the generator of the colour digits "K" boxes leave out, so
  // that a document keeps its colours from one repaint to the next.
  ViewerLayout(const std::vector<std::string>& lines, std::uint32_t seed);

  // In Polish, what of the script was left out (over 999 lines, over 250
  // characters a line); empty when nothing was.
  const std::string& Notice() const { return notice_; }
  // The measured extent, the "N" divisions applied.
  const ViewerExtent& Extent() const { return extent_; }
  // The parts between "N" divisions, and the extent of all of them laid
  // over each other in their own coordinates (what one printed page holds).
  int Parts() const { return static_cast<int>(part_tops_.size()); }
  const ViewerExtent& PageExtent() const { return page_extent_; }
  // Whether part p draws anything (a trailing "N" leaves an empty part).
  bool PartHasDrawing(int part) const {
    return part >= 0 && part < Parts() && part_items_[static_cast<std::size_t>(part)] > 0;
  }
  // Where part p's coordinates start in the whole drawing (0 for the first).
  int PartTop(int part) const;
  // The colour of the i-th "K" command, in script order.
  std::uint32_t BoxColour(std::size_t i) const;

  // Draws the script with ".orykop." naming `copy`: the whole script with
  // its division bars (part -1), or one part in its own coordinates.
  void Draw(PageCanvas& canvas, const ViewerPlacement& at, char copy, int part = -1) const;

  // The caption: four spaces, the name, then "ws = z/5", "Yo = ", "Yz = ",
  // "Xo = ", "Xz = " with the extent, each after four spaces.
  std::string Caption(std::string_view name, int zoom) const;

 private:
  struct Item {
    ViewerCommand cmd;
    int part = 0;
    int offset = 0;  // added to the command's Y in the whole drawing
    std::uint32_t colour = 0;
  };
  std::uint32_t TextBackground(const Item& text) const;

  std::vector<Item> items_;
  std::vector<int> part_tops_;
  std::vector<int> part_items_;  // commands drawn in each part
  std::vector<std::uint32_t> box_colours_;
  ViewerExtent extent_;
  ViewerExtent page_extent_;
  std::string notice_;
};

// The paper placement of the document on a page w x h: a fifteenth of each
// side as margin, but a seventy-fifth along the longer side; the pen the
// sum of the margins / 60; one factor for both axes so that the largest
// part fits the page.
ViewerPlacement ViewerPaperPlacement(const ViewerLayout& layout, int page_w, int page_h);
// Portrait unless the page extent is wider than high.
bool ViewerPrintsLandscape(const ViewerLayout& layout);

struct ViewerPrintOutcome {
  bool ok = false;
  int pages = 0;
  std::string message;  // Polish, why nothing or not all was printed
};

// Prints from Begin to End: for each letter of the action code (a copy),
// each part on a page of its own. An empty drawing (no extent) is refused
// before the canvas is begun.
ViewerPrintOutcome PrintViewerPages(const ViewerLayout& layout, std::string_view action_code,
                                    std::string_view title, PageCanvas& canvas);

}  // namespace zel
