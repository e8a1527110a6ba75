// The annual file as a spreadsheet workbook (ZaXLS): year folder + name +
// ".xlsx", one row per posting (control records left out) under a heading
// row, amounts, rates and numbers as numbers, dates as dates; at most
// 1.048.575 postings a sheet, then the next sheet ("Dekrety 1", "Dekrety
// 2", ...). Written in constant memory, beside the target and renamed over
// it when complete.
#pragma once

#include <cstdint>
#include <string_view>

#include "common/types.hpp"
#include "fields/option_services.hpp"

namespace zel {

inline constexpr std::uint32_t kXlsxRowsPerSheet = 1048575;  // below the heading row

struct XlsxExportCount {
  std::uint64_t rows = 0;
  std::uint64_t sheets = 0;
};

// The spreadsheet's day number of a date (0 is never asked for).
double ExcelSerial(DayNo day);

bool ExportAnnualXlsx(std::string_view annual_name, OptionServices& window,
                      XlsxExportCount* count = nullptr);

}  // namespace zel
