#include "output/qt/raport_view.hpp"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "menu/current_option.hpp"
#include "output/preview_layout.hpp"
#include "shell/pulpit.hpp"
#include "shell/settings_keys.hpp"
#include "shell/status.hpp"
#include "vat/jpk_kr.hpp"

namespace zel {

namespace {

QString Q(std::string_view win) {
  return QString::fromStdString(WinToUtf8(win));
}
std::string W(const QString& text) {
  return Utf8ToWin(text.toStdString());
}

QColor Rgb(std::uint32_t rgb) {
  return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                static_cast<int>(rgb & 0xFF));
}

// "c Consolas" names the font by its list key; the name follows the space.
QString FontName(std::string_view setting) {
  if (setting.size() > 2 && setting[1] == ' ') setting.remove_prefix(2);
  return Q(setting);
}

constexpr int kScrollWidth = 17;
constexpr int kMinHeight = 333;

}  // namespace

// The drawing surface Im inside the panel PAN.
class RaportSurface final : public QWidget {
 public:
  explicit RaportSurface(RaportView& view, QWidget* parent) : QWidget(parent), view_(view) {
    setObjectName(QStringLiteral("Im"));
    setMouseTracking(false);
  }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override {
    view_.SurfaceClick(static_cast<int>(e->position().y()), e->button() == Qt::RightButton,
                       e->globalPosition().toPoint());
  }
  void wheelEvent(QWheelEvent* e) override {
    if (view_.preview_.Drawing()) return;
    view_.preview_.Wheel(e->angleDelta().y() < 0);
    view_.Redraw();
  }

 private:
  RaportView& view_;
};

void RaportSurface::paintEvent(QPaintEvent*) {
  ReportPreview& pv = view_.preview_;
  const ReportDocument& doc = view_.doc_;
  QPainter p(this);
  p.fillRect(rect(), Rgb(kPreviewSurface));
  if (pv.Drawing()) return;
  pv.SetDrawing(true);

  const QFont font = view_.ReportQFont();
  p.setFont(font);
  QFontMetrics fm(font);
  const double a = fm.horizontalAdvance(Q(kPreviewSample)) / 50.0;
  const int h = fm.height() + 2;
  view_.row_h_ = h;
  auto measure = [&fm](std::string_view t) { return fm.horizontalAdvance(Q(t)); };

  const std::vector<PreviewColumn> cols = PreviewColumns(doc, a);
  const int n = static_cast<int>(cols.size());

  // Heading boxes with their lines down the whole surface.
  for (int i = 0; i < n; ++i) {
    const PreviewColumn& c = cols[static_cast<std::size_t>(i)];
    if (!c.box) continue;
    p.fillRect(c.box_x, 2, c.box_w, 2 * h, Rgb(kPreviewHeadingBox));
    p.fillRect(c.box_x, 2, 2, 1200, Qt::black);
    p.fillRect(c.box_x + c.box_w - 2, 2, 2, 1200, Qt::black);
    p.fillRect(c.box_x + c.box_w, 2, 2, 1200, Rgb(kPreviewSurface));
  }
  p.setPen(Qt::black);
  for (int i = 0; i < n; ++i) {
    const PreviewColumn& c = cols[static_cast<std::size_t>(i)];
    const ReportColumn& rc = doc.Column(i + 1);
    if (c.heading1_w > 0) {
      p.drawText(QRect(c.x, 2, c.heading1_w, h), Qt::AlignHCenter | Qt::AlignTop,
                 Q(rc.heading1.view()));
    }
    p.drawText(QRect(c.x, h + 2, c.w, h), Qt::AlignHCenter | Qt::AlignTop, Q(rc.heading2.view()));
  }

  const int table_w = PreviewTableWidth(cols);
  const int panel_h = height();
  PreviewRows rows = PreviewRowsToDraw(pv.TopRow(), pv.RowCount(), h, panel_h);
  if (rows.top != pv.TopRow()) pv.SetTopRow(rows.top);
  // A pass draws at most 135 rows, so it stays short without handing the
  // event loop a turn in the middle of a paint (which Qt does not allow).
  int drawn = 0;
  for (std::int32_t r = rows.top; r <= rows.last && drawn < kPreviewMaxRowsPerPass; ++r, ++drawn) {
    const int y = PreviewRowY(r, rows.top, h);
    const QColor back = Rgb(PreviewRowBackground(r));
    for (const PreviewColumn& c : cols) p.fillRect(c.x, y, c.background_w, h, back);
    const QColor ink = Rgb(PreviewTextColour(pv, r));
    p.setPen(ink);
    const char kind = doc.RowKind(r);
    if (kind == '0') {
      for (int i = 0; i < n; ++i) {
        const PreviewColumn& c = cols[static_cast<std::size_t>(i)];
        PreviewCell cell = FitPreviewCell(doc.Cell(r, i + 1), doc.Column(i + 1).kind, c.w, measure);
        p.drawText(c.x + cell.x, y + fm.ascent() + 1, Q(cell.text));
      }
    } else if (kind == '1' || kind == '2') {
      if (n > 0) p.drawText(cols[0].x, y + fm.ascent() + 1, Q(Concat({" ", doc.Cell(r, 1)})));
    } else if (kind == '3') {
      const std::string_view c = doc.Cell(r, 1);
      const char ch = c.empty() ? ' ' : c[0];
      const int mid = y + h / 2;
      if (ch == '-') {
        p.fillRect(3, mid - 1, table_w - 3, 2, ink);
      } else if (ch == '.') {
        p.fillRect(3, mid, table_w - 3, 1, ink);
      } else if (ch == '=') {
        p.fillRect(3, mid - 3, table_w - 3, 1, ink);
        p.fillRect(3, mid + 2, table_w - 3, 2, ink);
      }
    }
  }
  // Thin frame lines left and right of the table.
  p.setPen(Qt::black);
  p.drawLine(1, 0, 1, panel_h);
  p.drawLine(table_w, 0, table_w, panel_h);
  pv.SetDrawing(false);

  if (table_w != view_.table_width_ && n > 0) {
    // The window follows the width the drawing found (once per change).
    view_.table_width_ = table_w;
    QMetaObject::invokeMethod(
        &view_, [v = &view_] { v->LayOut(); }, Qt::QueuedConnection);
  }
}

