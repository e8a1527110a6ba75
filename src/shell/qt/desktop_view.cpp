#include "shell/qt/desktop_view.hpp"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <algorithm>
#include <functional>

#include "shell/qt/qt_metrics.hpp"

namespace zel {

namespace {

constexpr int kStripWidth = 6;

}  // namespace

// The status bar: the first panel with the message on the bar's colour, the
// second empty; mouse presses and double clicks go back to the form.
class StatusBarWidget final : public QWidget {
 public:
  explicit StatusBarWidget(QWidget* parent) : QWidget(parent) { setMouseTracking(false); }

  void Show(const StatusBarState& s) {
    state_ = s;
    update();
  }
  QString Text() const { return QtText(state_.panel0); }

  std::function<void(QMouseEvent*)> pressed, moved, released, double_clicked;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QtColour(state_.colour));
    QFont f = font();
    f.setBold(state_.bold);
    p.setFont(f);
    p.setPen(Qt::black);
    int first = std::min(width(), state_.panel0_width);
    QRect panel(2, 0, first - 4, height());
    p.drawText(panel, Qt::AlignVCenter | Qt::AlignLeft, QtText(state_.panel0));
    if (state_.panels == 1) {
      p.drawText(rect(), Qt::AlignCenter, QString());
    }
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawLine(0, 0, width(), 0);
  }
  void mousePressEvent(QMouseEvent* e) override {
    if (pressed) pressed(e);
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (moved) moved(e);
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (released) released(e);
  }
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    if (double_clicked) double_clicked(e);
  }

 private:
  StatusBarState state_;
};

DesktopView::DesktopView(FPulpit& form) : form_(form) {
  setWindowTitle(QtText(form_.Caption()));
  central_ = new QWidget(this);
  setCentralWidget(central_);

  area_ = new QMdiArea(central_);
  area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

  strip_ = new QWidget(central_);
  strip_->setAutoFillBackground(true);
  strip_->installEventFilter(this);

  status_ = new StatusBarWidget(central_);
  status_->pressed = [this](QMouseEvent* e) {
    form_.DragPress(e->globalPosition().toPoint().x(), e->globalPosition().toPoint().y());
  };
  status_->moved = [this](QMouseEvent* e) {
    form_.DragMove(e->globalPosition().toPoint().x(), e->globalPosition().toPoint().y());
  };
  status_->released = [this](QMouseEvent*) { form_.DragRelease(); };
  status_->double_clicked = [this](QMouseEvent*) {
    form_.StatusBarDoubleClick();
    Refresh();
  };

  corner_ = new QWidget(central_);
  corner_->setAutoFillBackground(true);
  corner_->installEventFilter(this);
  corner_label_ = new QLabel(corner_);
  corner_label_->setAlignment(Qt::AlignCenter);
  corner_label_->installEventFilter(this);
  close_button_ = new QToolButton(central_);
  close_button_->setFocusPolicy(Qt::NoFocus);
  connect(close_button_, &QToolButton::clicked, this, [this] { form_.CornerClick(); });

  wait_panel_ = new QLabel(central_);
  wait_panel_->setAlignment(Qt::AlignCenter);
  wait_panel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  wait_panel_->setLineWidth(3);
  wait_panel_->setAutoFillBackground(true);
  wait_panel_->hide();
  wait_panel_->installEventFilter(this);

  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
  connect(area_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
    if (syncing_ || !sub) return;
    for (Child& c : children_) {
      if (c.sub == sub && c.view) c.view->Activated();
    }
    Refresh();
  });
}

DesktopView::~DesktopView() {
  // Nothing of the desktop is called while Qt takes the widgets down.
  timer_.stop();
  disconnect(area_, nullptr, this, nullptr);
  for (QObject* o : {static_cast<QObject*>(strip_), static_cast<QObject*>(corner_),
                     static_cast<QObject*>(corner_label_), static_cast<QObject*>(wait_panel_)}) {
    o->removeEventFilter(this);
  }
  for (Child& c : children_) {
    c.sub->removeEventFilter(this);
    disconnect(c.sub, nullptr, this, nullptr);
  }
  children_.clear();
  syncing_ = true;
}

QMdiSubWindow* DesktopView::AddChild(DeskWindow* form, QWidget* content, ChildView* sync,
                                     bool fixed_border) {
  auto* sub = new QMdiSubWindow;
  sub->setWidget(content);
  if (fixed_border) {
    sub->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  }
  sub->setAttribute(Qt::WA_DeleteOnClose, false);
  area_->addSubWindow(sub);
  // Measure what the border and caption add to the client area.
  sub->resize(300, 300);
  sub->show();
  QRect inner = content->geometry();
  form->Frame().extra_width = sub->width() - inner.width();
  form->Frame().extra_height = sub->height() - inner.height();
  sub->hide();
  sub->installEventFilter(this);
  children_.push_back({form, sub, sync, form->Frame().raised});
  // A subwindow deleted by its owner leaves the list at once.
  connect(sub, &QObject::destroyed, this, [this](QObject* gone) {
    std::erase_if(children_, [gone](const Child& c) { return c.sub == gone; });
  });
  return sub;
}

QRect DesktopView::ClientRectOnScreen(DeskWindow* form) const {
  for (const Child& c : children_) {
    if (c.form == form && c.sub->isVisible() && c.sub->widget()) {
      QWidget* w = c.sub->widget();
      return QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
    }
  }
  return QRect(central_->mapToGlobal(QPoint(0, 0)), central_->size());
}

void DesktopView::Start() {
  Refresh();
  armed_ = form_.Interval();
  timer_.start(armed_);
}

void DesktopView::Tick() {
  form_.TiTime();
  armed_ = form_.Interval();
  timer_.start(armed_);
}

