// What the preview's outputs ask of the desktop: the machine's print
// targets, the PDF file dialog (its folder remembered for the session), the
// user's spreadsheet program for a workbook, the message loop, the clock
// and the texts of the option that built the report.
//
// The dialog and the program to open a workbook can be replaced (tests,
// other front ends) by setting the two functions; the targets can be handed
// in too, so that tests run over a made-up printer list.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "output/qt/qt_page_canvas.hpp"
#include "output/report_outputs.hpp"

namespace zel {

class QtOutputHost final : public OutputHost {
 public:
  // nullptr: the machine's own printers and PDF files.
  explicit QtOutputHost(PrintTargets* targets = nullptr);

  PrintTargets& Targets() override { return *targets_; }
  std::string AskPdfPath(std::string_view default_name) override;
  bool OpenWorkbook(const std::string& native_path) override;
  void ProcessMessages() override;
  std::string TimeOfDay() override;
  std::string MenuPosition() override;
  std::string Caption() override;
  std::string PeriodText() override { return period_text ? period_text() : std::string(); }
  std::string VersionText() override;

  std::function<std::string(std::string_view default_name)> ask_pdf_path;
  std::function<bool(const std::string& native_path)> open_workbook;
  std::function<std::string()> period_text;
  std::function<std::string()> version_text;
  // Called before pending messages run during a long output (the view shows
  // the progress).
  std::function<void()> progress;

 private:
  QtPrintTargets own_targets_;
  PrintTargets* targets_;
  QString folder_;  // the folder of the last PDF
};

}  // namespace zel
