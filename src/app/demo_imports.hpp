// dBase files for the imports of the sample year: "Konta.dbf" (a chart with
// Polish names, the columns the chart import reads) and "Ksiega.dbf"
// (turnovers with a date column), written with shapelib in code page 852,
// as the accounting programs that export them do. Tests and benchmarks
// write their own variants through WriteDbf.
#pragma once

#include <string>
#include <vector>

namespace zel {

struct DbfField {
  std::string name;  // at most 10 characters
  char type = 'C';   // 'C' text, 'N' number, 'D' date
  int width = 10;
  int decimals = 0;
};

// Writes a dBase file at the native path: the fields, then one record per
// row of Windows-1250 texts (numbers as decimal texts, dates as YYYYMMDD).
// Texts are stored in code page 852 (language byte 0x64) unless `ldid` names
// another one; 0 writes no language byte. False with a message in *err.
bool WriteDbf(const std::string& native_path, const std::vector<DbfField>& fields,
              const std::vector<std::vector<std::string>>& rows, std::string* err,
              int ldid = 0x64);

// The columns of the two files.
std::vector<DbfField> ChartDbfFields();     // 18: symbol 1, name 2, extra 6 and 7, address 18
std::vector<DbfField> TurnoverDbfFields();  // 8: document, item, date, account, Wn, Ma, key, code

// The sample rows (Windows-1250): a dozen accounts, and `count` postings
// (pairs of a debit and a credit row) in January to March 2024.
std::vector<std::vector<std::string>> DemoChartDbfRows();
std::vector<std::vector<std::string>> DemoTurnoverDbfRows(int count);

// Writes "Konta.dbf" and "Ksiega.dbf" into the native folder.
bool WriteDemoImportDbfs(const std::string& native_folder, int turnover_rows, std::string* err);

}  // namespace zel
