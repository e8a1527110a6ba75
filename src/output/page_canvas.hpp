// The surface printed pages are drawn on: a printer queue, a PDF file, or a
// recording for tests and benchmarks.
//
// A canvas is made for one device in one orientation. Before Begin it
// already answers its page size and measures text in the device's print
// font (the font probe the page layout is computed from); between Begin and
// End it takes draw calls, page by page. All lengths are device pixels,
// texts are Windows-1250, colours 0xRRGGBB. A text's y is the top of its
// line. Begin, NewPage and End report whether the device took them: a false
// answer means the job failed and nothing it wrote may be taken as done.
#pragma once

#include <cstdint>
#include <string_view>

namespace zel {

class FontProbe {
 public:
  // The faces texts are measured and drawn in. Reports use the print font
  // of the settings throughout; drawn forms use a regular and a heavy
  // sans-serif face, whose sizes are device pixels (the height of the font)
  // rather than points, so that fitting a text into a box is as fine on a
  // 600 dpi page as on the screen.
  enum class Face { kPrint, kSans, kSansHeavy };

  virtual ~FontProbe() = default;
  // Chooses the face of the texts measured and drawn after it. A canvas
  // with a single font keeps it.
  virtual void SetFace(Face face, bool bold) {
    (void)face;
    (void)bold;
  }
  // Width of the text in the print font at `size` points.
  virtual int TextWidth(std::string_view text, int size) = 0;
  // Height of a line of text in the print font at `size` points.
  virtual int TextHeight(int size) = 0;
};

class PageCanvas : public FontProbe {
 public:
  virtual int PageWidth() const = 0;
  virtual int PageHeight() const = 0;

  // Starts the document with the job title.
  virtual bool Begin(std::string_view title) = 0;
  virtual void Text(int x, int y, std::string_view text, int size, std::uint32_t colour) = 0;
  virtual void Line(int x1, int y1, int x2, int y2, int pen, std::uint32_t colour) = 0;
  // A filled rectangle without outline.
  virtual void Fill(int x, int y, int w, int h, std::uint32_t colour) = 0;
  virtual bool NewPage() = 0;
  // Ends the document: `ok` false abandons it (a file target leaves nothing
  // in place of an old file). Answers whether the output is complete.
  virtual bool End(bool ok) = 0;
};

}  // namespace zel