RaportView::RaportView(const ReportDocument& doc, ReportPreview& preview, QWidget* parent)
    : QWidget(parent, Qt::Window), doc_(doc), preview_(preview) {
  setObjectName(QStringLiteral("FRaport"));
  auto button = [this](const char* name, std::string_view caption, std::string_view hint) {
    auto* b = new QPushButton(Q(caption), this);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(Q(hint));
    b->setAutoDefault(false);
    return b;
  };
  auto edit = [this](const char* name, const QString& text) {
    auto* e = new QLineEdit(text, this);
    e->setObjectName(QString::fromLatin1(name));
    QPalette p = e->palette();
    p.setColor(QPalette::Base, QColor(210, 208, 192));
    e->setPalette(p);
    e->installEventFilter(this);
    return e;
  };
  por_ = button("POR", "Druk portret", " drukuj ");
  pej_ = button("PEJ", "Druk pejzaż"_w, " drukuj ");
  dru_ = new QComboBox(this);
  dru_->setObjectName(QStringLiteral("DRU"));
  {
    QPalette p = dru_->palette();
    p.setColor(QPalette::Button, QColor(210, 208, 192));
    p.setColor(QPalette::Base, QColor(210, 208, 192));
    dru_->setPalette(p);
  }
  xls_ = button("XLS", "XLS", " wrzut do Excela ");
  jpk_ = button("JPK", "JPK", " XML / JPK ");
  pdf_ = button("PDF", "PDF", " portret / pejzaż "_w);
  pdf_->installEventFilter(this);
  dru_->installEventFilter(this);
  fit_ = button("FIT", "Wstecz", " szukaj wstecz (Tab) ");
  fit_->installEventFilter(this);
  fi_ = edit("FI", QStringLiteral("...szukaj..."));
  fie_ = button("FIE", "Szukaj", " szukaj wprzód (Enter) ");
  wie_ = new QLabel(QStringLiteral("Wiersze"), this);
  wie_->setObjectName(QStringLiteral("WIE"));
  wp_ = edit("WP", QString());
  wi_ = new QLabel(QStringLiteral(".."), this);
  wi_->setObjectName(QStringLiteral("wi"));
  wk_ = edit("WK", QString());
  esc_ = button("Esc", "Zamknij", " zakończ ");
  setTabOrder(fi_, fit_);

  pan_ = new QFrame(this);
  pan_->setObjectName(QStringLiteral("PAN"));
  pan_->setFrameShape(QFrame::Panel);
  pan_->setFrameShadow(QFrame::Sunken);
  im_ = new RaportSurface(*this, pan_);
  sb_ = new QScrollBar(Qt::Vertical, this);
  sb_->setObjectName(QStringLiteral("SB"));

  pm_ = new QMenu(this);
  pm_->setObjectName(QStringLiteral("PM"));
  const PageMark items[] = {PageMark::MeBeg, PageMark::MeEnd, PageMark::MePa1, PageMark::MeLa1,
                            PageMark::MePa2, PageMark::MeLa2, PageMark::MePa3, PageMark::MeLa3,
                            PageMark::MePa4, PageMark::MeLa4, PageMark::MeRap, PageMark::MeLan,
                            PageMark::MePag};
  for (PageMark item : items) {
    QAction* act = pm_->addAction(Q(PageMarkCaption(item)));
    connect(act, &QAction::triggered, this, [this, item] {
      preview_.ApplyPageMark(item, menu_row_);
      Redraw();
    });
  }

  connect(por_, &QPushButton::clicked, this,
          [this] { Output([this] { outputs_->Print(false); }); });
  connect(pej_, &QPushButton::clicked, this, [this] { Output([this] { outputs_->Print(true); }); });
  connect(xls_, &QPushButton::clicked, this, [this] { Output([this] { outputs_->Xls(); }); });
  connect(pdf_, &QPushButton::clicked, this, [this] {
    por_->setFocus();
    Output([this] { outputs_->Pdf(false); });
  });
  connect(dru_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (!filling_printers_ && outputs_ && index >= 0) outputs_->ChoosePrinter(index);
  });
  connect(jpk_, &QPushButton::clicked, this, [this] { Jpk(); });
  connect(fie_, &QPushButton::clicked, this, [this] { Search(true); });
  connect(fit_, &QPushButton::clicked, this, [this] { Search(false); });
  connect(esc_, &QPushButton::clicked, this, [this] { Close(); });
  connect(fi_, &QLineEdit::returnPressed, this, [this] { Search(true); });
  connect(wp_, &QLineEdit::textEdited, this, [this](const QString& t) {
    preview_.SetFirstText(W(t));
    if (preview_.RangeEditRedraws()) im_->update();
  });
  connect(wk_, &QLineEdit::textEdited, this, [this](const QString& t) {
    preview_.SetLastText(W(t));
    if (preview_.RangeEditRedraws()) im_->update();
  });
  connect(sb_, &QScrollBar::valueChanged, this, [this](int v) {
    if (syncing_ || preview_.Drawing()) return;
    preview_.ScrollTo(v);
    fi_->setFocus();
    Redraw();
  });
  hide();
}

