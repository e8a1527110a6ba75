#include "output/qt/viewer_view.hpp"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "common/cp1250.hpp"
#include "output/print_targets.hpp"
#include "output/report_outputs.hpp"

namespace zel {

namespace {

QString Q(std::string_view win) {
  return QString::fromStdString(WinToUtf8(win));
}

constexpr int kScrollWidth = 17;

}  // namespace

class ViewerSurface final : public QWidget {
 public:
  ViewerSurface(ViewerView& view, QWidget* parent) : QWidget(parent), view_(view) {
    setObjectName(QStringLiteral("Im"));
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const int top = view_.form_.ScrollY();
    p.translate(-view_.hsb_->value(), -top);
    view_.canvas_.DrawWith(&p);
    ReplayCalls(view_.form_.Drawing(), view_.canvas_, top, top + height());
    view_.canvas_.DrawWith(nullptr);
  }
  void wheelEvent(QWheelEvent* e) override {
    view_.form_.Wheel(e->angleDelta().y());
    view_.Sync();
  }

 private:
  ViewerView& view_;
};

ViewerView::ViewerView(QWidget* parent)
    : QWidget(parent, Qt::Window),
      form_(*this),
      probe_image_(8, 8, QImage::Format_RGB32),
      canvas_(&probe_image_, QFont()) {
  setObjectName(QStringLiteral("FViewer"));
  auto button = [this](const char* name, std::string_view caption, std::string_view hint) {
    auto* b = new QPushButton(Q(caption), this);
    b->setObjectName(QString::fromLatin1(name));
    if (!hint.empty()) b->setToolTip(Q(hint));
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
  };
  pls_ = button("bPls", "+", " powiększ ");
  mns_ = button("bMns", "-", " pomniejsz "_w);
  pop_ = button("bPop", "<", " poprzednia strona ");
  nst_ = button("bNst", ">", " następna strona "_w);
  czyn_ = new QComboBox(this);
  czyn_->setObjectName(QStringLiteral("Czyn"));
  czyn_->setFocusPolicy(Qt::NoFocus);
  zap_ = button("bZAP", "ZAP", " ZAP zapisze to ustawienie na stałe "_w);
  druk_ = new QComboBox(this);
  druk_->setObjectName(QStringLiteral("Druk"));
  druk_->setFocusPolicy(Qt::NoFocus);
  wyd_ = button("bWyd", "Wydrukuj", "");
  pdf_ = button("bPDF", "PDF", "");
  zam_ = button("bZam", "Zamknij", "");
  im_ = new ViewerSurface(*this, this);
  sb_ = new QScrollBar(Qt::Vertical, this);
  sb_->setObjectName(QStringLiteral("SB"));
  hsb_ = new QScrollBar(Qt::Horizontal, this);
  hsb_->setObjectName(QStringLiteral("HSB"));
  setFocusPolicy(Qt::StrongFocus);

  connect(pls_, &QPushButton::clicked, this, [this] {
    form_.ZoomIn();
    LayOut();
  });
  connect(mns_, &QPushButton::clicked, this, [this] {
    form_.ZoomOut();
    LayOut();
  });
  connect(pop_, &QPushButton::clicked, this, [this] {
    form_.PreviousPage();
    Sync();
  });
  connect(nst_, &QPushButton::clicked, this, [this] {
    form_.NextPage();
    Sync();
  });
  connect(czyn_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (syncing_) return;
    form_.ChooseAction(i);
    Sync();
  });
  connect(zap_, &QPushButton::clicked, this, [this] {
    form_.Zap();
    Sync();
  });
  connect(druk_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (!syncing_) form_.ChoosePrinter(i);
  });
  connect(wyd_, &QPushButton::clicked, this, [this] {
    form_.Print();
    Sync();
  });
  connect(pdf_, &QPushButton::clicked, this, [this] {
    form_.Pdf();
    Sync();
  });
  connect(zam_, &QPushButton::clicked, this, [this] { Close(); });
  connect(hsb_, &QScrollBar::valueChanged, this, [this] { im_->update(); });
  connect(sb_, &QScrollBar::valueChanged, this, [this](int v) {
    if (syncing_) return;
    form_.ScrollTo(v);
    im_->update();
  });
  hide();
}

ViewerView::~ViewerView() = default;

int ViewerView::ScreenWidth() {
  QScreen* s = QGuiApplication::primaryScreen();
  return s ? s->availableGeometry().width() : 1024;
}

std::vector<std::string> ViewerView::Printers() {
  if (printers) return printers();
  return {std::string(kBuiltInPdfPrinter)};
}

std::string ViewerView::AskPdfPath(std::string_view default_name) {
  if (ask_pdf_path) return ask_pdf_path(default_name);
  const QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Zapisz PDF"),
                                                    Q(default_name), QStringLiteral("PDF (*.pdf)"));
  return file.toStdString();
}

void ViewerView::DeveloperMessage(std::string_view caption, std::string_view text) {
  QMessageBox::warning(this, Q(caption), Q(text));
}

QWidget* ViewerView::Surface() const {
  return im_;
}

QPushButton* ViewerView::Button(const char* name) const {
  return findChild<QPushButton*>(QString::fromLatin1(name));
}

