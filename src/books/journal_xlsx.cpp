#include "books/journal_xlsx.hpp"

#include "books/journal_rewrite.hpp"
#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "output/report_document.hpp"
#include "output/xlsx_workbook.hpp"
#include "platform/folders.hpp"
#include "platform/paths.hpp"
#include "shell/file_access.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "store/journal_file.hpp"

namespace zel {

namespace {

constexpr int kFieldRocz = 42;

bool Fail(OptionServices& window, const std::string& text) {
  ShowStatus(text, kWarning);
  window.FieldError(kFieldRocz, text);
  return false;
}

const char* const kHeadings[] = {
    "Konto",        "Data księgowania", "Numer dowodu", "Lp",        "Strona",
    "Konto przeciwstawne", "L.Dz.",     "Kwota",        "Waluta",    "Kurs",
    "Kwota w walucie", "Transakcja",   "Data dowodu",  "Termin",    "Opis",
    "Kod",          "Zbiór źródłowy",  "Data operacji"};
constexpr int kColumns = sizeof kHeadings / sizeof kHeadings[0];
const double kWidths[kColumns] = {12, 11, 14, 5, 6, 12, 7, 14, 6, 8, 14, 20, 11, 11, 30, 6, 9, 11};

}  // namespace

double ExcelSerial(DayNo day) {
  // 1 January 1940 is day 14611 of the spreadsheet's calendar.
  static const double offset = 14611.0 - static_cast<double>(DayFromDdMmYy("010140"));
  return static_cast<double>(day) + offset;
}

bool ExportAnnualXlsx(std::string_view annual_name, OptionServices& window,
                      XlsxExportCount* count) {
  if (!ValidJournalName(annual_name)) return Fail(window, "Podaj nazwę zbioru"_w);
  const std::string path = JournalPath(annual_name);
  if (!FileExists(path)) return Fail(window, "Nie ma " + path);
  const std::string target = Concat({DbDir.view(), annual_name, ".xlsx"});
  const std::string part = target + ".part";

  File source;
  if (!OpenShared(source, path, Share::kDenyWrite, "ZaXLS")) {
    window.SetReturnField(kFieldRocz);
    return false;
  }
  RewriteClaims claims;
  if (!claims.Claim(target)) return Fail(window, LastMessage());
  // The library opens its file only when the workbook is closed: a folder
  // that cannot take it is found before any row is written.
  {
    File probe;
    if (!probe.Open(part, Access::kReadWrite, Share::kExclusive, Disposition::kCreateAlways))
      return Fail(window, RewriteFailed(target));
  }
  auto remove_part = [&part]() {
    if (FileOrFolderExists(part)) RemoveFile(part);
  };
  std::uint64_t rows = 0, sheets = 0;
  bool ok = true, aborted = false;
  {
    XlsxWorkbook book(NativePath(part));
    if (book.get() == nullptr) {
      remove_part();
      return Fail(window, "Nie zapisano "_w + target);
    }
    lxw_workbook* wb = book.get();
    lxw_format* bold = workbook_add_format(wb);
    format_set_bold(bold);
    lxw_format* money = workbook_add_format(wb);
    format_set_num_format(money, "#,##0.00");
    lxw_format* rate = workbook_add_format(wb);
    format_set_num_format(rate, "0.0000");
    lxw_format* date = workbook_add_format(wb);
    format_set_num_format(date, "dd-mm-yyyy");
    lxw_format* text = workbook_add_format(wb);
    format_set_num_format(text, "@");

    lxw_worksheet* ws = nullptr;
    lxw_row_t row = 0;
    auto new_sheet = [&]() {
      ++sheets;
      const std::string name = "Dekrety " + std::to_string(sheets);
      ws = workbook_add_worksheet(wb, name.c_str());
      for (int c = 0; c < kColumns; ++c) {
        lxw_format* f = (c == 7 || c == 10) ? money : c == 9 ? rate
                        : (c == 1 || c == 12 || c == 13 || c == 17) ? date : nullptr;
        worksheet_set_column(ws, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c), kWidths[c], f);
        worksheet_write_string(ws, 0, static_cast<lxw_col_t>(c), kHeadings[c], bold);
      }
      worksheet_freeze_panes(ws, 1, 0);
      row = 0;
    };
    std::string cell;  // reused by every cell: no allocation for the common ASCII text
    auto str = [&](lxw_col_t c, std::string_view win) {
      if (win.empty()) return;
      bool ascii = true;
      for (char ch : win) ascii = ascii && static_cast<unsigned char>(ch) < 0x80;
      if (ascii)
        cell.assign(win);
      else
        cell = WinToUtf8(win);
      worksheet_write_string(ws, row, c, cell.c_str(), text);
    };
    auto day = [&](lxw_col_t c, DayNo d) {
      if (d != 0) worksheet_write_number(ws, row, c, ExcelSerial(d), date);
    };
    JournalEntry e;
    ok = ForEachRecordChunk(source, [&](const std::uint8_t* chunk, std::size_t n) {
      for (std::size_t i = 0; i < n; ++i) {
        DecodeJournalEntry(chunk + i * kJournalRecordSize, &e);
        if (e.IsControl()) continue;
        if (ws == nullptr || row >= kXlsxRowsPerSheet) new_sheet();
        ++row;
        str(0, e.account.view());
        day(1, e.bookingDate);
        str(2, e.documentNo.view());
        worksheet_write_number(ws, row, 3, e.entryNo, nullptr);
        worksheet_write_string(ws, row, 4, e.IsDebit() ? "Wn" : "Ma", nullptr);
        str(5, e.counterAccount.view());
        if (e.journalNo != 0) worksheet_write_number(ws, row, 6, e.journalNo, nullptr);
        worksheet_write_number(ws, row, 7, static_cast<double>(e.amount), money);
        str(8, e.currencyCode.view());
        if (e.currencyRate != 0) worksheet_write_number(ws, row, 9, e.currencyRate / 10000.0, rate);
        if (e.currencyAmount != 0)
          worksheet_write_number(ws, row, 10, static_cast<double>(e.currencyAmount), money);
        str(11, DosToWin(e.transactionNo.view()));
        day(12, e.documentDate);
        day(13, e.dueDate);
        str(14, DosToWin(e.description.view()));
        str(15, e.extraCode.view());
        str(16, e.sourceFile.view());
        day(17, e.operationDate);
        ++rows;
      }
      window.Progress("ZaXLS", static_cast<std::int64_t>(rows / kRewriteChunk), 0);
      if (window.AbortRequested()) {
        aborted = true;
        return false;
      }
      return true;
    });
    if (ws == nullptr) new_sheet();  // an empty file still gets its headings
    if (ok && book.Close() != LXW_NO_ERROR) ok = false;
  }
  if (aborted || !ok) {
    remove_part();
    if (aborted) return Fail(window, "Przerwano - arkusza nie zapisano"_w);
    return Fail(window, RewriteFailed(target));
  }
  if (!ReplaceFile(part, target)) {
    remove_part();
    return Fail(window, RewriteFailed(target));
  }
  if (count) {
    count->rows = rows;
    count->sheets = sheets;
  }
  ShowStatus(Concat({"Zapisano "_w, target, " (", std::to_string(rows), ")"}), kInfo);
  RapStart(annual_name, Concat({"ZAPIS PLIKU ROCZNEGO "_w, annual_name, " JAKO XLS"}), 1);
  RapKol('l', 14, "Plik", "");
  RapKol('p', 9, "Liczba", "dekretów"_w);
  RapKol('p', 7, "Liczba", "arkuszy");
  RapNag("");
  RapWiersz(Concat({annual_name, ".xlsx"}), IntText(static_cast<std::int64_t>(rows), 9),
            IntText(static_cast<std::int64_t>(sheets), 7));
  return true;
}

}  // namespace zel
