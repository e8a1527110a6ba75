// zel-batch's outputs of a finished report: by the extension of --out a text
// file, a PDF file or a workbook; "-" (or /dev/stdout) the text on standard
// output, /dev/null nothing; --printer pages on a printer queue. The rows
// --rows FIRST..LAST are put in order and limited to the report's rows.
// PDF and printer runs tell "Wierszy na str: P / L" and the page count on
// standard error. Every file is written beside its target and renamed over
// it, so a failure leaves the old file whole.
#pragma once

#include <string>
#include <string_view>

#include "app/batch.hpp"
#include "output/report_document.hpp"
#include "output/viewer_document.hpp"

namespace zel {

enum class BatchOut { kStdout, kNull, kText, kPdf, kXlsx, kUnknown };
BatchOut BatchOutOf(std::string_view path);

// Writes the report as the request asks. `period_text` is the parameter
// window's period text (for the print job's title); `line` takes the
// batch's messages (Windows-1250). Answers the exit code.
int WriteBatchReport(const ReportDocument& doc, const BatchRequest& request, const BatchIo& io,
                     std::string_view period_text,
                     const std::function<void(std::string_view)>& line);

// Writes the viewer document an option handed over (the VAT-7 declaration):
// its filled script as text on standard output or into a .txt file, or
// drawn as PDF or on a printer (each letter of --action a copy, default one
// plain copy).
int WriteBatchViewerDocument(const ViewerDocument& doc, const BatchRequest& request,
                             const BatchIo& io, const std::function<void(std::string_view)>& line);

// --view: the viewer script file drawn as PDF (each letter of --action a
// copy) or written back as text with the copy names put in. Answers the
// exit code.
int WriteBatchViewScript(const BatchRequest& request, const BatchIo& io);

// "HH:MM" of --time (checked by ParseBatchTime) or of the clock.
bool ParseBatchTime(std::string_view text);

}  // namespace zel
