// One entry of a VAT register file: the 450-byte record of the sales (".RSV")
// and purchase (".RZV") registers in the folder "VAT\" of the database folder.
//
// The codec works on the bytes as stored: texts keep the DOS Mazovia code
// page of the file (VatEntryToWin / VatEntryToDos convert them), amounts are
// the x87 80-bit reals of the file, little-endian. Decoding never fails on
// content: a length byte above a field's capacity is clamped, and an amount
// whose ten bytes are not a finite number reads as 0 with the entry flagged
// (`amounts_ok` false) so that it never reaches a total. Encoding writes zeros
// into every byte no field owns. Files are written by data-entry programs;
// this system reads them (and zel-demo writes sample ones).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/fixed_text.hpp"
#include "common/types.hpp"

namespace zel {

inline constexpr std::size_t kVatEntrySize = 450;
inline constexpr int kVatLines = 6;
inline constexpr std::size_t kVatLineSize = 23;

// One qualified amount of an entry: a qualification letter with its net and
// VAT. A line with a zero net is unused.
struct VatLine {
  char letter = 0;                      // +0   1  ASCII letter 'A'..'Z' (others: catch-all)
  Amount net = 0;                       // +1  10  x87 extended real
  Amount vat = 0;                       // +11 10  x87 extended real
  std::array<std::uint8_t, 2> extra{};  // +21  2  not read; kept as found
};

struct VatEntry {
  FixedText<12> key;                       //   0  13  length-prefixed, Mazovia: entry key
  std::uint16_t number = 0;                //  13   2  u16 LE: entry number within the key
  DayNo registration_date = 0;             //  15   2  DayNo LE
  DayNo invoice_date = 0;                  //  17   2  DayNo LE
  std::uint8_t month_flag = 0;             //  19   1  byte; 13 and more: marker line
  FixedText<25> reference;                 //  20  26  length-prefixed, Mazovia
  FixedText<15> nip;                       //  46  16  length-prefixed: contractor tax number
  FixedText<50> name;                      //  62  51  length-prefixed, Mazovia: contractor name
  FixedText<103> address;                  // 113 104  length-prefixed, Mazovia: contractor address
  FixedText<20> document_no;               // 217  21  length-prefixed: invoice number
  FixedText<40> description;               // 238  41  length-prefixed, Mazovia
  DayNo vat_date = 0;                      // 279   2  DayNo LE; 0 = the registration date
                                           // 281   2  reserved, zero
  FixedText<5> register_code;              // 283   6  length-prefixed; filled in by readers
  std::array<VatLine, kVatLines> lines{};  // 289 138  six lines of 23 bytes (VatLine)
                                           // 427  23  reserved, zero
  bool amounts_ok = true;                  // decoding only: every amount was a finite number
};

// Reads an entry from kVatEntrySize bytes at p.
VatEntry DecodeVatEntry(const std::uint8_t* p);
// Writes the entry as kVatEntrySize bytes at p.
void EncodeVatEntry(const VatEntry& entry, std::uint8_t* p);

// The 10-byte amount form of the record files, as the journal records hold
// it (store/journal_entry.hpp): reading yields false (and 0) for NaN,
// infinities, the x87 patterns that are not numbers at all (unnormals,
// pseudo-denormals) and magnitudes no amount reaches.
bool ReadAmount10(const std::uint8_t* p, Amount* out);
void WriteAmount10(Amount value, std::uint8_t* p);

// Converts the Mazovia texts of an entry (reference, name, address,
// description, key) to Windows-1250, and back for writing.
void VatEntryToWin(VatEntry& entry);
void VatEntryToDos(VatEntry& entry);

// Register files: "VAT\" + three leading characters + code + ".R" + kind + "V".
// The code is the file name without its first three characters and without
// its extension (empty when the name is shorter).
std::string VatRegisterCode(std::string_view file_name);
// The file name (without folder) that zel-demo writes for a register:
// "Rej" + code + ".R" + kind + "V"; kind is 'S' (sales) or 'Z' (purchases).
std::string VatRegisterFileName(std::string_view code, char kind);

}  // namespace zel
