#include "output/viewer_layout.hpp"

#include <algorithm>
#include <cmath>
#include <random>

#include "common/concat.hpp"
#include "common/cp1250.hpp"

namespace zel {

namespace {

// Pixel positions far outside any device are held at a bound the device
// still takes, instead of overflowing.
int ClampPixel(double v) {
  constexpr double kBound = 100'000'000;
  return static_cast<int>(std::lround(std::clamp(v, -kBound, kBound)));
}

bool IsText(char c) {
  return c == 'T' || c == 'C' || c == 'P' || c == 't' || c == 'c' || c == 'p';
}
bool IsMeasured(char c) {
  return IsText(c) || c == 'L' || c == 'G' || c == 'K';
}

// Adds a command's corners (its Y moved by `offset`) to an extent.
void Measure(const ViewerCommand& c, std::int64_t offset, ViewerExtent* e) {
  std::int64_t third = IsText(c.letter) ? (static_cast<std::int64_t>(c.y2) - c.y1) / 3 : 0;
  e->Add(c.x1, c.y1 + offset - third);
  e->Add(c.x2, c.y2 + offset + third);
}

// Boxes of the first 50 "K" commands count for the texts' backgrounds.
constexpr std::size_t kBackgroundBoxes = 50;
constexpr int kBackgroundSlack = 3;
constexpr int kMaxFont = 4000;

}  // namespace

void ViewerExtent::Add(std::int64_t x, std::int64_t y) {
  auto clamp = [](std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN / 2, INT_MAX / 2));
  };
  x_min = std::min(x_min, clamp(x));
  x_max = std::max(x_max, clamp(x));
  y_min = std::min(y_min, clamp(y));
  y_max = std::max(y_max, clamp(y));
}

int ViewerPlacement::X(std::int64_t units) const {
  if (!paper) return ClampPixel(static_cast<double>(units * zoom / 5 + 3));
  return margin_x + ClampPixel((static_cast<double>(units - origin_x) + 0.5) * factor);
}

int ViewerPlacement::Y(std::int64_t units) const {
  if (!paper) return ClampPixel(static_cast<double>(units * zoom / 5 + 3));
  return margin_y + ClampPixel((static_cast<double>(units - origin_y) + 0.5) * factor);
}

int FitViewerFont(FontProbe& probe, std::string_view text, int box_w, int box_h) {
  auto loose = [&](int s) {
    return probe.TextHeight(s) <= box_h && probe.TextWidth(text, s) <= box_w;
  };
  auto tight = [&](int s) {
    return probe.TextHeight(s) < box_h && probe.TextWidth(text, s) < box_w;
  };
  int s = 31;
  if (loose(s)) {
    // Growing one size at a time would take hundreds of steps in a large box
    // on a 600 dpi page; the sizes only grow the text, so the first size that
    // no longer fits is found by doubling the step and then halving it.
    int lo = s, hi = s + 1, step = 1;
    while (hi < kMaxFont && loose(hi)) {
      lo = hi;
      step *= 2;
      hi = std::min(kMaxFont, s + step);
    }
    if (hi >= kMaxFont && loose(kMaxFont)) return kMaxFont;
    while (hi - lo > 1) {
      const int mid = lo + (hi - lo) / 2;
      (loose(mid) ? lo : hi) = mid;
    }
    s = hi;
  }
  while (s > 1 && !tight(s)) --s;
  return s;
}

ViewerLayout::ViewerLayout(const std::vector<std::string>& lines, std::uint32_t seed) {
  const std::vector<std::string> kept = LimitViewerLines(lines, &notice_);
  std::minstd_rand random(seed == 0 ? 1u : seed);
  auto digit = [&random] { return static_cast<int>(random() >> 7); };
  items_.reserve(kept.size());
  part_tops_.push_back(0);
  part_items_.push_back(0);
  std::int64_t offset = 0;
  ViewerExtent before;  // what was measured up to the current line
  for (const std::string& line : kept) {
    Item it;
    it.cmd = ParseViewerLine(line);
    const char c = it.cmd.letter;
    if (c == 'N') {
      offset = (before.y_max == INT_MIN ? 0 : before.y_max) + std::int64_t{10};
      offset = std::clamp<std::int64_t>(offset, INT_MIN / 2, INT_MAX / 2);
      part_tops_.push_back(static_cast<int>(offset));
      part_items_.push_back(0);
    }
    if (!IsMeasured(c) && c != 'N') continue;
    it.part = static_cast<int>(part_tops_.size()) - 1;
    it.offset = static_cast<int>(offset);
    if (c == 'K') {
      it.colour = ViewerBoxColour(it.cmd.text, digit);
      box_colours_.push_back(it.colour);
    }
    if (IsMeasured(c)) {
      Measure(it.cmd, offset, &before);
      Measure(it.cmd, 0, &page_extent_);
      ++part_items_.back();
    }
    items_.push_back(std::move(it));
  }
  extent_ = before;
}

