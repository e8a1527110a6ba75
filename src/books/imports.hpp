// Imports of a chart of accounts and of turnovers from files of other
// programs, and the archiving of a month's working files.
//
//   SzDbf  (143) the newest "Konta.dbf" and "Ksiega.dbf" under a path become
//               the chart "Konta.PFX" and the turnover file "Obroty.DFX";
//   ImpPlX (105) the workbook "PlanKont.XLS" becomes the chart "Konta.PFX";
//   Zamkn  (54)  a month's working files move into a month folder.
//
// Reading and writing are separate steps: a reader turns the rows of a sheet
// into records (or stops with the row number of the first bad row) and a
// writer replaces the output file as a whole, so a refused import writes
// nothing. Texts inside are Windows-1250; records are written the way their
// files hold them (the chart's texts and a posting's settlement key in DOS
// Mazovia).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "books/import_sheet.hpp"
#include "fields/option_services.hpp"
#include "store/account_record.hpp"
#include "store/journal_entry.hpp"

namespace zel {

// Field numbers of the options' parameters.
inline constexpr int kFieldMies = 115;  // "Zabezpieczyć miesiąc"
inline constexpr int kFieldWIPX = 195;  // "Podaj wersję importu"
inline constexpr int kFieldScie = 213;  // "Początek ścieżki"

// Rows up to this number keep it as their journal number; later rows are
// not numbered (0), as a signed 16-bit number cannot hold them.
inline constexpr int kLastJournalNo = 32767;
// Rows up to this number keep it as their entry number; later rows get 0.
inline constexpr int kLastEntryNo = 65535;

struct ChartImport {
  std::vector<AccountRecord> records;  // Windows-1250 texts, in writing order
  std::vector<std::string> warnings;   // e.g. symbols given twice
};

// The chart of a dBase sheet: symbol column 1, name 2, address 18, extra
// 6 + " " + 7, from row 2 to the first row without a symbol; sorted by
// symbol (stable), a symbol given twice keeps its later row and is named in
// the warnings. False when the user aborted (window may be nullptr).
bool ReadDbfChart(ImportSheet& sheet, OptionServices* window, ChartImport* out);

// The chart of the workbook "PlanKont.XLS": columns named by the heading row
// (SYM, SYM1, SYM2, NAZ, ADR, DOD, NIP, HAS; SYM 6, SYM1 7, SYM2 8, NAZ 9
// when not named), rows whose symbol begins with a digit, until eight
// consecutive rows without a symbol. `legacy_letters` passes the names
// through the letter table of old exports; a byte the table does not know is
// named in the warnings.
void ReadXlsChart(ImportSheet& sheet, bool legacy_letters, ChartImport* out);

struct TurnoverImport {
  std::vector<std::uint8_t> records;  // encoded 250-byte journal records
  std::size_t count = 0;
  bool unnumbered = false;  // rows past kLastEntryNo got entry number 0
};

// The turnovers of a dBase sheet: document 1 + "-" + 2, booking date 3
// (YYYY-MM-DD), account 4, debit amount 5, credit amount 6, settlement key 7,
// code 8, one posting per row until the first row without an account.
// False with a Polish message naming the row in *err when a date is not a
// real date or a row has amounts on both sides, or when the user aborted.
bool ReadDbfTurnovers(ImportSheet& sheet, OptionServices* window, TurnoverImport* out,
                      std::string* err);

// Writes the chart records as the file `path` anew (beside and renamed);
// refuses the chart the program uses. Shows "Zapisano " + path + " (" +
// count + ")" (colour 1) or the reason (colour 0).
bool WriteImportedChart(std::string_view path, const std::vector<AccountRecord>& records);
bool WriteImportedTurnovers(std::string_view path, const TurnoverImport& turnovers);

// One import from a file (native path) to its output (a Zel path): read
// whole, then written beside and renamed; the outcome on the status line.
// False, with the output untouched, when anything failed.
bool ImportDbfChart(const std::string& native, std::string_view out_path, OptionServices* window);
bool ImportDbfTurnovers(const std::string& native, std::string_view out_path,
                        OptionServices* window);
bool ImportXlsChart(const std::string& native, std::string_view out_path, bool legacy_letters);

// The checks and corrections of the search path of SzDbf. Returns true when
// the search may run; otherwise *message holds the text to show. *path is
// corrected in place either way.
bool CheckSearchPath(std::string* path, std::string* message);

// The newest file called `name` (letter case ignored) under the native
// folder `root` and its subfolders, staying on root's file system, never
// following symbolic links, skipping folders whose names begin with ".".
// Shows progress; *aborted when the user pressed Esc. Empty when none.
std::string FindNewestFile(const std::string& root, std::string_view name,
                           OptionServices& window, bool* aborted);

// Zamkn for the month "01".."12": moves M*.DFX (but not names containing
// M + ".") into DbDir + M, M*.BAK into its "BAK" and M*.ZFX into its "ZFX"
// folder, each file under its exclusive lock, never over an existing file.
struct ArchiveResult {
  int moved = 0;
  int failed = 0;
  bool stopped = false;  // nothing tried: month folder holds journals, or no folder
};
ArchiveResult ArchiveMonth(std::string_view month);

// The option procedures, run by the option dispatch.
void RunSzDbf(OptionServices& window);
void RunImpPlX(OptionServices& window);
void RunZamkn(OptionServices& window);
void RegisterImportProcedures();

}  // namespace zel
