#include "output/qt/qt_page_canvas.hpp"

#include <QBuffer>
#include <QFile>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "common/cp1250.hpp"
#include "shell/settings_keys.hpp"

namespace zel {

namespace {

// The Unicode character of each Windows-1250 byte.
const std::array<QChar, 256>& CharTable() {
  static const std::array<QChar, 256> table = [] {
    std::array<QChar, 256> t{};
    for (int b = 0; b < 256; ++b) {
      const char c = static_cast<char>(b);
      QString s = QString::fromStdString(WinToUtf8(std::string_view(&c, 1)));
      t[static_cast<std::size_t>(b)] = s.isEmpty() ? QChar(u'?') : s.at(0);
    }
    return t;
  }();
  return table;
}

QString ToQt(std::string_view win) {
  const std::array<QChar, 256>& table = CharTable();
  QString s(static_cast<qsizetype>(win.size()), Qt::Uninitialized);
  QChar* out = s.data();
  for (char c : win) *out++ = table[static_cast<unsigned char>(c)];
  return s;
}

QColor Colour(std::uint32_t rgb) {
  return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

}  // namespace

QFont PrintFont() {
  std::string name = StationSettings.print_font.font.str();
  name = name.size() > 2 ? name.substr(2) : std::string("Consolas");
  QFont font(QString::fromStdString(WinToUtf8(name)));
  // A font the machine lacks falls back to a fixed-pitch one, as the
  // report's columns are counted in characters.
  font.setStyleHint(QFont::Monospace);
  font.setBold(StationSettings.print_font.style.view() == "Bold");
  return font;
}

QFont FormFont(PageCanvas::Face face, bool bold, int pixel_size) {
  QFont f;
  if (face == PageCanvas::Face::kSansHeavy) {
    f.setFamilies({QStringLiteral("Arial Black"), QStringLiteral("Liberation Sans"),
                   QStringLiteral("DejaVu Sans")});
    f.setWeight(QFont::Black);
  } else {
    f.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                   QStringLiteral("DejaVu Sans")});
    f.setWeight(bold ? QFont::Bold : QFont::Normal);
  }
  f.setStyleHint(QFont::SansSerif);
  f.setPixelSize(std::max(pixel_size, 1));
  return f;
}

QtPageCanvas::QtPageCanvas(std::unique_ptr<QPrinter> printer, const QFont& font)
    : font_(font), printer_(std::move(printer)), device_(printer_.get()), measure_(device_) {}

QtPageCanvas::QtPageCanvas(QPaintDevice* measure, const QFont& font)
    : font_(font), measure_(measure), p_(nullptr), external_(true) {}

void QtPageCanvas::DrawWith(QPainter* painter) {
  p_ = painter;
  begun_ = painter != nullptr;
  font_key_ = -1;
}

QtPageCanvas::QtPageCanvas(const std::string& native_path, bool landscape, const QFont& font)
    : font_(font), target_(native_path) {
  if (native_path.empty()) {
    buffer_ = std::make_unique<QBuffer>();
    buffer_->open(QIODevice::WriteOnly);
    pdf_ = std::make_unique<QPdfWriter>(buffer_.get());
  } else {
    part_ = native_path + ".part";
    file_ = std::make_unique<QFile>(QString::fromStdString(part_));
    if (!file_->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
      file_.reset();
      return;
    }
    pdf_ = std::make_unique<QPdfWriter>(file_.get());
  }
  pdf_->setResolution(600);
  pdf_->setCreator(QStringLiteral("Zel"));
  pdf_->setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                  landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                  QMarginsF(0, 0, 0, 0)));
  device_ = pdf_.get();
  measure_ = device_;
}

QtPageCanvas::~QtPageCanvas() {
  if (external_) return;
  if (begun_ && !ended_) End(false);
  if (file_ && !ended_) Discard();
}

int QtPageCanvas::PageWidth() const {
  return measure_ ? measure_->width() : 0;
}
int QtPageCanvas::PageHeight() const {
  return measure_ ? measure_->height() : 0;
}

void QtPageCanvas::SetFace(Face face, bool bold) {
  face_ = face;
  bold_ = bold;
}

QFont QtPageCanvas::FontAt(int size) const {
  if (face_ != Face::kPrint) return FormFont(face_, bold_, size);
  QFont f = font_;
  f.setPointSize(std::max(size, 1));
  return f;
}

QtPageCanvas::SizeMetrics& QtPageCanvas::Metrics(int size) {
  const int key = (static_cast<int>(face_) * 2 + (bold_ ? 1 : 0)) * 100000 + std::clamp(size, 0, 99999);
  auto it = metrics_.find(key);
  if (it != metrics_.end()) return it->second;
  const QFont f = FontAt(size);
  SizeMetrics m;
  m.fm.emplace(f, measure_);
  m.height = static_cast<int>(std::lround(m.fm->height()));
  m.ascent = static_cast<int>(std::lround(m.fm->ascent()));
  return metrics_.emplace(key, m).first->second;
}

