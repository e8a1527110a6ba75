// The trial balance and its ledgers ("zestawienie obrotów i sald"): one
// sequential pass over the annual journal file, in account order, adding up
// every selected account's opening balance, turnover in the period,
// cumulative turnover and balance, and printing them with sub-totals at up to
// three prefix depths, a grand total "RAZEM" and a result line "WYNIK".
//
// Five options share it: ZOiSa (all columns), SyBBO (without the opening
// balance), SynMi (monthly lines per account), Anali (every posting of the
// period) and ZOiSN (accounts with a zero balance gathered per group). A run
// writes the report document (RapStart..rows; the parameter window calls
// RapKoniec) and, when a JPK sink is given, the JPK_KR fragments. Memory does
// not grow with the number of postings: sums live in fixed sets of eight
// amounts; only SynMi keeps per-day arrays, sized to the period.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/types.hpp"
#include "fields/option_services.hpp"
#include "statements/jpk_kr_sink.hpp"
#include "store/record_source.hpp"

namespace zel {

class ChartTable;

enum class TrialBalanceKind : std::uint8_t { ZOiSa, SyBBO, SynMi, Anali, ZOiSN };

// Option index of each kind (the menu's numbering) and back.
std::uint8_t TrialBalanceIndex(TrialBalanceKind kind);
bool TrialBalanceKindOf(std::uint8_t option_index, TrialBalanceKind* kind);

// Field numbers the checks send the cursor back to.
inline constexpr int kFieldRocz = 42;
inline constexpr int kFieldDaBO = 116;
inline constexpr int kFieldDaOd = 65;
inline constexpr int kFieldPod3 = 63;
inline constexpr int kFieldPod7 = 64;

struct TrialBalanceParams {
  TrialBalanceKind kind = TrialBalanceKind::ZOiSa;
  std::string annual_name;        // Rocz, as shown in the subtitle
  std::string annual_path;        // the file read (JournalPath of the name)
  std::vector<std::string> masks;  // KonW in short form ("20*", "40?"); empty: all accounts
  DayNo bo_date = 0;              // DaBO
  DayNo from = 0;                 // DaOd
  DayNo to = 0;                   // DaDo
  int pod1 = 0;                   // sub-total depths, 0 = level off
  int pod3 = 0;
  int pod7 = 0;
  char mode = 'B';                // OpKo: P, O, N, H or B
  JpkKrSink* jpk = nullptr;       // JPK_KR fragments; nullptr: none written
  ChartTable* chart = nullptr;    // account texts; nullptr: the program's Chart()
};

// The eight amounts that always move together.
enum : int { kBoWn, kBoMa, kOkWn, kOkMa, kNaWn, kNaMa, kSaWn, kSaMa };
using AmountSet = std::array<Amount, 8>;

// The balance rule: from a debit total and a credit total, totals of
// opposite signs both stay; otherwise the larger side minus the smaller, on
// that side (equal totals give two zeros).
void BalanceRule(Amount debit, Amount credit, Amount* balance_debit, Amount* balance_credit);

// The checks before a run, in order; the first failing one shows its message
// (status line, colour 0), reports the field to `window` and answers false.
bool CheckTrialBalance(const TrialBalanceParams& p, OptionServices& window);

// The whole run: checks, opens the annual file read-only with writers denied
// (with retries), reads and reports. False when nothing was reported (a
// failed check, a file locked through all retries, a file not in account
// order, an abort).
bool TrialBalance(const TrialBalanceParams& p, OptionServices& window);

// The reading and reporting part over any source of journal records (no
// checks). False when the user aborted, or when a record's account is lower
// than the one before it: then the message names the file (the annual name,
// else `file_name`) and the record, on field Rocz, the report is emptied and
// the JPK fragments are removed.
bool TrialBalanceFrom(const TrialBalanceParams& p, RecordSource& source,
                      std::string_view file_name, OptionServices& window);

// Expands short masks for matching: a mask holding "*" is cut there and
// filled with "?" to 25 characters.
std::vector<std::string> ExpandMasks(const std::vector<std::string>& masks);
// True when the symbol matches one expanded mask (every position of the
// symbol "?" or equal, every mask character beyond the symbol "?").
bool SymbolMatchesMask(std::string_view mask, std::string_view symbol);

}  // namespace zel
