// The preview's outputs: the printer list `DRU` with the current printer,
// printing the range (`POR`, `PEJ`), PDF (`PDF`, click portrait, right
// click landscape) and the spreadsheet export (`XLS`); and the rows per page
// that a finished report shows, from the current printer's real pages.
//
// The printer list is the machine's printers followed by the built-in PDF
// target, whose name contains "PDF": the PDF button always finds a target
// (the last printer whose name contains "PDF"), and the printer that was
// current before comes back after it. Printing on the built-in target asks
// the host for the file name. The export writes a workbook in the temporary
// folder (never over an existing file) and asks the host to open it.
// Toolkit-free: the host supplies the dialogs, the targets and the message
// loop. The one current printer is shared with the parameter window.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "output/print_run.hpp"
#include "output/print_targets.hpp"
#include "output/report_document.hpp"
#include "output/report_preview.hpp"

namespace zel {

class OutputHost {
 public:
  virtual ~OutputHost() = default;
  virtual PrintTargets& Targets() = 0;
  // The PDF file's native path, asked from the default name; empty when the
  // user cancelled.
  virtual std::string AskPdfPath(std::string_view default_name) = 0;
  // Opens the workbook in the user's spreadsheet program; false when none
  // took it.
  virtual bool OpenWorkbook(const std::string& native_path) = 0;
  // Lets pending window messages run during a long output.
  virtual void ProcessMessages() {}
  // The time of day as "HH:MM".
  virtual std::string TimeOfDay() = 0;
  // The menu position and the period text of the option that built the
  // report, and the program's version text.
  virtual std::string MenuPosition() = 0;
  virtual std::string Caption() = 0;  // the option's menu caption
  virtual std::string PeriodText() = 0;
  virtual std::string VersionText() = 0;
};

// The current printer, by name (Windows-1250); empty until one is chosen.
std::string& CurrentPrinterName();

class ReportOutputs final : public PageRowsSource {
 public:
  ReportOutputs(const ReportDocument& doc, ReportPreview& preview, OutputHost& host);

  // DRU: the printers and, last, the built-in PDF target.
  std::vector<std::string> Printers();
  // Index of the current printer in Printers() (the first when the name is
  // not there).
  int CurrentIndex();
  // Choosing an entry makes that printer current.
  void ChoosePrinter(int index);
  // The last printer whose name contains "PDF"; -1 when none.
  int PdfPrinterIndex();

  // POR / PEJ on the current printer; true when the pages were printed.
  bool Print(bool landscape);
  // PDF: the range on the PDF printer, then the previous printer again.
  bool Pdf(bool landscape);
  // XLS: the range as a workbook, opened for the user.
  bool Xls();
  // The workbook file of the last export (native).
  const std::string& LastWorkbook() const { return last_workbook_; }

  // Rows per page of a finished report on the current printer's pages.
  std::int32_t RowsPerPage(const ReportDocument& doc, bool landscape) override;

 private:
  bool PrintOn(const std::string& printer, bool landscape);
  PrintTexts Texts();

  const ReportDocument& doc_;
  ReportPreview& preview_;
  OutputHost& host_;
  std::string last_workbook_;
};

}  // namespace zel