void DesktopView::Refresh() {
  if (syncing_) return;
  syncing_ = true;
  const WindowFrame& f = form_.Frame();
  if (f.left != applied_.left || f.top != applied_.top) move(f.left, f.top);
  if ((f.width != applied_.width || f.height != applied_.height) && f.width > 0 && f.height > 0) {
    resize(f.width, f.height);
  }
  applied_ = f;
  QString caption = QtText(form_.Caption());
  if (windowTitle() != caption) setWindowTitle(caption);
  QFont font = QtWindowFont();
  if (central_->font() != font) central_->setFont(font);

  status_->Show(form_.StatusBar());
  corner_label_->setText(QtText(form_.CornerText()));
  corner_->setToolTip(QtText(form_.CornerHint()));
  close_button_->setText(QtText(form_.CloseCaption()));
  QPalette strip = strip_->palette();
  strip.setColor(QPalette::Window, QtColour(form_.StripColour()));
  strip_->setPalette(strip);
  QPalette desk = area_->palette();
  area_->setBackground(QtColour(form_.DeskColour()));
  (void)desk;
  wait_panel_->setText(QtText(form_.WaitPanelText()));
  wait_panel_->setVisible(form_.WaitPanelShown());
  LayOut();
  syncing_ = false;
  SyncChildren();

  // The form may have asked for another interval (ShowKind sets 12).
  if (timer_.isActive() && armed_ != form_.Interval()) {
    armed_ = form_.Interval();
    timer_.start(armed_);
  }
}

void DesktopView::SyncChildren() {
  syncing_ = true;
  for (Child& c : children_) {
    const WindowFrame& f = c.form->Frame();
    if (f.Collapsed()) {
      c.sub->hide();
    } else {
      c.sub->setGeometry(f.left, f.top, f.width, f.height);
      c.sub->show();
    }
    if (c.view) c.view->Sync();
    if (f.raised != c.raised) {
      c.raised = f.raised;
      if (!f.Collapsed()) {
        c.sub->raise();
        area_->setActiveSubWindow(c.sub);
      }
    }
  }
  syncing_ = false;
}

void DesktopView::LayOut() {
  int w = central_->width(), h = central_->height();
  int bar = form_.StatusBar().height;
  status_->setGeometry(0, h - bar, w, bar);
  strip_->setGeometry(0, 0, kStripWidth, std::max(0, h - bar - 1));
  area_->setGeometry(kStripWidth, 0, std::max(0, w - kStripWidth), std::max(0, h - bar));
  int ch = form_.CornerHeight(), cw = form_.CornerWidth();
  close_button_->setGeometry(w - 4 - ch, 4, ch, ch - 1);
  corner_->setGeometry(w - 4 - ch - cw, 4, cw, ch);
  corner_label_->setGeometry(0, 0, cw, ch);
  corner_->raise();
  close_button_->raise();
  int pw = w * 3 / 5;
  wait_panel_->setGeometry((w - pw) / 2, h * 7 / 17, pw, std::max(40, ch * 2));
  wait_panel_->raise();
}

void DesktopView::ProcessMessages() { QCoreApplication::processEvents(); }

void DesktopView::CloseDesktop() {
  QTimer::singleShot(0, this, [this] { close(); });
}

void DesktopView::SetApplicationTitle(std::string_view title) {
  QApplication::setApplicationDisplayName(QtText(title).trimmed());
}

QString DesktopView::StatusText() const { return status_->Text(); }

QString DesktopView::CornerText() const { return corner_label_->text(); }

void DesktopView::closeEvent(QCloseEvent* event) {
  if (closing_) {
    event->ignore();
    return;
  }
  closing_ = true;
  bool may = form_.FCloQu();
  closing_ = false;
  if (may) {
    form_.FClose();
    timer_.stop();
    event->accept();
  } else {
    event->ignore();
  }
  Refresh();
}

void DesktopView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    form_.EscapeKey();
    return;
  }
  QMainWindow::keyPressEvent(event);
}

void DesktopView::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (!syncing_ && (width() != applied_.width || height() != applied_.height)) {
    form_.Resized(width(), height(), isMaximized());
    applied_ = form_.Frame();
  }
  LayOut();
}

void DesktopView::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  if (!syncing_) {
    form_.Frame().left = x();
    form_.Frame().top = y();
    applied_ = form_.Frame();
  }
}

bool DesktopView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == strip_) {
    QEvent::Type t = event->type();
    if (t == QEvent::MouseButtonPress || t == QEvent::MouseMove) {
      QPoint at = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
      if (t == QEvent::MouseButtonPress) {
        form_.DragPress(at.x(), at.y());
      } else {
        form_.DragMove(at.x(), at.y());
      }
      return true;
    }
    if (t == QEvent::MouseButtonRelease) {
      form_.DragRelease();
      return true;
    }
  } else if (watched == corner_ || watched == corner_label_) {
    if (event->type() == QEvent::MouseButtonRelease) {
      form_.CornerClick();
      return true;
    }
    if (event->type() == QEvent::MouseButtonDblClick) {
      form_.CornerDoubleClick();
      return true;
    }
  } else if (watched == wait_panel_) {
    if (event->type() == QEvent::MouseButtonRelease) {
      form_.WaitPanelClick();
      return true;
    }
  } else if (!syncing_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
    // The user moved or resized a child window: its frame follows.
    for (Child& c : children_) {
      if (c.sub == watched && c.sub->isVisible()) {
        WindowFrame& f = c.form->Frame();
        f.left = c.sub->x();
        f.top = c.sub->y();
        if (event->type() == QEvent::Resize && !f.Collapsed()) {
          f.width = c.sub->width();
          f.height = c.sub->height();
        }
      }
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace zel
