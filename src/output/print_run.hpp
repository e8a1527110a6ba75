// A print run: the rows WP..WK of the report document drawn page by page on
// a canvas (a printer queue or a PDF file), each page with the title and
// subtitle, the stamp and "Strona i z N", the column headings, bands of five
// rows, rules, text rows, the frame, the column separators and the
// three-part footer.
//
// The range is put in order and limited to 1..row count before anything is
// drawn; an empty range draws nothing. The run checks every step the device
// answers (begin, new page, end): "Raport wydrukowany" is shown only when
// all of them were taken, otherwise a warning says the report was not
// printed. The layout is computed on the canvas itself, from its page and
// its font, never from the screen's.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "output/page_canvas.hpp"
#include "output/print_layout.hpp"
#include "output/report_document.hpp"

namespace zel {

inline constexpr std::uint32_t kPrintShade = 0xD0E0C0;  // RGB(208, 224, 192)

// The texts around the table on every page.
struct PrintTexts {
  std::string stamp;          // DayToText10(Today) + " " + HH:MM
  std::string job_title;      // "Zel-" + menu position + the report file stem
  std::string footer_left;    // current folder + "\" + DbDir + StationExt
  std::string footer_centre;  // the firm name
  std::string footer_right;   // "Zel " + version + " " + menu position
};

// The report file stem of the job title: "-" + the upper-cased report name
// (when there is one), the period text, " " + ForWhom (when set); spaces
// become "-", Polish letters are folded, characters outside 33..126 and
// "%'*/:<>?\| are dropped; at most 250 characters.
std::string ReportFileStem(std::string_view report_name, std::string_view period_text,
                           std::string_view for_whom);

// The texts from the shell's state (Today, StartDir, DbDir, StationExt,
// FirmName, ForWhom) and what the caller knows: the option's menu position,
// the parameter window's period text, the program's version text and the
// time of day as "HH:MM".
PrintTexts MakePrintTexts(const ReportDocument& doc, std::string_view menu_position,
                          std::string_view period_text, std::string_view version,
                          std::string_view hhmm);

// WP..WK put in order and limited to 1..row count. False when the report has
// no rows to print.
bool ClampPrintRange(std::int64_t first, std::int64_t last, std::int32_t row_count,
                     std::int32_t* from, std::int32_t* to);

// ⌈(last - first + 1) / rows per page⌉.
std::int32_t PageCount(std::int32_t first, std::int32_t last, std::int32_t rows_per_page);

struct PrintOutcome {
  bool ok = false;
  std::int32_t pages = 0;
  PrintLayout layout;
};

// Draws the pages of first..last (already clamped) from Begin to End. A
// `keep_going` that answers false after a page abandons the job.
PrintOutcome PrintPages(const ReportDocument& doc, const PrintTexts& texts, std::int32_t first,
                        std::int32_t last, bool landscape, PageCanvas& canvas,
                        const std::function<bool(std::int32_t page)>& keep_going = {});

// The whole run with its status messages: "Druk na " + printer (level 0),
// the range clamped ("Brak wierszy do wydruku" when empty), the pages, and
// "Raport wydrukowany" (level 1) or "Raport nie został wydrukowany" (level 0).
PrintOutcome PrintReport(const ReportDocument& doc, const PrintTexts& texts, std::int64_t first,
                         std::int64_t last, bool landscape, std::string_view printer,
                         PageCanvas& canvas);

}  // namespace zel
