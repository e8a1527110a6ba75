#include "fields/qt/answer_dialog_view.hpp"

#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "shell/pulpit.hpp"

namespace zel {

namespace {

void Bevel(QPainter& p, const QRect& r, bool raised, int width) {
  QColor light(0xFF, 0xFF, 0xFF), dark(0x80, 0x80, 0x80);
  for (int i = 0; i < width; ++i) {
    QRect x = r.adjusted(i, i, -i - 1, -i - 1);
    p.setPen(raised ? light : dark);
    p.drawLine(x.topLeft(), x.topRight());
    p.drawLine(x.topLeft(), x.bottomLeft());
    p.setPen(raised ? dark : light);
    p.drawLine(x.bottomLeft(), x.bottomRight());
    p.drawLine(x.topRight(), x.bottomRight());
  }
}

}  // namespace

AnswerDialogView::AnswerDialogView(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint) {
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::ArrowCursor);
  form_.FoCreat(AltColours);
  ticker_.setInterval(20);
  connect(&ticker_, &QTimer::timeout, this, [this] {
    int elapsed = static_cast<int>(clock_.restart());
    form_.Advance(elapsed);
    Changed();
  });
}

QRect AnswerDialogView::Box(const DialogBox& b) const {
  const OdpowiLayout& l = form_.Layout();
  return QRect(l.pa.left + l.pz.left + b.left, l.pa.top + l.pz.top + b.top, b.width, b.height);
}

int AnswerDialogView::ChoiceAt(QPoint p) const {
  const OdpowiLayout& l = form_.Layout();
  if (Box(l.tak).contains(p)) return FOdpowi::kTak;
  if (Box(l.nie).contains(p)) return FOdpowi::kNie;
  if (Box(l.esc).contains(p)) return FOdpowi::kPowrot;
  return 0;
}

int AnswerDialogView::Ask(char default_answer, std::string_view first_line,
                          std::string_view second_line, DeskWindow* owner) {
  OdpowiOwner o;
  QRect r = owner_rect ? owner_rect(owner) : QRect(0, 0, 800, 600);
  o.client = {r.left(), r.top(), r.width(), r.height()};
  o.desktop_left = desktop_left ? desktop_left() : 0;
  metrics_ = QtMetrics(QtWindowFont());
  setFont(QtWindowFont());
  form_.PrepareLines(default_answer, first_line, second_line, o);
  form_.Show(metrics_);
  const OdpowiLayout& l = form_.Layout();
  setGeometry(l.left, l.top, l.client_width, l.client_height);
  show();
  raise();
  activateWindow();
  setFocus();
  clock_.start();
  ticker_.start();

  QEventLoop loop;
  quit_ = [&loop] { loop.quit(); };
  if (!form_.Done()) loop.exec();
  quit_ = nullptr;
  ticker_.stop();
  hide();
  return form_.Result();
}

void AnswerDialogView::PressYes() {
  form_.PressYes();
  Changed();
}

void AnswerDialogView::PressBack() {
  form_.PressBack();
  Changed();
}

void AnswerDialogView::Changed() {
  update();
  if (form_.Done() && quit_) quit_();
}

bool AnswerDialogView::event(QEvent* e) {
  if (e->type() == QEvent::KeyPress) {
    // Every key, Tab included, goes to the form before any focus handling.
    auto* k = static_cast<QKeyEvent*>(e);
    DialogKey key;
    key.code = k->key();
    key.shift = (k->modifiers() & Qt::ShiftModifier) != 0;
    if (!k->text().isEmpty() && k->text().at(0).isPrint()) {
      std::string win = WinText(k->text().left(1));
      if (!win.empty()) key.text = win[0];
    }
    form_.Key(key);
    Changed();
    return true;
  }
  if (e->type() == QEvent::WindowActivate && form_.Visible()) {
    form_.FoActiv(metrics_);
    const OdpowiLayout& l = form_.Layout();
    setGeometry(l.left, l.top, l.client_width, l.client_height);
    update();
  }
  return QWidget::event(e);
}

void AnswerDialogView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const OdpowiLayout& l = form_.Layout();
  QColor back = form_.AltColours() ? QtColour(FOdpowi::kAltFormColour) : palette().window().color();
  QColor buttons = form_.AltColours() ? QtColour(FOdpowi::kAltButtonColour) : back;
  p.fillRect(rect(), back);
  QRect pa(l.pa.left, l.pa.top, l.pa.width, l.pa.height);
  Bevel(p, pa, true, l.pa_bevel_width);
  QRect pz(l.pa.left + l.pz.left, l.pa.top + l.pz.top, l.pz.width, l.pz.height);
  Bevel(p, pz, false, 1);
  p.setPen(Qt::black);
  p.drawText(Box(l.l1), Qt::AlignCenter, QtText(form_.Line1()));
  p.drawText(Box(l.l2), Qt::AlignCenter, QtText(form_.Line2()));
  const DialogBox* boxes[3] = {&l.tak, &l.nie, &l.esc};
  for (int choice = 1; choice <= 3; ++choice) {
    QRect r = Box(*boxes[choice - 1]);
    p.fillRect(r, buttons);
    Bevel(p, r, form_.Pressed() != choice && down_ != choice, 1);
    QFont f = font();
    f.setUnderline(form_.Underlined(choice));
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(r, Qt::AlignCenter, QtText(FOdpowi::Caption(choice)));
  }
}

void AnswerDialogView::mousePressEvent(QMouseEvent* e) {
  down_ = ChoiceAt(e->position().toPoint());
  if (down_) form_.MouseDown(down_);
  Changed();
}

void AnswerDialogView::mouseReleaseEvent(QMouseEvent* e) {
  int choice = ChoiceAt(e->position().toPoint());
  form_.MouseUp();
  if (choice && choice == down_) form_.Click(choice);
  down_ = 0;
  Changed();
}

void AnswerDialogView::closeEvent(QCloseEvent* e) {
  form_.FormClose();
  Changed();
  e->accept();
}

}  // namespace zel
