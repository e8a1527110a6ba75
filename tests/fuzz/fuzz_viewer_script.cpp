// The document viewer's script reader and drawing on arbitrary bytes: any
// script is drawn on the screen at any zoom and printed, without a crash or
// an endless fitting loop, and printing takes a page for every copy and part
// exactly when the drawing has an extent.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "output/recording_canvas.hpp"
#include "output/viewer_layout.hpp"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zel;
  if (size < 2) return 0;
  const int zoom = kViewerMinZoom + data[0] % 60;
  static constexpr const char* kCodes[] = {"", "o", "ok", "oklm", "eee", "p"};
  const std::string code = kCodes[data[1] % 6];
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 2; i < size; ++i) {
    const char c = static_cast<char>(data[i]);
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  lines.push_back(line);

  for (const std::string& l : lines) {
    const ViewerCommand cmd = ParseViewerLine(l);
    Check(cmd.text.size() <= l.size());
    Check(cmd.text.find('?') == std::string::npos);
  }
  const ViewerLayout layout(lines, data[0]);
  Check(layout.Parts() >= 1);
  Check(lines.size() <= kViewerMaxLines || !layout.Notice().empty());

  RecordingCanvas screen(4000, 4000, 6, 12, true);
  ViewerPlacement at;
  at.zoom = zoom;
  layout.Draw(screen, at, 'p');
  for (const CanvasCall& c : screen.Calls()) {
    if (c.kind == CanvasCall::kText) Check(c.size >= 1 && !c.text.empty());
  }

  RecordingCanvas paper(4961, 7016, 6, 12, false);
  const ViewerPrintOutcome out = PrintViewerPages(layout, code, "fuzz", paper);
  Check(out.ok == layout.PageExtent().Valid());
  if (out.ok) {
    int parts = 0;
    for (int p = 0; p < layout.Parts(); ++p) parts += layout.PartHasDrawing(p) ? 1 : 0;
    const int copies = code.empty() ? 1 : static_cast<int>(code.size());
    Check(out.pages == copies * parts && paper.Pages() == out.pages);
  } else {
    Check(!out.message.empty());
  }
  return 0;
}