int ViewerLayout::PartTop(int part) const {
  if (part <= 0 || part >= Parts()) return 0;
  return part_tops_[static_cast<std::size_t>(part)];
}

std::uint32_t ViewerLayout::BoxColour(std::size_t i) const {
  return i < box_colours_.size() ? box_colours_[i] : 0;
}

std::uint32_t ViewerLayout::TextBackground(const Item& text) const {
  const std::int64_t x = text.cmd.x1;
  const std::int64_t y = static_cast<std::int64_t>(text.cmd.y1) + text.offset;
  std::uint32_t back = kViewerTextBack;
  std::size_t boxes = 0;
  for (const Item& it : items_) {
    if (it.cmd.letter != 'K') continue;
    if (boxes++ == kBackgroundBoxes) break;
    const std::int64_t ky1 = static_cast<std::int64_t>(it.cmd.y1) + it.offset;
    const std::int64_t ky2 = static_cast<std::int64_t>(it.cmd.y2) + it.offset;
    const std::int64_t left = std::min(it.cmd.x1, it.cmd.x2) - kBackgroundSlack;
    const std::int64_t right = std::max(it.cmd.x1, it.cmd.x2) + kBackgroundSlack;
    const std::int64_t top = std::min(ky1, ky2) - kBackgroundSlack;
    const std::int64_t bottom = std::max(ky1, ky2) + kBackgroundSlack;
    // The later box lies over the earlier one, so its colour is the one seen.
    if (x >= left && x <= right && y >= top && y <= bottom) back = it.colour;
  }
  return back;
}

void ViewerLayout::Draw(PageCanvas& canvas, const ViewerPlacement& at, char copy, int part) const {
  auto wanted = [part](const Item& it) { return part < 0 || it.part == part; };
  auto y_of = [part](const Item& it, int y) {
    return part < 0 ? static_cast<std::int64_t>(y) + it.offset : static_cast<std::int64_t>(y);
  };
  // Pass 1: the "K" rectangles.
  for (const Item& it : items_) {
    if (it.cmd.letter != 'K' || !wanted(it)) continue;
    const int x1 = at.X(it.cmd.x1), x2 = at.X(it.cmd.x2);
    const int y1 = at.Y(y_of(it, it.cmd.y1)), y2 = at.Y(y_of(it, it.cmd.y2));
    canvas.Fill(std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1), std::abs(y2 - y1),
                it.colour);
  }
  // Pass 2: the texts.
  const int inset = at.paper ? at.pen : 3;
  FontProbe::Face face = FontProbe::Face::kPrint;
  bool bold = false;
  for (const Item& it : items_) {
    const char c = it.cmd.letter;
    if (!IsText(c) || !wanted(it)) continue;
    std::string text = WithCopyName(it.cmd.text, copy);
    bool blue = false;
    if (text.starts_with("~~")) {
      text.erase(0, 1);
    } else if (text.starts_with('~')) {
      text.erase(0, 1);
      blue = true;
    }
    if (text.empty()) continue;
    FontProbe::Face want =
        (c == 't' || c == 'c' || c == 'p') ? FontProbe::Face::kSansHeavy : FontProbe::Face::kSans;
    bool want_bold = blue;
    if (text == "X") {
      want = FontProbe::Face::kSansHeavy;
      want_bold = true;
    }
    if (want != face || want_bold != bold) {
      canvas.SetFace(want, want_bold);
      face = want;
      bold = want_bold;
    }
    const int bx = at.X(it.cmd.x1);
    const int by = at.Y(y_of(it, it.cmd.y1));
    const int bw = at.X(it.cmd.x2) - bx;
    const int bh = at.Y(y_of(it, it.cmd.y2)) - by;
    const int size = FitViewerFont(canvas, text, bw, bh);
    const int tw = canvas.TextWidth(text, size);
    const int th = canvas.TextHeight(size);
    const int spare = std::max(0, bw - 2 * inset - tw);
    int x = bx + inset;
    if (c == 'C' || c == 'c') x += spare / 2;
    if (c == 'P' || c == 'p') x += spare;
    const int y = by + inset;
    canvas.Fill(x, y, tw, th, TextBackground(it));
    canvas.Text(x, y, text, size, blue ? kViewerBlue : 0x000000);
  }
  // Pass 3: the lines and the division bars.
  const int pen = at.paper ? at.pen : 1;
  for (const Item& it : items_) {
    const char c = it.cmd.letter;
    if (c == 'L' || c == 'G') {
      if (!wanted(it)) continue;
      const std::uint32_t colour =
          c == 'G' ? kViewerBlue : (at.paper ? kViewerLinePaper : kViewerLineScreen);
      canvas.Line(at.X(it.cmd.x1), at.Y(y_of(it, it.cmd.y1)), at.X(it.cmd.x2),
                  at.Y(y_of(it, it.cmd.y2)), pen, colour);
    } else if (c == 'N' && part < 0) {
      const int y = at.Y(static_cast<std::int64_t>(it.offset) - 5);
      const std::int64_t right = extent_.x_max == INT_MIN ? 1 : extent_.x_max;
      canvas.Line(at.X(1), y, at.X(right - 1), y, at.paper ? at.pen * 7 : 7,
                  at.paper ? kViewerLinePaper : kViewerLineScreen);
    }
  }
}

