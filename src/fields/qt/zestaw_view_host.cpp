#include "fields/qt/zestaw_view_host.hpp"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QScreen>

#include "shell/qt/qt_metrics.hpp"

namespace zel {

std::vector<std::string> QtZestawHost::Printers() {
  std::vector<std::string> out;
  for (const QString& name : QPrinterInfo::availablePrinterNames()) out.push_back(WinText(name));
  if (printer_.empty()) printer_ = WinText(QPrinterInfo::defaultPrinterName());
  return out;
}

void QtZestawHost::ShowProgress(std::string_view title, std::string_view counts) {
  desk_.SetStatusPanelText(std::string(title) + "  " + std::string(counts));
}

void QtZestawHost::DeveloperMessage(std::string_view caption, std::string_view text) {
  QMessageBox::information(nullptr, QtText(caption), QtText(text));
}

int QtZestawHost::ScreenHeight() {
  QScreen* s = QGuiApplication::primaryScreen();
  return s ? s->geometry().height() : 768;
}

}  // namespace zel
