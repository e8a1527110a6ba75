#include "fields/qt/zestaw_view_host.hpp"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QScreen>

#include "output/print_targets.hpp"
#include "output/report_outputs.hpp"
#include "shell/qt/qt_metrics.hpp"

namespace zel {

// The installed printers and, last, the built-in PDF target, so that the
// PDF choices always find a printer whose name contains "PDF".
std::vector<std::string> QtZestawHost::Printers() {
  std::vector<std::string> out;
  for (const QString& name : QPrinterInfo::availablePrinterNames()) out.push_back(WinText(name));
  out.emplace_back(kBuiltInPdfPrinter);
  if (CurrentPrinterName().empty()) CurrentPrinterName() = WinText(QPrinterInfo::defaultPrinterName());
  return out;
}

std::string QtZestawHost::CurrentPrinter() { return CurrentPrinterName(); }
void QtZestawHost::SetCurrentPrinter(std::string_view name) { CurrentPrinterName() = name; }

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
