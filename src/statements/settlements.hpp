// The settlement statements of the "rozrachunki" menu: open items (RoNie,
// with its open-items file ".AFX"), the ranking of counterparties within the
// trial-balance walk (Ranki), the largest postings (Trans), invoices with
// their payments (RoBan) and the same for related entities (NatJP).
//
// Each procedure takes its parameters in a SettlementParams, checks them (a
// failed check is a field error of the window and nothing is reported),
// opens the annual file read-only with writers denied and writes one report
// document. Postings of one account are paired by their settlement key, the
// transaction number without its "*"/";" prefixes, blind to case and to
// Polish diacritics. Tables grow with the data; nothing is dropped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/types.hpp"
#include "fields/option_services.hpp"
#include "store/journal_entry.hpp"
#include "store/record_source.hpp"

namespace zel {

class ChartTable;

enum class SettlementKind : std::uint8_t { RoNie, Ranki, Trans, RoBan, NatJP };

std::uint8_t SettlementIndex(SettlementKind kind);  // 67, 75, 76, 77, 78
const char* SettlementCode(SettlementKind kind);

// Field numbers the checks send the cursor to (beside those of the trial
// balance: Rocz 42, DaOd 65, Pod3 63, Pod7 64).
inline constexpr int kFieldWalJ = 41;

struct SettlementParams {
  SettlementKind kind = SettlementKind::RoNie;
  std::string annual_name;         // Rocz, as shown in the subtitle
  std::string annual_path;         // DbDir + name + ".DFX"
  std::vector<std::string> masks;  // KonW in short form; empty: every account
  DayNo from = 0;                  // DaOd (not RoNie)
  DayNo to = 0;                    // DaDo
  // RoNie
  DayNo show_due_until = 0;  // DaHo; 0: every open item
  DayNo days_reference = 0;  // DatD: days overdue are counted to it
  std::string currency;      // WalJ; empty: the firm's currency
  // Ranki
  DayNo bo_date = 0;  // DaBO: the opening balance is what was booked up to it
  int pod1 = 0, pod3 = 0, pod7 = 0;
  char key_letter = 'W';  // WMSL: W, M, S or L
  // Ranki, Trans
  char mode = 'B';  // OpKo
  // Trans
  bool debit_postings = true;  // WnMa "W"
  // RoBan, NatJP: the days of delay of an unpaid invoice count to this day
  DayNo today = 0;
  ChartTable* chart = nullptr;  // nullptr: the program's Chart()
};

// The settlement key: the text after the last "*", then after the last ";";
// DOS Mazovia Polish letters become their unaccented capitals, ASCII letters
// are upper-cased. At most 20 characters.
std::string SettlementKey(std::string_view transaction_no);
// The same key written to `out` (room for kSettlementKeyCapacity characters),
// without a string; returns its length.
inline constexpr std::size_t kSettlementKeyCapacity = 20;
std::size_t SettlementKeyTo(std::string_view transaction_no, char* out);
// The same key from a stored transaction number field (its length byte and
// 20 characters, zero past the length as a normalized record holds them),
// written to all 20 characters of `out` with zeros after the key; returns
// its length. Done a word at a time.
std::size_t SettlementKeyOfField(const std::uint8_t* field, char* out);
// The invoice number shown: the text before the first "*", then after the
// last ";" (DOS Mazovia, as stored).
std::string InvoiceNumberText(std::string_view transaction_no);
// The same text as a part of `transaction_no`.
std::string_view InvoiceNumberView(std::string_view transaction_no);

// "  [konta: m1,m2,m3]" ("...": more than three), cut to 70; empty without masks.
std::string MaskText(const std::vector<std::string>& masks);

// The open-items file of an annual file: DbDir + name + ".AFX".
std::string OpenItemsPath(std::string_view annual_name);
// The backup name of a file: its extension (from the last dot, when no "\"
// or ":" follows it) replaced by ".BAK", or ".BAK" appended.
std::string BakName(std::string_view path);
// Moves a file aside to its backup name: an old backup is deleted first
// (after five failed attempts the last character of the backup name goes up
// by one, at most a few times), then the file is renamed, up to five
// attempts. False when the file stays where it was.
bool MoveAsideBak(std::string_view path);

// The checks of a kind; the first failing one shows its message (colour 0)
// and reports the field to the window.
bool CheckSettlement(const SettlementParams& p, OptionServices& window);

// The runs: checks, opening, reading and the report. False when nothing was
// reported.
bool OpenItems(const SettlementParams& p, OptionServices& window);  // RoNie
bool Ranking(const SettlementParams& p, OptionServices& window);    // Ranki
bool TopPostings(const SettlementParams& p, OptionServices& window);  // Trans
bool BankSettlements(const SettlementParams& p, OptionServices& window);  // RoBan, NatJP

// Registers the five procedures (reading their parameters from the stored
// option values) and marks options 68..74 as having no procedure yet.
void RegisterSettlementProcedures();
SettlementParams SettlementParamsFromOptions(SettlementKind kind);

}  // namespace zel
