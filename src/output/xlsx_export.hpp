// The spreadsheet export: the rows WP..WK of the report document written as
// an .xlsx workbook (libxlsxwriter, constant memory: rows go out in order,
// none are kept).
//
// Sheet: column A a narrow margin, report column i in column A + i; rows 1
// and 2 the headings in bold (heading 1 of a `b` column merged and centred
// over its pair), the two title cells right of the table; report row r of
// the range in sheet row r - WP + 3; panes frozen below row 2 and B3
// selected. Text columns are strings with the format "@"; numeric columns
// numbers with "#,##0" (Lp and count columns) or "#,##0.00" - but a cell of
// a numeric column that is no number (a date, "*", a marked text) stays
// text, never 0. Every text is written as a string, never as a formula.
// Column widths are fitted to the longest text shown. The file is written
// beside its target and renamed over it when complete.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "output/report_document.hpp"

namespace zel {

inline constexpr std::int64_t kXlsxMaxRange = 100000;  // WK - WP at most

struct XlsxTitles {
  std::string row1;  // "Zel ver 1.41   Opcja EA <caption>   <stamp>"
  std::string row2;  // firm name [+ " dla " + ForWhom]
};

// The number of a numeric cell's text: with a decimal comma the '.'
// grouping is dropped and the comma read as the point; without one the text
// is read as it stands. False for anything else (dates, "*", words).
bool XlsxNumber(std::string_view text, double* value);

struct XlsxOutcome {
  bool ok = false;
  bool aborted = false;
  std::int32_t rows = 0;  // report rows written
  std::string error;      // Windows-1250, for the status line
};

// Writes rows first..last (put in order and limited to 1..row count; a range
// of more than 100000 + 1 rows is refused with "Więcej niż 100.000
// wierszy"). `progress` is told each report row before it is written; when
// it answers false the export stops there and the rows written so far are
// kept in the workbook.
XlsxOutcome ExportXlsx(const ReportDocument& doc, std::int64_t first, std::int64_t last,
                       const std::string& native_path, const XlsxTitles& titles,
                       const std::function<bool(std::int32_t row)>& progress = {});

}  // namespace zel