WindowFrame& ViewerView::Frame() {
  frame_.left = x();
  frame_.top = y();
  frame_.width = width();
  frame_.height = height();
  frame_.hidden = !isVisible();
  return frame_;
}

void ViewerView::Go(std::uint8_t) {
  if (!form_.Open()) return;
  syncing_ = true;
  czyn_->clear();
  for (const ViewerAction& a : form_.Actions()) czyn_->addItem(QStringLiteral(" ") + Q(a.caption));
  druk_->clear();
  for (const std::string& p : form_.Printers()) druk_->addItem(QStringLiteral(" ") + Q(p));
  syncing_ = false;
  LayOut();
  show();
  raise();
  activateWindow();
  setFocus();
}

void ViewerView::LayOut() {
  QFontMetrics fm(font());
  toolbar_h_ = fm.height() + 10;
  int x = 3;
  auto put = [&](QWidget* w, int width) {
    w->setGeometry(x, 3, width, toolbar_h_);
    x += width + 3;
  };
  auto caption_w = [&](QPushButton* b) { return fm.horizontalAdvance(b->text()) + 18; };
  put(pls_, caption_w(pls_));
  put(mns_, caption_w(mns_));
  put(pop_, caption_w(pop_));
  put(nst_, caption_w(nst_));
  put(czyn_, fm.horizontalAdvance(QStringLiteral(" Oryginał + 3 kopie ")) + 30);
  put(zap_, caption_w(zap_));
  put(druk_, 180);
  put(wyd_, caption_w(wyd_));
  put(pdf_, caption_w(pdf_));
  put(zam_, caption_w(zam_));
  const int toolbar_w = x;

  QScreen* s = QGuiApplication::primaryScreen();
  const QRect avail = s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
  const int width =
      std::min(avail.width(), std::max(toolbar_w, form_.DrawingWidth() + kScrollWidth + 4));
  const int height = avail.height() - 40;
  resize(width, height);
  move(avail.left() + std::max(0, (avail.width() - width) / 2), avail.top());
  PlaceSurface();
}

void ViewerView::PlaceSurface() {
  const int top = toolbar_h_ + 6;
  const int w = std::max(1, width() - kScrollWidth);
  const bool across = form_.DrawingWidth() > w;
  const int h = std::max(1, height() - top - (across ? kScrollWidth : 0));
  im_->setGeometry(0, top, w, h);
  sb_->setGeometry(w, top, kScrollWidth, h);
  hsb_->setVisible(across);
  hsb_->setGeometry(0, top + h, w, kScrollWidth);
  hsb_->setRange(0, std::max(0, form_.DrawingWidth() - w));
  hsb_->setPageStep(w);
  hsb_->setSingleStep(30);
  form_.SetViewHeight(h);
  Sync();
}

void ViewerView::Sync() {
  syncing_ = true;
  setWindowTitle(Q(form_.Caption()));
  czyn_->setCurrentIndex(form_.SelectedAction());
  druk_->setCurrentIndex(form_.PrinterIndex());
  zap_->setEnabled(form_.ZapEnabled());
  pdf_->setEnabled(form_.PdfEnabled());
  mns_->setEnabled(form_.Zoom() > kViewerMinZoom);
  pop_->setEnabled(form_.Page() > 0);
  nst_->setEnabled(form_.Page() + 1 < form_.Pages());
  sb_->setRange(0, std::max(0, form_.DrawingHeight() - im_->height()));
  sb_->setPageStep(std::max(1, im_->height()));
  sb_->setSingleStep(30);
  sb_->setValue(form_.ScrollY());
  syncing_ = false;
  im_->update();
}

void ViewerView::Close() {
  hide();
  if (on_closed) on_closed();
}

void ViewerView::closeEvent(QCloseEvent* event) {
  event->ignore();
  Close();
}

void ViewerView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceSurface();
}

void ViewerView::keyPressEvent(QKeyEvent* event) {
  const bool keypad = event->modifiers() & Qt::KeypadModifier;
  switch (event->key()) {
    case Qt::Key_PageUp:
      form_.PressKey(FViewer::Key::kPgUp);
      break;
    case Qt::Key_PageDown:
      form_.PressKey(FViewer::Key::kPgDn);
      break;
    case Qt::Key_Up:
      form_.PressKey(FViewer::Key::kUp);
      break;
    case Qt::Key_Down:
      form_.PressKey(FViewer::Key::kDown);
      break;
    case Qt::Key_Home:
      form_.PressKey(FViewer::Key::kHome);
      break;
    case Qt::Key_Left:
      hsb_->setValue(hsb_->value() - 30);
      return;
    case Qt::Key_Right:
      hsb_->setValue(hsb_->value() + 30);
      return;
    case Qt::Key_End:
      form_.PressKey(FViewer::Key::kEnd);
      break;
    case Qt::Key_Plus:
      if (!keypad) return QWidget::keyPressEvent(event);
      form_.PressKey(FViewer::Key::kPlus);
      LayOut();
      return;
    case Qt::Key_Minus:
      if (!keypad) return QWidget::keyPressEvent(event);
      form_.PressKey(FViewer::Key::kMinus);
      LayOut();
      return;
    case Qt::Key_Escape:
      Close();
      return;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  Sync();
}

}  // namespace zel