RaportView::~RaportView() {
  for (QObject* o :
       {static_cast<QObject*>(fi_), static_cast<QObject*>(wp_), static_cast<QObject*>(wk_),
        static_cast<QObject*>(fit_), static_cast<QObject*>(pdf_)}) {
    o->removeEventFilter(this);
  }
}

QWidget* RaportView::Surface() const {
  return im_;
}

QPushButton* RaportView::Button(const char* name) const {
  return findChild<QPushButton*>(QString::fromLatin1(name));
}

bool RaportView::SecondScreen() const {
  const QList<QScreen*> screens = QGuiApplication::screens();
  return screens.size() > 1 && StationSettings.report_font1_used &&
         screens[1]->geometry().width() > 999;
}

QFont RaportView::ReportQFont() const {
  const ReportFont& rf =
      SecondScreen() ? StationSettings.report_font1 : StationSettings.report_font;
  QFont f(FontName(rf.font.view()));
  f.setPointSize(rf.size > 0 ? rf.size : 10);
  f.setBold(rf.style.view() == "Bold");
  f.setStyleHint(QFont::TypeWriter);
  return f;
}

QFont RaportView::ToolbarFont() const {
  const FontSetting& ws = StationSettings.window_font;
  QFont f(FontName(ws.font.view()));
  f.setPointSize(StationSettings.window_sizes[0] > 0 ? StationSettings.window_sizes[0] : 9);
  f.setBold(ws.style.view() == "Bold");
  return f;
}

