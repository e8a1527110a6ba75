#include "output/recording_canvas.hpp"

#include <algorithm>

namespace zel {

void RecordingCanvas::SetFace(Face face, bool bold) {
  face_ = face;
  bold_ = bold;
  if (probe_) probe_->SetFace(face, bold);
}

int RecordingCanvas::TextWidth(std::string_view text, int size) {
  if (probe_) return probe_->TextWidth(text, size);
  return static_cast<int>(text.size()) * char_w_ * size / 10;
}

int RecordingCanvas::TextHeight(int size) {
  if (probe_) return probe_->TextHeight(size);
  return line_h_ * size / 10;
}

void RecordingCanvas::Keep(CanvasCall call) {
  ++count_;
  if (keep_) calls_.push_back(std::move(call));
}

bool RecordingCanvas::Begin(std::string_view title) {
  Keep({CanvasCall::kBegin, 0, 0, 0, 0, 0, 0, Face::kPrint, false, std::string(title)});
  if (fail_begin) return false;
  pages_ = 1;
  return true;
}

void RecordingCanvas::Text(int x, int y, std::string_view text, int size, std::uint32_t colour) {
  Keep({CanvasCall::kText, x, y, 0, 0, size, colour, face_, bold_, std::string(text)});
}

void RecordingCanvas::Line(int x1, int y1, int x2, int y2, int pen, std::uint32_t colour) {
  Keep({CanvasCall::kLine, x1, y1, x2, y2, pen, colour, Face::kPrint, false, {}});
}

void RecordingCanvas::Fill(int x, int y, int w, int h, std::uint32_t colour) {
  Keep({CanvasCall::kFill, x, y, w, h, 0, colour, Face::kPrint, false, {}});
}

bool RecordingCanvas::NewPage() {
  Keep({CanvasCall::kNewPage, 0, 0, 0, 0, 0, 0, Face::kPrint, false, {}});
  if (++new_pages_ == fail_new_page) return false;
  ++pages_;
  return true;
}

bool RecordingCanvas::End(bool ok) {
  Keep({CanvasCall::kEnd, 0, 0, 0, 0, ok ? 1 : 0, 0, Face::kPrint, false, {}});
  ended_ = true;
  ended_ok_ = ok && !fail_end;
  return ended_ok_;
}

std::vector<std::string> RecordingCanvas::TextsOnPage(int p) const {
  std::vector<std::string> out;
  int page = 0;
  for (const CanvasCall& c : calls_) {
    if (c.kind == CanvasCall::kBegin || c.kind == CanvasCall::kNewPage) ++page;
    if (c.kind == CanvasCall::kText && page == p) out.push_back(c.text);
  }
  return out;
}

void ReplayCalls(const std::vector<CanvasCall>& calls, PageCanvas& canvas, int top, int bottom) {
  FontProbe::Face face = FontProbe::Face::kPrint;
  bool bold = false;
  bool first_text = true;
  auto outside = [top, bottom](long long y1, long long y2) {
    return std::max(y1, y2) < top || std::min(y1, y2) > bottom;
  };
  for (const CanvasCall& c : calls) {
    switch (c.kind) {
      case CanvasCall::kText:
        if (outside(c.y, static_cast<long long>(c.y) + 2LL * c.size)) continue;
        break;
      case CanvasCall::kLine:
        if (outside(static_cast<long long>(c.y) - c.size, static_cast<long long>(c.y2) + c.size)) continue;
        break;
      case CanvasCall::kFill:
        if (outside(c.y, static_cast<long long>(c.y) + c.y2)) continue;
        break;
      default: continue;
    }
    switch (c.kind) {
      case CanvasCall::kText:
        if (first_text || c.face != face || c.bold != bold) {
          canvas.SetFace(c.face, c.bold);
          face = c.face;
          bold = c.bold;
          first_text = false;
        }
        canvas.Text(c.x, c.y, c.text, c.size, c.colour);
        break;
      case CanvasCall::kLine: canvas.Line(c.x, c.y, c.x2, c.y2, c.size, c.colour); break;
      case CanvasCall::kFill: canvas.Fill(c.x, c.y, c.x2, c.y2, c.colour); break;
      default: break;
    }
  }
}

}  // namespace zel