int QtPageCanvas::TextWidth(std::string_view text, int size) {
  if (!measure_) return 0;
  SizeMetrics& m = Metrics(size);
  const std::array<QChar, 256>& table = CharTable();
  double w = 0;
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (!m.known[b]) {
      m.advance[b] = m.fm->horizontalAdvance(table[b]);
      m.known[b] = true;
    }
    w += m.advance[b];
  }
  return static_cast<int>(std::ceil(w));
}

int QtPageCanvas::TextHeight(int size) {
  return measure_ ? Metrics(size).height : 0;
}

bool QtPageCanvas::Begin(std::string_view title) {
  if (external_) return true;
  if (!device_ || buffer_) return false;
  const QString t = ToQt(title);
  if (pdf_) pdf_->setTitle(t);
  if (printer_) printer_->setDocName(t);
  begun_ = painter_.begin(device_);
  return begun_;
}

void QtPageCanvas::UseFont(int size) {
  const int key = (static_cast<int>(face_) * 2 + (bold_ ? 1 : 0)) * 100000 + std::clamp(size, 0, 99999);
  if (key == font_key_) return;
  p_->setFont(FontAt(size));
  font_key_ = key;
}

void QtPageCanvas::Text(int x, int y, std::string_view text, int size, std::uint32_t colour) {
  if (!begun_ || text.empty()) return;
  UseFont(size);
  p_->setPen(Colour(colour));
  p_->drawText(QPoint(x, y + Metrics(size).ascent), ToQt(text));
}

void QtPageCanvas::Line(int x1, int y1, int x2, int y2, int pen, std::uint32_t colour) {
  if (!begun_) return;
  p_->setPen(QPen(Colour(colour), std::max(pen, 1), Qt::SolidLine, Qt::FlatCap));
  p_->drawLine(x1, y1, x2, y2);
}

void QtPageCanvas::Fill(int x, int y, int w, int h, std::uint32_t colour) {
  if (!begun_ || w <= 0 || h <= 0) return;
  p_->fillRect(x, y, w, h, Colour(colour));
}

bool QtPageCanvas::NewPage() {
  if (external_) return true;
  return begun_ && device_->newPage();
}

void QtPageCanvas::Discard() {
  if (!file_) return;
  file_->close();
  std::error_code ec;
  std::filesystem::remove(part_, ec);
}

bool QtPageCanvas::End(bool ok) {
  if (external_) return ok;
  if (ended_) return false;
  ended_ = true;
  // A printer job given up is aborted while it is still open.
  if (printer_ && !ok && begun_) printer_->abort();
  bool done = begun_ && painter_.end() && ok;
  if (printer_) return done;
  if (!pdf_ || !file_) return false;
  pdf_.reset();  // writes nothing more
  if (done) {
    done = file_->flush() && file_->error() == QFileDevice::NoError;
    file_->close();
    done = done && file_->error() == QFileDevice::NoError;
  }
  if (!done) {
    Discard();
    return false;
  }
  std::error_code ec;
  std::filesystem::rename(part_, target_, ec);
  if (ec) {
    Discard();
    return false;
  }
  return true;
}

std::vector<std::string> QtPrintTargets::PrinterNames() {
  std::vector<std::string> names;
  for (const QString& n : QPrinterInfo::availablePrinterNames()) {
    names.push_back(Utf8ToWin(n.toStdString()));
  }
  return names;
}

std::unique_ptr<PageCanvas> QtPrintTargets::Printer(std::string_view name, bool landscape,
                                                    std::string* err) {
  const QString qname = QString::fromStdString(WinToUtf8(name));
  QPrinterInfo info = QPrinterInfo::printerInfo(qname);
  if (info.isNull()) {
    *err = "Nie ma drukarki "_w + std::string(name);
    return nullptr;
  }
  auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
  printer->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  if (!printer->isValid()) {
    *err = "Nie ma drukarki "_w + std::string(name);
    return nullptr;
  }
  return std::make_unique<QtPageCanvas>(std::move(printer), PrintFont());
}

std::unique_ptr<PageCanvas> QtPrintTargets::Measure(std::string_view printer, bool landscape) {
  if (printer == kBuiltInPdfPrinter) {
    return std::make_unique<QtPageCanvas>(std::string(), landscape, PrintFont());
  }
  std::string err;
  return Printer(printer, landscape, &err);
}

std::unique_ptr<PageCanvas> QtPrintTargets::PdfFile(const std::string& native_path, bool landscape,
                                                    std::string* err) {
  if (native_path.empty()) {
    *err = "Nie podano nazwy pliku PDF"_w;
    return nullptr;
  }
  auto canvas = std::make_unique<QtPageCanvas>(native_path, landscape, PrintFont());
  if (!canvas->Usable()) {
    *err = "Zakazany "_w + Utf8ToWin(native_path);
    return nullptr;
  }
  return canvas;
}

}  // namespace zel
