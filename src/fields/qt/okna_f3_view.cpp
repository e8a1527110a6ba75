#include "fields/qt/okna_f3_view.hpp"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include "fields/okna_f3.hpp"
#include "fields/qt/slot_window_view.hpp"
#include "shell/qt/qt_metrics.hpp"

namespace zel {

OknaF3View::OknaF3View(FOknaF3& form, PulpitView& desktop, QWidget* parent)
    : QWidget(parent), form_(form), desktop_(desktop) {
  setAutoFillBackground(true);
  setFocusPolicy(Qt::ClickFocus);

  editor_ = new QLineEdit(this);
  editor_->setObjectName(QStringLiteral("ed"));
  editor_->setFrame(false);
  editor_->setStyleSheet(QStringLiteral("QLineEdit { background: #DFDFD7; }"));
  editor_->installEventFilter(this);
  editor_->hide();
  connect(editor_, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (syncing_) return;
    const int caret = editor_->cursorPosition();
    const std::string typed = WinText(text);
    form_.SetEditorText(typed);
    if (form_.Editor().text == typed) form_.SetCaret(caret);
    Changed();
  });

  fbutton_ = new QLabel(QStringLiteral("F"), this);
  fbutton_->setObjectName(QStringLiteral("PaF"));
  fbutton_->setAlignment(Qt::AlignCenter);
  fbutton_->installEventFilter(this);
  fbutton_->hide();

  esc_ = new QPushButton(QStringLiteral("Anuluj"), this);
  esc_->setObjectName(QStringLiteral("bEsc"));
  esc_->setFocusPolicy(Qt::NoFocus);
  esc_->installEventFilter(this);
  go_ = new QPushButton(this);
  go_->setObjectName(QStringLiteral("bGo"));
  go_->setFocusPolicy(Qt::NoFocus);
  connect(esc_, &QPushButton::clicked, this, [this] {
    form_.ClickEsc();
    Changed();
  });
  connect(go_, &QPushButton::clicked, this, [this] {
    form_.ClickGo();
    Changed();
  });

  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("pSt"));
  status_->setFrameShape(QFrame::Panel);
  status_->setFrameShadow(QFrame::Sunken);
}

OknaF3View::~OknaF3View() {
  syncing_ = true;
  editor_->removeEventFilter(this);
  fbutton_->removeEventFilter(this);
  esc_->removeEventFilter(this);
}

void OknaF3View::Changed() {
  desktop_.Refresh();
  Sync();
}

void OknaF3View::Activated() {
  if (form_.Frame().Collapsed()) return;
  Changed();
}

void OknaF3View::Sync() {
  if (growing_) return;
  syncing_ = true;
  const ZestawLayout& d = form_.Drawing();
  SetBack(this, WinColour(d.back_colour));
  const QFont f = QtWindowFont();
  if (font() != f) setFont(f);
  if (editor_->font() != f) editor_->setFont(f);
  esc_->setGeometry(Rect(d.esc));
  go_->setGeometry(Rect(d.go));
  go_->setText(QtText(form_.GoCaption()));
  status_->setGeometry(Rect(d.status));
  status_->setText(QtText(" " + form_.StatusText()));
  QPalette p = status_->palette();
  p.setColor(QPalette::WindowText, StatusColourOf(form_.StatusColour()));
  status_->setPalette(p);
  SyncEditor(editor_, fbutton_, form_, false, isVisible());
  if (QWidget* sub = parentWidget()) {
    sub->setWindowTitle(QtText("   " + form_.Title()));
    // Shown again: the window grows to its size in seven steps.
    if (!form_.Frame().Collapsed() && !isVisible() && sub->isVisible() && !growing_) {
      growing_ = true;
      GrowSubWindow(sub, form_.Frame(), form_.GrowthSteps());
      growing_ = false;
    }
  }
  syncing_ = false;
  update();
}

void OknaF3View::paintEvent(QPaintEvent*) {
  QPainter p(this);
  PaintSlots(p, *this, form_, form_.Drawing().fancy_frame);
}

void OknaF3View::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  form_.ClickAt(at.x(), at.y());
  Changed();
}

bool OknaF3View::eventFilter(QObject* watched, QEvent* event) {
  if (syncing_) return QWidget::eventFilter(watched, event);
  const QEvent::Type t = event->type();
  if (watched == editor_) {
    if (t == QEvent::KeyPress) {
      const std::uint16_t code = CommandKey(static_cast<QKeyEvent*>(event));
      if (code == 0) return false;
      form_.PressKey(code);
      Changed();
      return true;
    }
    if (t == QEvent::ShortcutOverride && CommandKey(static_cast<QKeyEvent*>(event)) != 0) {
      event->accept();
      return true;
    }
  } else if (watched == fbutton_) {
    if (t == QEvent::MouseButtonRelease) {
      auto* m = static_cast<QMouseEvent*>(event);
      form_.PressKey(m->button() == Qt::RightButton ? kKeyF5 : kKeyF4);
      Changed();
      return true;
    }
  } else if (watched == esc_) {
    if (t == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
      form_.RightClickEsc();
      Changed();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace zel
