// A canvas that keeps the draw calls instead of drawing them, with a font
// of fixed proportions: every character is `char_w` × size / 10 pixels wide
// and a line `line_h` × size / 10 high. Tests read the calls back; a canvas
// made with keep = false only counts them (benchmarks of the layout).
// Failures of the device can be staged: Begin, the Nth NewPage, or End.
// Given another probe, texts are measured by it instead (a drawing recorded
// once in a real font and replayed on each repaint).
#pragma once

#include <climits>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "output/page_canvas.hpp"

namespace zel {

struct CanvasCall {
  enum Kind { kBegin, kText, kLine, kFill, kNewPage, kEnd } kind = kText;
  int x = 0, y = 0, x2 = 0, y2 = 0;  // line ends; for a fill x2, y2 are width and height
  int size = 0;                      // text: font size; line: pen width
  std::uint32_t colour = 0;
  FontProbe::Face face = FontProbe::Face::kPrint;  // text: the face and boldness in use
  bool bold = false;
  std::string text;  // text, or the job title of Begin
};

class RecordingCanvas final : public PageCanvas {
 public:
  RecordingCanvas(int page_w, int page_h, int char_w = 6, int line_h = 12, bool keep = true)
      : page_w_(page_w), page_h_(page_h), char_w_(char_w), line_h_(line_h), keep_(keep) {}

  int PageWidth() const override { return page_w_; }
  int PageHeight() const override { return page_h_; }
  void SetFace(Face face, bool bold) override;
  int TextWidth(std::string_view text, int size) override;
  int TextHeight(int size) override;
  bool Begin(std::string_view title) override;
  void Text(int x, int y, std::string_view text, int size, std::uint32_t colour) override;
  void Line(int x1, int y1, int x2, int y2, int pen, std::uint32_t colour) override;
  void Fill(int x, int y, int w, int h, std::uint32_t colour) override;
  bool NewPage() override;
  bool End(bool ok) override;

  // Staged failures: Begin answers false; the Nth NewPage (1-based) answers
  // false; End answers false.
  bool fail_begin = false;
  int fail_new_page = 0;
  bool fail_end = false;

  void MeasureWith(FontProbe* probe) { probe_ = probe; }

  const std::vector<CanvasCall>& Calls() const { return calls_; }
  std::int64_t CallCount() const { return count_; }
  int Pages() const { return pages_; }
  bool Ended() const { return ended_; }
  bool EndedOk() const { return ended_ok_; }
  // The texts drawn on page p (1-based), in drawing order.
  std::vector<std::string> TextsOnPage(int p) const;

 private:
  void Keep(CanvasCall call);

  int page_w_, page_h_, char_w_, line_h_;
  bool keep_;
  FontProbe* probe_ = nullptr;
  Face face_ = Face::kPrint;
  bool bold_ = false;
  std::vector<CanvasCall> calls_;
  std::int64_t count_ = 0;
  int pages_ = 0;
  int new_pages_ = 0;
  bool ended_ = false;
  bool ended_ok_ = false;
};

// Draws recorded calls on another canvas: texts, lines and fills (with the
// faces they were recorded in); Begin, NewPage and End are left out. Calls
// wholly above `top` or below `bottom` are skipped (a window shows a band
// of a long drawing); a text is taken to reach at most twice its size below
// its top.
void ReplayCalls(const std::vector<CanvasCall>& calls, PageCanvas& canvas, int top = INT_MIN,
                 int bottom = INT_MAX);

}  // namespace zel