std::string ViewerLayout::Caption(std::string_view name, int zoom) const {
  auto n = [](int v) { return std::to_string(v); };
  return Concat({"    ", name, "    ws = ", n(zoom), "/5", "    Yo = ", n(extent_.y_min),
                 "    Yz = ", n(extent_.y_max), "    Xo = ", n(extent_.x_min),
                 "    Xz = ", n(extent_.x_max)});
}

bool ViewerPrintsLandscape(const ViewerLayout& layout) {
  const ViewerExtent& e = layout.PageExtent();
  return e.Valid() && e.Height() < e.Width();
}

ViewerPlacement ViewerPaperPlacement(const ViewerLayout& layout, int page_w, int page_h) {
  ViewerPlacement at;
  at.paper = true;
  at.margin_x = page_w / 15;
  at.margin_y = page_h / 15;
  // Along the longer side of the sheet the margin is a fifth of that.
  if (page_h >= page_w) {
    at.margin_y = page_h / 75;
  } else {
    at.margin_x = page_w / 75;
  }
  at.pen = std::max(1, (at.margin_x + at.margin_y) / 60);
  const ViewerExtent& e = layout.PageExtent();
  if (!e.Valid()) return at;
  at.origin_x = e.x_min;
  at.origin_y = e.y_min;
  const double fx = (page_w - at.margin_x - 3.0 * at.pen) / static_cast<double>(e.Width());
  const double fy = (page_h - at.margin_y - 3.0 * at.pen) / static_cast<double>(e.Height());
  at.factor = std::max(0.0, std::min(fx, fy));
  return at;
}

ViewerPrintOutcome PrintViewerPages(const ViewerLayout& layout, std::string_view action_code,
                                    std::string_view title, PageCanvas& canvas) {
  ViewerPrintOutcome out;
  if (!layout.PageExtent().Valid()) {
    out.message = "Dokument jest pusty - nie ma czego drukować"_w;
    return out;
  }
  const ViewerPlacement at = ViewerPaperPlacement(layout, canvas.PageWidth(), canvas.PageHeight());
  // A code without letters still prints the document once, without a copy name.
  const std::string_view copies = action_code.empty() ? std::string_view(" ") : action_code;
  if (!canvas.Begin(title)) {
    canvas.End(false);
    out.message = "Drukarka nie przyjęła dokumentu"_w;
    return out;
  }
  bool ok = true;
  for (char copy : copies) {
    for (int part = 0; part < layout.Parts() && ok; ++part) {
      if (!layout.PartHasDrawing(part)) continue;
      if (out.pages > 0 && !canvas.NewPage()) {
        ok = false;
        break;
      }
      layout.Draw(canvas, at, copy, part);
      ++out.pages;
    }
  }
  out.ok = canvas.End(ok) && ok;
  if (!out.ok) out.message = "Dokument nie został wydrukowany"_w;
  return out;
}

}  // namespace zel