void RaportView::LayOut() {
  // The toolbar: one row in the order of the controls, 3 pixels apart.
  const QFont tf = ToolbarFont();
  setFont(tf);
  QFontMetrics tfm(tf);
  QFontMetrics rfm(ReportQFont());
  row_h_ = rfm.height() + 2;
  toolbar_height_ = rfm.height() + 8;
  int x = 3;
  auto put = [&](QWidget* w, int width) {
    w->setGeometry(x, 3, width, toolbar_height_);
    x += width + 3;
  };
  auto caption_w = [&](QPushButton* b) { return tfm.horizontalAdvance(b->text()) + 16; };
  put(por_, caption_w(por_));
  put(pej_, caption_w(pej_));
  {
    filling_printers_ = true;
    dru_->clear();
    int widest = 60;
    if (outputs_) {
      for (const std::string& name : outputs_->Printers()) {
        dru_->addItem(QStringLiteral(" ") + Q(name));
        widest = std::max(widest, tfm.horizontalAdvance(Q(name)));
      }
      dru_->setCurrentIndex(outputs_->CurrentIndex());
    } else {
      const QString def = QPrinterInfo::defaultPrinterName();
      for (const QString& name : QPrinterInfo::availablePrinterNames()) {
        dru_->addItem(QStringLiteral(" ") + name);
        widest = std::max(widest, tfm.horizontalAdvance(name));
        if (name == def) dru_->setCurrentIndex(dru_->count() - 1);
      }
    }
    filling_printers_ = false;
    // At rest the list ends before XLS; while it has the focus it is as wide
    // as its widest name, over the buttons beside it.
    dru_wide_ = widest + 37;
    put(dru_, std::min(widest + 36, 220));
    dru_rest_ = dru_->width();
  }
  put(xls_, caption_w(xls_));
  put(jpk_, caption_w(jpk_));
  put(pdf_, caption_w(pdf_));
  put(fit_, caption_w(fit_));
  put(fi_, tfm.horizontalAdvance(QStringLiteral("WWWszukajWWW")));
  put(fie_, caption_w(fie_));
  put(wie_, tfm.horizontalAdvance(wie_->text()) + 6);
  put(wp_, tfm.horizontalAdvance(QStringLiteral("1234567")));
  put(wi_, tfm.horizontalAdvance(wi_->text()) + 6);
  put(wk_, tfm.horizontalAdvance(QStringLiteral("1234567")));
  put(esc_, caption_w(esc_));
  toolbar_width_ = x;

  bool any_pdf = false;
  if (outputs_) {
    any_pdf = outputs_->PdfPrinterIndex() >= 0;
  } else {
    for (const QString& name : QPrinterInfo::availablePrinterNames()) {
      if (name.contains(QStringLiteral("PDF"))) any_pdf = true;
    }
  }
  pdf_->setEnabled(any_pdf);
  jpk_->setEnabled(JpkButtonEnabled(OptionKey.view()));

  // The panel as wide as the table (at first as the toolbar), the scroll
  // bar beside it; the window W + 26 wide.
  const int table_w = std::max(table_width_ > 0 ? table_width_ + 11 : 0, toolbar_width_ - 26);
  const ReportFont& rf =
      SecondScreen() ? StationSettings.report_font1 : StationSettings.report_font;
  QScreen* screen =
      SecondScreen() ? QGuiApplication::screens()[1] : QGuiApplication::primaryScreen();
  const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  const int max_h =
      rf.number1 > kMinHeight ? std::min<int>(rf.number1, avail.height()) : avail.height();
  const int width = table_w + 26;
  int height = this->height();
  if (!placed_) height = max_h;
  height = std::clamp(height, kMinHeight, std::max(kMinHeight, max_h));
  setFixedWidth(width);
  setMinimumHeight(kMinHeight);
  setMaximumHeight(std::max(kMinHeight, max_h));
  if (this->height() != height) resize(width, height);
  Place();

  const int top = toolbar_height_ + 6;
  pan_->setGeometry(0, top, table_w + 6, std::max(10, this->height() - top));
  im_->setGeometry(5, 5, std::max(1, pan_->width() - 10), std::max(1, pan_->height() - 10));
  sb_->setGeometry(pan_->width() + 1, top, kScrollWidth, pan_->height());
  preview_.SetVisibleRows(std::max(1, pan_->height() / row_h_ - 2));
  preview_.SetPageSize((im_->height() - HeadingHeight()) / row_h_);
  SyncScrollBar();
  im_->update();
}

