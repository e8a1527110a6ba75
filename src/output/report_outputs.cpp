#include "output/report_outputs.hpp"

#include <algorithm>
#include <filesystem>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/globals.hpp"
#include "output/xlsx_export.hpp"
#include "platform/paths.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"

namespace zel {

std::string& CurrentPrinterName() {
  static std::string name;
  return name;
}

ReportOutputs::ReportOutputs(const ReportDocument& doc, ReportPreview& preview, OutputHost& host)
    : doc_(doc), preview_(preview), host_(host) {}

std::vector<std::string> ReportOutputs::Printers() {
  std::vector<std::string> list = host_.Targets().PrinterNames();
  list.emplace_back(kBuiltInPdfPrinter);
  return list;
}

int ReportOutputs::CurrentIndex() {
  const std::vector<std::string> list = Printers();
  auto it = std::find(list.begin(), list.end(), CurrentPrinterName());
  return it == list.end() ? 0 : static_cast<int>(it - list.begin());
}

void ReportOutputs::ChoosePrinter(int index) {
  const std::vector<std::string> list = Printers();
  if (index < 0 || index >= static_cast<int>(list.size())) return;
  CurrentPrinterName() = list[static_cast<std::size_t>(index)];
}

int ReportOutputs::PdfPrinterIndex() {
  const std::vector<std::string> list = Printers();
  int found = -1;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i].find("PDF") != std::string::npos) found = static_cast<int>(i);
  }
  return found;
}

PrintTexts ReportOutputs::Texts() {
  return MakePrintTexts(doc_, host_.MenuPosition(), host_.PeriodText(), host_.VersionText(),
                        host_.TimeOfDay());
}

bool ReportOutputs::PrintOn(const std::string& printer, bool landscape) {
  const PrintTexts texts = Texts();
  std::string err;
  std::unique_ptr<PageCanvas> canvas;
  if (printer == kBuiltInPdfPrinter) {
    const std::string path = host_.AskPdfPath(texts.job_title + ".pdf");
    if (path.empty()) return false;
    canvas = host_.Targets().PdfFile(path, landscape, &err);
  } else {
    canvas = host_.Targets().Printer(printer, landscape, &err);
  }
  if (!canvas) {
    ShowStatus(err, kWarning);
    return false;
  }
  return PrintReport(doc_, texts, preview_.RangeFirst(), preview_.RangeLast(), landscape, printer,
                     *canvas)
      .ok;
}

bool ReportOutputs::Print(bool landscape) {
  const std::vector<std::string> list = Printers();
  return PrintOn(list[static_cast<std::size_t>(CurrentIndex())], landscape);
}

bool ReportOutputs::Pdf(bool landscape) {
  const int pdf = PdfPrinterIndex();
  if (pdf < 0) return false;
  const std::string before = CurrentPrinterName();
  const std::vector<std::string> list = Printers();
  CurrentPrinterName() = list[static_cast<std::size_t>(pdf)];
  const bool ok = PrintOn(CurrentPrinterName(), landscape);
  CurrentPrinterName() = before;
  host_.ProcessMessages();
  return ok;
}

bool ReportOutputs::Xls() {
  const std::string stem = "Zel-" + host_.MenuPosition() +
                           ReportFileStem(doc_.Name(), host_.PeriodText(), ForWhom.view());
  // A name of its own in the temporary folder: an earlier export may still
  // be open in the spreadsheet program.
  std::string path = NativePath(TempDir.str() + stem + ".xlsx");
  for (int n = 2; std::filesystem::exists(path) && n < 10000; ++n) {
    path = NativePath(TempDir.str() + stem + "-" + std::to_string(n) + ".xlsx");
  }
  XlsxTitles titles;
  titles.row1 = "Zel ver " + host_.VersionText() + "   Opcja " + host_.MenuPosition() + " " +
                host_.Caption() + "   " + DayToText10(Today) + " " + host_.TimeOfDay();
  titles.row2 = FirmName.str();
  if (!ForWhom.empty()) titles.row2 += " dla " + ForWhom.str();

  const std::string wp = preview_.FirstText().substr(0, 7);
  const std::int32_t first = preview_.RangeFirst();
  const std::int32_t last = preview_.RangeLast();
  preview_.SetExporting(true);
  XlsxOutcome out = ExportXlsx(doc_, first, last, path, titles, [this](std::int32_t row) {
    preview_.SetFirstText(std::to_string(row));
    if (row % 1000 == 0) host_.ProcessMessages();
    return !preview_.AbortRequested();
  });
  preview_.SetFirstText(wp);
  preview_.SetExporting(false);
  if (!out.ok) {
    ShowStatus(out.error, kWarning);
    return false;
  }
  last_workbook_ = path;
  if (!host_.OpenWorkbook(path)) {
    ShowStatus(" Nie ma żadnego Excela w systemie"_w, kWarning);
    return false;
  }
  ShowStatus("Arkusz: "_w + Utf8ToWin(path), kSuccess);
  return true;
}

std::int32_t ReportOutputs::RowsPerPage(const ReportDocument& doc, bool landscape) {
  const std::vector<std::string> list = Printers();
  std::unique_ptr<PageCanvas> canvas =
      host_.Targets().Measure(list[static_cast<std::size_t>(CurrentIndex())], landscape);
  if (!canvas || canvas->PageWidth() <= 0) return DefaultRowsPerPage(doc, landscape);
  return ComputePrintLayout(doc, canvas->PageWidth(), canvas->PageHeight(), landscape, *canvas)
      .rows;
}

}  // namespace zel
