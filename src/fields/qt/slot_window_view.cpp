#include "fields/qt/slot_window_view.hpp"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QWidget>
#include <algorithm>

#include "shell/qt/qt_metrics.hpp"
#include "shell/status.hpp"

namespace zel {

namespace {

// A panel's text as the user sees it: the doubled "&" stands for one.
QString PanelShown(std::string_view text) {
  QString s = QtText(text);
  s.replace(QStringLiteral("&&"), QStringLiteral("&"));
  return s;
}

}  // namespace

QColor WinColour(std::uint32_t bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

QColor StatusColourOf(std::uint8_t colour) {
  switch (colour) {
    case kWarning:
      return QColor(192, 0, 0);
    case kSuccess:
      return QColor(0, 112, 0);
    default:
      return QColor(0, 0, 128);
  }
}

QRect Rect(const ZestawRect& r) {
  return QRect(r.left, r.top, std::max(0, r.width), std::max(0, r.height));
}

void SetBack(QWidget* w, const QColor& c) {
  QPalette p = w->palette();
  p.setColor(QPalette::Window, c);
  p.setColor(QPalette::Base, c);
  p.setColor(QPalette::Button, c);
  w->setPalette(p);
  w->setAutoFillBackground(true);
}

std::uint16_t CommandKey(const QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return kKeyEnter;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return kKeyTab;
    case Qt::Key_Escape:
      return kKeyEsc;
    case Qt::Key_PageUp:
      return kKeyPageUp;
    case Qt::Key_PageDown:
      return kKeyPageDown;
    case Qt::Key_Up:
      return kKeyUp;
    case Qt::Key_Down:
      return kKeyDown;
    case Qt::Key_F3:
      return kKeyF3;
    case Qt::Key_F4:
      return kKeyF4;
    case Qt::Key_F5:
      return kKeyF5;
    case Qt::Key_F6:
      return kKeyF6;
    case Qt::Key_F7:
      return kKeyF7;
    case Qt::Key_Plus:
      return (e->modifiers() & Qt::KeypadModifier) ? kKeyPadPlus : 0;
    default:
      return 0;
  }
}

void PaintSlots(QPainter& p, const QWidget& widget, const SlotWindow& form, bool fancy_frame) {
  const FieldAppearance& look = form.Look();
  const int w = widget.width(), h = widget.height();
  const ZestawLayout& d = form.Drawing();
  p.fillRect(widget.rect(), WinColour(d.back_colour));

  // The engraved frame: white line inside, black outside; now and then six
  // nested frames in colours of their own.
  if (fancy_frame) {
    for (int i = 0; i < 6; ++i) {
      p.setPen(WinColour(d.frame_colours[static_cast<std::size_t>(i)]));
      p.drawRect(i, i, w - 1 - 2 * i, h - 1 - 2 * i);
    }
  } else {
    p.setPen(Qt::black);
    p.drawRect(0, 0, w - 1, h - 1);
    p.setPen(Qt::white);
    p.drawRect(1, 1, w - 3, h - 3);
  }

  // Separators: an engraved line across the area.
  for (int y : d.separator_lines) {
    p.setPen(Qt::white);
    p.drawLine(4, y, w - 5, y);
    p.setPen(Qt::black);
    p.drawLine(4, y + 1, w - 5, y + 1);
  }

  // The title, maroon, 3 points larger and bold.
  QFont title_font = widget.font();
  title_font.setPointSize(form.FontSize() + 3);
  title_font.setBold(true);
  p.setFont(title_font);
  p.setPen(WinColour(d.title_colour));
  QFontMetrics tfm(title_font);
  p.drawText(d.title.left, d.title.top + tfm.ascent(), QtText(form.Title()));

  p.setFont(widget.font());
  QFontMetrics fm(widget.font());
  const int panel_h = d.panel_height;
  // The dotted leaders from captions to their panels.
  {
    QPen pen(QColor(64, 64, 64));
    pen.setStyle(Qt::DotLine);
    p.setPen(pen);
    for (const ZestawLeader& l : d.leaders) p.drawLine(l.x1, l.y, l.x2, l.y);
  }
  const FieldSet& fields = form.Fields();
  for (int s = 1; s <= fields.SlotCount(); ++s) {
    const FieldSlot& slot = fields.Slot(s);
    QString label = QtText(slot.label.view());
    if (!label.isEmpty()) {
      p.setPen(Qt::black);
      p.drawText(slot.label_left, slot.top + look.bevel + fm.ascent(), label);
    }
    if (slot.panel_width == 0) continue;
    QRect r(slot.left, slot.top, slot.panel_width, panel_h);
    QString shown = PanelShown(form.PanelText(s));
    QRect inner =
        r.adjusted(look.bevel + look.border, look.bevel, -(look.bevel + look.border), -look.bevel);
    if (slot.display_only) {
      p.setPen(WinColour(d.title_colour));
    } else {
      p.fillRect(r, WinColour(d.panel_colour));
      // A lowered bevel: dark above and left, light below and right.
      for (int i = 0; i < look.bevel; ++i) {
        p.setPen(QColor(128, 128, 128));
        p.drawLine(r.left() + i, r.top() + i, r.right() - i, r.top() + i);
        p.drawLine(r.left() + i, r.top() + i, r.left() + i, r.bottom() - i);
        p.setPen(Qt::white);
        p.drawLine(r.left() + i, r.bottom() - i, r.right() - i, r.bottom() - i);
        p.drawLine(r.right() - i, r.top() + i, r.right() - i, r.bottom() - i);
      }
      p.setPen(Qt::black);
    }
    p.drawText(inner, (form.PanelRight(s) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
               shown);
  }
}

bool SyncEditor(QLineEdit* editor, QLabel* fbutton, const SlotWindow& form, bool hidden,
                bool take_focus) {
  const FieldAppearance& look = form.Look();
  const ZestawEditor& ed = form.Editor();
  if (ed.visible && !hidden) {
    editor->setGeometry(ed.left, ed.top, std::max(1, ed.width - 2 * (look.bevel + look.border)),
                         std::max(1, ed.height));
    editor->setMaxLength(ed.max_length > 0 ? ed.max_length : 32767);
    editor->setEchoMode(ed.password ? QLineEdit::Password : QLineEdit::Normal);
    QString text = QtText(ed.text);
    if (editor->text() != text) editor->setText(text);
    if (ed.sel_length > 0) {
      editor->setSelection(ed.sel_start, ed.sel_length);
    } else {
      editor->setCursorPosition(ed.caret);
    }
    editor->setToolTip(QtText(ed.hint));
    editor->show();
    editor->raise();
    if (take_focus && !editor->hasFocus()) editor->setFocus();
  } else {
    editor->hide();
  }

  const FButton& fb = form.FButtonState();
  if (fb.visible && ed.visible && !hidden) {
    fbutton->setGeometry(fb.left, fb.top, fb.size, fb.size);
    fbutton->setToolTip(QtText(fb.hint));
    fbutton->setStyleSheet(fb.aqua
                                ? QStringLiteral("QLabel { background: #00FFFF; border: 1px solid "
                                                 "#808080; border-radius: 3px; font-size: 8px; }")
                                : QStringLiteral("QLabel { background: #D0D0D0; border: 1px solid "
                                                 "#808080; border-radius: 3px; font-size: 8px; }"));
    fbutton->show();
    fbutton->raise();
  } else {
    fbutton->hide();
  }

  return ed.visible && !hidden;
}

void GrowSubWindow(QWidget* sub, const WindowFrame& frame, const std::array<int, 7>& steps) {
  for (int h : steps) {
    if (h <= 0) continue;
    sub->setGeometry(frame.left, frame.top, frame.width, h);
    sub->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
  sub->setGeometry(frame.left, frame.top, frame.width, frame.height);
}

}  // namespace zel