void RaportView::Place() {
  placed_ = true;
  const bool second = SecondScreen();
  const ReportFont& rf = second ? StationSettings.report_font1 : StationSettings.report_font;
  QScreen* screen = second ? QGuiApplication::screens()[1] : QGuiApplication::primaryScreen();
  const QRect g = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  std::string letters = rf.letters.str();
  if (letters.empty()) letters = "CG";
  // The frame adds the same to the width whether shown or not yet.
  const int outer = width() + (isVisible() ? frameGeometry().width() - geometry().width() : 0);
  int left = g.left() + (g.width() - outer) / 2;
  if (letters[0] == 'L') left = g.left();
  if (letters[0] == 'P') left = g.left() + g.width() - outer - 1;
  // A table wider than the screen starts at its left edge.
  left = std::max(left, g.left());
  move(left, g.top() + std::max<int>(0, rf.number2));
}

void RaportView::SyncScrollBar() {
  syncing_ = true;
  const int page = std::max(1, preview_.PageSize());
  sb_->setMinimum(1);
  sb_->setMaximum(std::max(1, preview_.RowCount()));
  sb_->setPageStep(std::max(1, page - 1));
  sb_->setSingleStep(1);
  sb_->setValue(preview_.TopRow());
  syncing_ = false;
}

void RaportView::SyncBoxes() {
  syncing_ = true;
  if (fi_->text() != Q(preview_.SearchText())) fi_->setText(Q(preview_.SearchText()));
  if (wp_->text() != Q(preview_.FirstText())) wp_->setText(Q(preview_.FirstText()));
  if (wk_->text() != Q(preview_.LastText())) wk_->setText(Q(preview_.LastText()));
  syncing_ = false;
}

void RaportView::Redraw() {
  SyncBoxes();
  SyncScrollBar();
  im_->update();
}

void RaportView::ColumnsChanged() {
  table_width_ = 0;
  if (isVisible()) LayOut();
}

void RaportView::ReportFinished() {
  setWindowTitle(Q(preview_.Caption()));
  jpk_->setText(QStringLiteral("JPK"));
  LayOut();
  show();
  raise();
  activateWindow();
  fi_->setFocus();
  Redraw();
}

WindowFrame& RaportView::Frame() {
  frame_.left = x();
  frame_.top = y();
  frame_.width = width();
  frame_.height = height();
  frame_.hidden = !isVisible();
  return frame_;
}

void RaportView::Bo() {
  hide();
  table_width_ = 0;
  placed_ = false;
}

void RaportView::Go(std::uint8_t) {
  if (preview_.RowCount() == 0) return;
  show();
  raise();
  activateWindow();
  Redraw();
}

void RaportView::Close() {
  if (!preview_.RequestClose()) return;
  table_width_ = 0;
  hide();
  if (on_closed) on_closed();
}

void RaportView::NotReady() {
  ShowStatus("Funkcja w przygotowaniu"_w, kWarning);
}

void RaportView::SetOutputButtons(bool on) {
  for (QWidget* w :
       {static_cast<QWidget*>(por_), static_cast<QWidget*>(pej_), static_cast<QWidget*>(dru_),
        static_cast<QWidget*>(xls_), static_cast<QWidget*>(jpk_), static_cast<QWidget*>(pdf_),
        static_cast<QWidget*>(fie_), static_cast<QWidget*>(fit_)}) {
    w->setEnabled(on);
  }
}

void RaportView::Output(const std::function<void()>& run) {
  if (!outputs_) {
    NotReady();
    return;
  }
  if (preview_.Exporting()) return;
  SetOutputButtons(false);
  run();
  SetOutputButtons(true);
  LayOut();  // the printer list, and the PDF and JPK buttons' own rules
  SyncBoxes();
  Redraw();
}

