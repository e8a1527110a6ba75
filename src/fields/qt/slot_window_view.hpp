// What the Qt views of the field windows (the parameter window and the F3
// window) draw and translate alike: the colours of the forms, the keys the
// forms know, the painting of the laid-out slots (frame, separators, title,
// leaders, captions and value panels) and the editor and "F" button kept
// over the current panel.
#pragma once

#include <QColor>
#include <QRect>
#include <array>
#include <cstdint>

#include "fields/slot_window.hpp"

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPainter;
class QWidget;

namespace zel {

// The forms' colours are Windows values: 0x00BBGGRR.
QColor WinColour(std::uint32_t bgr);
// The colour of a status text (kWarning, kSuccess, kInfo).
QColor StatusColourOf(std::uint8_t colour);
QRect Rect(const ZestawRect& r);
void SetBack(QWidget* w, const QColor& c);
// The Windows key numbers the forms know, from a Qt key event; 0 for keys
// that are not commands (typing).
std::uint16_t CommandKey(const QKeyEvent* e);

// Paints the window's background, frame, separators, title, leaders,
// captions and panels into `widget`.
void PaintSlots(QPainter& p, const QWidget& widget, const SlotWindow& form, bool fancy_frame);

// Places the editor over the current panel and the "F" button at its end,
// or hides them when `hidden` (or the form shows no editor). Answers whether
// the editor is shown.
bool SyncEditor(QLineEdit* editor, QLabel* fbutton, const SlotWindow& form, bool hidden,
                bool take_focus);

// The subwindow of a window just shown grows to the frame's height through
// the seven steps of the form's growth, repainted at each.
void GrowSubWindow(QWidget* sub, const WindowFrame& frame, const std::array<int, 7>& steps);

}  // namespace zel
