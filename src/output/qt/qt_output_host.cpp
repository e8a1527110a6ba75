#include "output/qt/qt_output_host.hpp"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QTime>
#include <QUrl>

#include "common/cp1250.hpp"
#include "menu/current_option.hpp"
#include "shell/pulpit.hpp"

namespace zel {

QtOutputHost::QtOutputHost(PrintTargets* targets)
    : targets_(targets ? targets : &own_targets_), folder_(QDir::homePath()) {
  // The system's default printer is current until the user chooses another.
  if (!targets && CurrentPrinterName().empty()) {
    CurrentPrinterName() = Utf8ToWin(QPrinterInfo::defaultPrinterName().toStdString());
  }
}

std::string QtOutputHost::AskPdfPath(std::string_view default_name) {
  if (ask_pdf_path) return ask_pdf_path(default_name);
  const QString start =
      folder_ + QStringLiteral("/") + QString::fromStdString(WinToUtf8(default_name));
  // The dialog asks before an existing file is replaced.
  const QString file = QFileDialog::getSaveFileName(nullptr, QStringLiteral("Zapisz PDF"), start,
                                                    QStringLiteral("PDF (*.pdf)"));
  if (file.isEmpty()) return {};
  folder_ = QFileInfo(file).absolutePath();
  return file.toStdString();
}

bool QtOutputHost::OpenWorkbook(const std::string& native_path) {
  if (open_workbook) return open_workbook(native_path);
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(native_path)));
}

void QtOutputHost::ProcessMessages() {
  if (progress) progress();
  QCoreApplication::processEvents();
}

std::string QtOutputHost::TimeOfDay() {
  return QTime::currentTime().toString(QStringLiteral("HH:mm")).toStdString();
}

std::string QtOutputHost::MenuPosition() {
  return OptionKey.str();
}
std::string QtOutputHost::Caption() {
  return OptionCaption.str();
}

std::string QtOutputHost::VersionText() {
  return version_text ? version_text() : std::string(FPulpit::kBuiltInVersion);
}

}  // namespace zel