void RaportView::Jpk() {
  // While the file is written the output buttons wait.
  for (QWidget* w :
       {static_cast<QWidget*>(por_), static_cast<QWidget*>(pej_), static_cast<QWidget*>(xls_),
        static_cast<QWidget*>(jpk_), static_cast<QWidget*>(pdf_), static_cast<QWidget*>(fie_),
        static_cast<QWidget*>(fit_), static_cast<QWidget*>(esc_)}) {
    w->setEnabled(false);
  }
  const std::string file = XmlE();
  for (QWidget* w :
       {static_cast<QWidget*>(por_), static_cast<QWidget*>(pej_), static_cast<QWidget*>(xls_),
        static_cast<QWidget*>(jpk_), static_cast<QWidget*>(fie_), static_cast<QWidget*>(fit_),
        static_cast<QWidget*>(esc_)}) {
    w->setEnabled(true);
  }
  LayOut();  // the PDF and JPK buttons' own rules
  if (!file.empty()) jpk_->setText(QStringLiteral("OK"));
}

void RaportView::Search(bool forward) {
  if (preview_.Drawing()) return;
  preview_.SetSearchText(W(fi_->text()));
  if (forward) {
    preview_.SearchForward();
  } else {
    preview_.SearchBackward();
  }
  Redraw();
  fi_->setFocus();
}

int RaportView::RowAt(int y) const {
  const int below = y - HeadingHeight();
  if (below < 0 || row_h_ <= 0) return 0;
  return below / row_h_ + preview_.TopRow();
}

void RaportView::SurfaceClick(int y, bool right, QPoint global) {
  if (preview_.Drawing()) return;
  std::int32_t r = RowAt(y);
  if (r > preview_.RowCount()) r = 0;
  if (right) {
    if (r == 0) return;
    preview_.SetMarkedRow(r);
    menu_row_ = r;
    Redraw();
    pm_->popup(global);
    return;
  }
  preview_.ClickRow(r);
  Redraw();
}

void RaportView::closeEvent(QCloseEvent* event) {
  event->ignore();
  Close();
}

void RaportView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (pan_ == nullptr || toolbar_height_ == 0) return;
  const int top = toolbar_height_ + 6;
  if (height() - top >= kMinHeight) {
    pan_->setGeometry(0, top, pan_->width(), height() - top);
    im_->setGeometry(5, 5, std::max(1, pan_->width() - 10), std::max(1, pan_->height() - 10));
    sb_->setGeometry(pan_->width() + 1, top, kScrollWidth, pan_->height());
    preview_.SetVisibleRows(std::max(1, pan_->height() / row_h_ - 2));
    preview_.SetPageSize((im_->height() - HeadingHeight()) / row_h_);
    Redraw();
  }
}

void RaportView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    Close();
    return;
  }
  QWidget::keyPressEvent(event);
}

bool RaportView::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type t = event->type();
  if (watched == fit_ && t == QEvent::FocusIn && !syncing_) {
    // Tab from the search field searches backward.
    QMetaObject::invokeMethod(
        this, [this] { Search(false); }, Qt::QueuedConnection);
  } else if (watched == pdf_ && t == QEvent::MouseButtonRelease &&
             static_cast<QMouseEvent*>(event)->button() == Qt::RightButton && pdf_->isEnabled()) {
    pej_->setFocus();
    Output([this] { outputs_->Pdf(true); });
    return true;
  } else if ((watched == fi_ || watched == wp_ || watched == wk_) && t == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(event);
    ScrollKey key;
    switch (k->key()) {
      case Qt::Key_PageUp:
        key = ScrollKey::PgUp;
        break;
      case Qt::Key_PageDown:
        key = ScrollKey::PgDn;
        break;
      case Qt::Key_Home:
        key = ScrollKey::Home;
        break;
      case Qt::Key_End:
        key = ScrollKey::End;
        break;
      case Qt::Key_Up:
        key = ScrollKey::Up;
        break;
      case Qt::Key_Down:
        key = ScrollKey::Down;
        break;
      case Qt::Key_Escape:
        Close();
        return true;
      case Qt::Key_Return:
      case Qt::Key_Enter:
        if (watched != fi_) {
          Search(true);
          return true;
        }
        return false;
      default:
        return false;
    }
    if (!preview_.Drawing()) {
      preview_.ScrollByKey(key);
      Redraw();
    }
    return true;
  } else if (watched == dru_ && (t == QEvent::FocusIn || t == QEvent::FocusOut)) {
    const bool entering = t == QEvent::FocusIn;
    dru_->resize(entering ? std::max(dru_wide_, dru_rest_) : dru_rest_, dru_->height());
    if (entering) dru_->raise();
  } else if (watched == fi_ && t == QEvent::FocusIn && !syncing_) {
    preview_.EnterSearchField();
    SyncBoxes();
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace zel
