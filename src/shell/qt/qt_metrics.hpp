// Text sizes measured with a Qt font, for the forms that lay themselves out
// (the desktop, the menu window, the answer dialog), and the small
// conversions at the Qt boundary. Texts come in as Windows-1250 and are
// measured as the Unicode they stand for. Without a font of its own the
// measure follows the current window font of the settings.
#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "common/cp1250.hpp"
#include "fields/text_metrics.hpp"
#include "shell/pulpit.hpp"

namespace zel {

inline QString QtText(std::string_view win) { return QString::fromStdString(WinToUtf8(win)); }

inline std::string WinText(const QString& text) { return Utf8ToWin(text.toStdString()); }

inline QColor QtColour(std::uint32_t rgb) {
  return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                static_cast<int>(rgb & 0xFF));
}

// The window font of the settings as a QFont (its size taken as points).
inline QFont QtWindowFont() {
  QFont f(QtText(WindowFont.family));
  f.setPointSize(WindowFont.size > 0 ? WindowFont.size : 9);
  f.setBold(WindowFont.bold);
  return f;
}

class QtMetrics final : public TextMetrics, public DeskMetrics {
 public:
  QtMetrics() = default;
  explicit QtMetrics(const QFont& font) : font_(font) {}
  int TextWidth(std::string_view text) const override {
    return Metrics().horizontalAdvance(QtText(text));
  }
  int TextHeight(std::string_view) const override { return Metrics().height(); }
  int TextWidth(std::string_view text) override {
    return Metrics().horizontalAdvance(QtText(text));
  }
  int TextHeight(std::string_view) override { return Metrics().height(); }

 private:
  QFontMetrics Metrics() const { return QFontMetrics(font_ ? *font_ : QtWindowFont()); }
  std::optional<QFont> font_;
};

}  // namespace zel
