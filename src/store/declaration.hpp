// The firm's data for the monthly VAT-7 declaration, held in memory as one
// record and rebuilt from two text files of the year folder: the taxpayer
// file "VAT\Pod.7BT" (written by the taxpayer window) and the declaration
// data file "VAT\Vat.7BT" (per-letter totals appended by the VAT registers,
// values appended by the declaration windows).
//
// The record lives for the whole run; LoadDeclarationData clears the texts,
// the 50 amount slots, the answers and attachments and the signature texts,
// keeps the period, number, purpose and signature date, and reads the files
// again. Parsing works on text buffers, so a damaged or foreign file can
// only give wrong values, never a crash; amounts that are not numbers read
// as 0.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/fixed_text.hpp"
#include "common/types.hpp"

namespace zel {

inline constexpr int kDeclarationSlots = 50;
inline constexpr int kDeclarationAnswers = 7;
// The codes of the yes/no answers, in the order of DeclarationData::answers.
inline constexpr std::array<std::string_view, kDeclarationAnswers> kAnswerCodes = {
    "119", "120", "122", "136", "89b", "WoZ", "WoP"};

struct DeclarationData {
  FixedText<15> Nip;                                               // tax number
  FixedText<8> RPo;                                                // taxpayer kind
  FixedText<70> USk;                                               // tax office
  FixedText<70> Naz;                                               // full name or surname
  FixedText<20> PIm;                                               // first name
  DayNo DUr = 0;                                                   // date of birth
  FixedText<15> Pes;                                               // REGON or PESEL
  FixedText<30> Kra, Woj, Pow, Gmi, Uli, NrD, NrL, Mia, Kod, Poc;  // address
  std::uint16_t year = 0;                                          // field 220
  std::uint8_t month = 0;                                          // field 221
  std::uint8_t number = 0;                                         // field 222
  FixedText<8> purpose;  // field 223; "k..." marks a correction
  std::array<Amount, kDeclarationSlots> amounts{};
  std::array<FixedText<3>, kDeclarationAnswers> answers{};  // "Tak" or empty
  std::uint8_t attachments = 0;
  FixedText<30> oIm, oNa, oTe;  // signature block: first name, surname, telephone
  DayNo signatureDate = 0;
};

// The program's record.
DeclarationData& Declaration();

// Clears what a load rebuilds (see above).
void ClearDeclarationData(DeclarationData& d);

// (year mod 100) * 100 + month as a decimal text ("2403" for March 2024).
std::string PeriodCode(std::uint16_t year, std::uint8_t month);

// The taxpayer file's lines over `d` (fields 1 to 17 and the signature texts).
void ReadTaxpayerText(std::string_view text, DeclarationData& d);
// The three readings of the declaration data file (kinds "S", "Z", "P") for
// the record's period, without the derived values.
void ReadDeclarationText(std::string_view text, DeclarationData& d);
// The derived slots (sums, rounding to whole złoty with 50 grosze and more
// going up, as tax amounts are rounded, the tax to pay or to carry over).
void DeriveDeclarationValues(DeclarationData& d);

// Rebuilds Declaration() from DbDir + "VAT\Pod.7BT" and "VAT\Vat.7BT"; a file
// that does not open is skipped silently.
void LoadDeclarationData();

// The taxpayer file's text: an empty first line, then "  Key = value" for
// fields 1 to 17 and oIm, oNa, oTe (CR LF line ends, Windows-1250).
std::string TaxpayerFileText(const DeclarationData& d);
// Writes DbDir + "VAT\Pod.7BT" (the folder created when missing): the old
// file is held exclusively (with the retries of a protected open) while the
// new one is written beside it and renamed over it. False with a message in
// the status line; the old file is then whole.
bool WriteTaxpayerFile(const DeclarationData& d);

// --- Lines of the declaration data file ---

// The 12-character key of a line: period code, kind letter ('S', 'Z', 'P')
// and the group label, cut or padded with spaces.
std::string DeclarationKey(std::uint16_t year, std::uint8_t month, char kind,
                           std::string_view label = {});
// One amount line: two spaces, the key, the letter, the three amounts as
// 15-character fields, CR LF.
std::string DeclarationAmountLine(std::string_view key, char letter, Amount base, Amount second,
                                  Amount third);
// A typed value ("P" kind): the letter of its slot and the value as the
// line's tax (base and second amount zero, the value third).
std::string TypedValueLine(std::uint16_t year, std::uint8_t month, char letter, Amount value);
// The signature date ("t"): the date text at positions 17 to 26.
std::string SignatureDateLine(std::uint16_t year, std::uint8_t month, DayNo date);
// The answers and attachments ("z"): "." + code of each "Tak" answer, then
// ".LZD=" and the attachment count (one digit, at most 9).
std::string AnswersLine(std::uint16_t year, std::uint8_t month, const DeclarationData& d);

// The letter of the "P" line that sets a slot, '\0' for a slot no typed
// line sets.
char TypedLetterOfSlot(int slot);

// Appends whole lines to DbDir + "VAT\Vat.7BT" in one write, holding the
// file exclusively (a protected open with retries); a new file starts with
// an empty line. False with a status message when it cannot; nothing of the
// lines is written then.
bool AppendDeclarationLines(std::string_view db_dir, std::string_view lines);

}  // namespace zel
