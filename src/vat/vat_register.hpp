// The VAT register (option ReVat, menu "DD"): the sales or purchase register
// of a period drawn from the register files of the folder "VAT\" (and the
// previous year's), printed through the report document with per-entry
// rows, group subtotals, the register total by qualification letter and the
// letter summaries; at the same time the JPK_VAT rows (jpk_vat.hpp) and, on
// request, the per-letter totals of the month for the VAT-7 declaration
// ("VAT\VAT.7BT").
//
// A run reads every chosen file once, keeps the records of the period in
// memory (450 bytes each) with a small index, orders the index with one
// stable sort and prints in that order. Nothing is capped: any number of
// registers and entries; counters are 32-bit.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/fixed_text.hpp"
#include "common/types.hpp"
#include "fields/option_services.hpp"
#include "store/declaration.hpp"
#include "vat/jpk_vat.hpp"

namespace zel {

// Field numbers of the option's parameters.
inline constexpr int kFieldReGr = 57;
inline constexpr int kFieldReZS = 58;
inline constexpr int kFieldReWD = 59;
inline constexpr int kFieldReZD = 60;
inline constexpr int kFieldVatFrom = 65;

struct VatRegisterParams {
  char kind = 'S';         // ReZS: 'S' sales, 'Z' purchases
  std::string mask;        // ReGr: register code mask ('*', '?'); empty: all
  DayNo from = 0;          // FromDate
  DayNo to = 0;            // ToDate
  char order = 'N';        // ReWD: 'T' by VAT date, grouped by month; 'N' by register
  char declaration = 'N';  // ReZD: 'Z' write, 'D' add to, 'N' nothing
  std::string db_dir;      // DbDir (ends in "\")
  JpkVatWriter* jpk = nullptr;  // nullptr: no JPK rows
  LetterTable* totals = nullptr;  // receives the register total by letter when given
};

// One register file of a run.
struct VatRegisterFile {
  std::string path;   // Zel path
  std::string code;   // register code (file name less three characters and extension)
  bool purchase = false;  // a purchase register taken into a sales run
};

// The register code mask test: the mask expanded ('*' becomes '?' up to
// five characters), compared without regard to letter case, '?' matching
// any character; a code shorter than the mask must be followed only by '?'.
bool RegisterCodeMatches(std::string_view mask, std::string_view code);

// The previous book year's register folder: DbDir with the year of `to`
// replaced by the year before + "VAT\", or DbDir + "VAX\" when DbDir does
// not hold that year.
std::string PreviousYearVatFolder(std::string_view db_dir, DayNo to);

// The register files of a run, sorted by path: the kind's registers of the
// previous year's folder and of "VAT\" whose code matches the mask, and for
// sales also the purchase registers whose code is a double quote and WN, IM,
// IU, JU or OO (under the same mask). Files whose size is not a multiple of
// 450 are left out and named in *skipped.
std::vector<VatRegisterFile> ChooseRegisters(const VatRegisterParams& p,
                                             std::vector<std::string>* skipped);

// One collected entry: its ordering keys and where its record lies.
struct VatIndexEntry {
  FixedText<5> code;
  FixedText<12> key;
  DayNo date = 0;  // VAT date, the registration date when 0
  std::uint16_t number = 0;
  std::uint32_t record = 0;  // position in the collected records (collection order)
};

// One stable sort: by date (VAT date, code, key, number) or by register
// (code, key, number, VAT date); ties keep collection order.
void OrderEntries(std::vector<VatIndexEntry>& index, bool by_date);

// The adjusted amount of a purchase line under its letter's rule (Round2);
// sales lines keep their amounts.
Amount AdjustedAmount(char kind, char letter, Amount x);
// The text of the extra row a deduction rule prints; empty for letters
// without a rule (and for sales).
std::string DeductionRowText(char kind, char letter);

// The declaration lines of a register total (Windows-1250, CR LF ends): for
// 'Z' first the marker line "#", then one line per non-zero letter slot.
std::string DeclarationLines(char kind, char mode, DayNo to, const LetterTable& total);
// The lines go to the file with AppendDeclarationLines (store/declaration).

// The checks before a run; the first failing one shows its message, reports
// the field to `window` and answers false.
bool CheckVatRegister(const VatRegisterParams& p, OptionServices& window);

// The whole run. False when nothing was reported (a failed check, no
// register, an abort, a file locked through all retries).
bool VatRegister(const VatRegisterParams& p, OptionServices& window);

}  // namespace zel
