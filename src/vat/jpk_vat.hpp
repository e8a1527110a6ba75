// The JPK_VAT rows of a VAT register run: one SprzedazWiersz or ZakupWiersz
// per entry of the register, then the control element, written as complete
// XML lines into the fragment file "SZWi" of the workstation's temporary
// folder. XmlE (jpk_kr.hpp) assembles the file from it for menu position "DD".
//
// The amount fields sum the entry's adjusted net or adjusted VAT of the
// letters kVatLetters names (vat_letters.hpp); fields the schema pairs are
// written together. The control sum counts each row's tax once: the adjusted
// VAT of the letters that feed a tax field, which is what the register's
// "do VAT-7" sums of the same letters hold. A run with no rows writes no
// control element; a run that stops before End leaves no fragment.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "common/types.hpp"
#include "platform/file.hpp"
#include "vat/vat_letters.hpp"

namespace zel {

struct VatEntry;

// Per-letter sums of an entry, a group or a register: net, VAT, adjusted
// net, adjusted VAT.
enum : int { kLetNet, kLetVat, kLetAdjNet, kLetAdjVat };
using LetterAmounts = std::array<Amount, 4>;
using LetterTable = std::array<LetterAmounts, kLetterSlots>;

// True when nothing was ever added into the slot: all four amounts are
// exactly the zero they started as (no rounding question arises). Sums skip
// such slots, so an entry's six lines cost six slots, not 59.
inline bool Untouched(const LetterAmounts& a) {
  return a[0] == 0 && a[1] == 0 && a[2] == 0 && a[3] == 0;
}

// Appends the row of one entry (texts Windows-1250, dates as stored) for the
// register kind 'S' or 'Z', running number lp; *tax gets the row's tax for
// the control sum.
void AppendJpkVatRow(std::string& out, char kind, std::uint32_t lp, const VatEntry& entry,
                     const LetterTable& letters, Amount* tax);
// The control element of a run of `rows` rows whose tax adds up to `tax`.
void AppendJpkVatControl(std::string& out, char kind, std::uint32_t rows, Amount tax);

class JpkVatWriter {
 public:
  JpkVatWriter() = default;
  ~JpkVatWriter();
  JpkVatWriter(const JpkVatWriter&) = delete;
  JpkVatWriter& operator=(const JpkVatWriter&) = delete;

  // Makes the fragment anew; false (with the status message) when it cannot.
  bool Begin(char kind);
  void Row(const VatEntry& entry, const LetterTable& letters);
  // The control element (when there were rows) and the close. A write that
  // failed on the way removes the fragment: its rows would disagree with
  // the control sum.
  void End();
  // Closes and removes the fragment of a run that does not finish.
  void Abandon();

  std::uint32_t Rows() const { return rows_; }
  Amount Tax() const { return tax_; }

 private:
  void Flush();

  File file_;
  std::string buffer_;
  char kind_ = 'S';
  bool open_ = false;
  bool ok_ = false;
  std::uint32_t rows_ = 0;
  Amount tax_ = 0;
};

// Removes the fragment "SZWi" of this workstation.
void RemoveJpkVatFragment();

}  // namespace zel
