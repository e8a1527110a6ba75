// The page canvas over QPainter on a paged device (QPrinter for printer
// queues, QPdfWriter for PDF files), and the machine's print targets over
// Qt's printer list.
//
// Texts are measured and drawn in the print font of the settings (KonPrint:
// the name from its third character, bold when its style reads "Bold") with
// the device's own metrics. Widths are summed from per-character advances
// kept per size, so that fitting a cell costs no text shaping. A PDF canvas
// writes "<file>.part" and renames it over the file when the job ends well;
// otherwise the part file is removed and the old file stays.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "output/page_canvas.hpp"
#include "output/print_targets.hpp"

class QBuffer;
class QFile;
class QPagedPaintDevice;
class QPdfWriter;
class QPrinter;

namespace zel {

class QtPageCanvas final : public PageCanvas {
 public:
  // A canvas on a printer queue.
  QtPageCanvas(std::unique_ptr<QPrinter> printer, const QFont& font);
  // A canvas writing a PDF file (A4, 600 dpi) through a part file beside it;
  // with an empty path a canvas of such pages for measuring only.
  QtPageCanvas(const std::string& native_path, bool landscape, const QFont& font);
  // A screen canvas (the document viewer's): it measures on `measure` and
  // draws with the painter DrawWith gives it, a widget's during one paint;
  // it has a single page, so Begin, NewPage and End do nothing. Its measures
  // are kept from one paint to the next.
  QtPageCanvas(QPaintDevice* measure, const QFont& font);
  void DrawWith(QPainter* painter);
  ~QtPageCanvas() override;

  // False when a PDF canvas could not open its part file.
  bool Usable() const { return device_ != nullptr; }

  int PageWidth() const override;
  int PageHeight() const override;
  void SetFace(Face face, bool bold) override;
  int TextWidth(std::string_view text, int size) override;
  int TextHeight(int size) override;
  bool Begin(std::string_view title) override;
  void Text(int x, int y, std::string_view text, int size, std::uint32_t colour) override;
  void Line(int x1, int y1, int x2, int y2, int pen, std::uint32_t colour) override;
  void Fill(int x, int y, int w, int h, std::uint32_t colour) override;
  bool NewPage() override;
  bool End(bool ok) override;

 private:
  struct SizeMetrics {
    // Each character's advance is asked of the font the first time a text
    // holds it (fitting a form's texts tries many sizes, few characters).
    std::array<double, 256> advance{};
    std::array<bool, 256> known{};
    std::optional<QFontMetricsF> fm;
    int height = 0;
    int ascent = 0;
  };
  SizeMetrics& Metrics(int size);
  QFont FontAt(int size) const;
  void UseFont(int size);
  void Discard();

  QFont font_;
  std::unique_ptr<QPrinter> printer_;
  std::unique_ptr<QFile> file_;
  std::unique_ptr<QBuffer> buffer_;
  std::unique_ptr<QPdfWriter> pdf_;
  QPagedPaintDevice* device_ = nullptr;
  QPaintDevice* measure_ = nullptr;  // where texts are measured
  QPainter* p_ = &painter_;          // what draws
  std::string target_;  // PDF: the file, native
  std::string part_;    // PDF: the part file beside it
  QPainter painter_;
  std::map<int, SizeMetrics> metrics_;  // by face, boldness and size
  Face face_ = Face::kPrint;
  bool bold_ = false;
  int font_key_ = 0;
  bool external_ = false;
  bool begun_ = false;
  bool ended_ = false;
};

// The print font of the settings (KonPrint), in Qt's terms.
QFont PrintFont();
// The faces of drawn forms at a pixel size: a regular and a heavy
// sans-serif with Central European letters.
QFont FormFont(PageCanvas::Face face, bool bold, int pixel_size);

class QtPrintTargets final : public PrintTargets {
 public:
  std::vector<std::string> PrinterNames() override;
  std::unique_ptr<PageCanvas> Printer(std::string_view name, bool landscape,
                                      std::string* err) override;
  std::unique_ptr<PageCanvas> PdfFile(const std::string& native_path, bool landscape,
                                      std::string* err) override;
  std::unique_ptr<PageCanvas> Measure(std::string_view printer, bool landscape) override;
};

}  // namespace zel
