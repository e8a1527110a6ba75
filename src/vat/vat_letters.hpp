// The VAT qualification letters: what each letter of a register line means
// for the register's sums, the JPK_VAT row fields and the VAT-7 declaration.
//
// This is the one table of letters. The register (vat_register) adds a
// line's amounts into the letter's slot and applies the purchase deduction
// rules; the JPK_VAT writer (jpk_vat) sums slots into the K_ fields; the
// declaration loader (store/declaration) adds the per-letter totals of the
// register into its amount slots. Header-only data, so that the loader reads
// it without linking the VAT library.
//
// Where the declaration and the JPK file name letters differently, the JPK
// fields govern: K_12 is the part of K_11 from letter F and K_14 the part of
// K_13 from letter D, and the declaration's slots 2 and 4 take the same
// letters.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace zel {

// Letter slots from the catch-all slot (character 64, before 'A') to 'z'.
inline constexpr int kLetterSlots = 59;
inline constexpr char kCatchAllLetter = '@';

// The slot of a line's letter: 'A'..'Z' their own, anything else the
// catch-all slot 0.
constexpr int LetterSlot(char letter) {
  return letter >= 'A' && letter <= 'Z' ? letter - kCatchAllLetter : 0;
}
constexpr char SlotLetter(int slot) { return static_cast<char>(kCatchAllLetter + slot); }

// Deduction rules of purchase lines: the share of net and VAT that goes to
// the declaration ("do VAT-7").
enum class Deduction : std::uint8_t {
  kFull,    // the plain amounts
  kHalf,    // O, U: half
  kHalf46,  // Q, V: 46 % of half
  k46,      // E, F, G, H, P, R: 46 %
  kNone,    // I, J, K, L, S, T: nothing
};

constexpr Deduction PurchaseDeduction(char letter) {
  switch (letter) {
    case 'O': case 'U': return Deduction::kHalf;
    case 'Q': case 'V': return Deduction::kHalf46;
    case 'E': case 'F': case 'G': case 'H': case 'P': case 'R': return Deduction::k46;
    case 'I': case 'J': case 'K': case 'L': case 'S': case 'T': return Deduction::kNone;
    default: return Deduction::kFull;
  }
}

// --- JPK_VAT row fields ---

enum class JpkPart : std::uint8_t { kNet, kTax };

struct JpkField {
  std::uint8_t number;       // K_<number>
  JpkPart part;              // adjusted net or adjusted VAT of the letters
  std::string_view letters;  // '@' stands for the catch-all slot
};

// SprzedazWiersz, in the schema's order.
inline constexpr std::array<JpkField, 29> kSalesJpkFields = {{
    {10, JpkPart::kNet, "H"},   {11, JpkPart::kNet, "FG"},  {12, JpkPart::kNet, "F"},
    {13, JpkPart::kNet, "DE"},  {14, JpkPart::kNet, "D"},   {15, JpkPart::kNet, "C"},
    {16, JpkPart::kTax, "C"},   {17, JpkPart::kNet, "B"},   {18, JpkPart::kTax, "B"},
    {19, JpkPart::kNet, "A"},   {20, JpkPart::kTax, "A"},   {21, JpkPart::kNet, "L"},
    {22, JpkPart::kNet, "K"},   {23, JpkPart::kNet, "NS"},  {24, JpkPart::kTax, "NS"},
    {25, JpkPart::kNet, "MR"},  {26, JpkPart::kTax, "MR"},  {27, JpkPart::kNet, "IU"},
    {28, JpkPart::kTax, "IU"},  {29, JpkPart::kNet, "JT"},  {30, JpkPart::kTax, "JT"},
    {31, JpkPart::kNet, "V"},   {32, JpkPart::kNet, "O"},   {33, JpkPart::kTax, "O"},
    {34, JpkPart::kNet, "P"},   {35, JpkPart::kTax, "P"},   {36, JpkPart::kTax, "Q"},
    {37, JpkPart::kTax, "R"},   {38, JpkPart::kTax, "S"},
}};

// ZakupWiersz, in the schema's order. The catch-all slot's tax is written in
// K_46 alone (it once went to K_48 as well, and was counted twice).
inline constexpr std::array<JpkField, 6> kPurchaseJpkFields = {{
    {42, JpkPart::kNet, "MNOPQRST"},
    {43, JpkPart::kTax, "MNOPQRST"},
    {44, JpkPart::kNet, "ABCDEFGHIJKLUVW"},
    {45, JpkPart::kTax, "ABCDEFGHIJKLUVW"},
    {46, JpkPart::kTax, "@"},
    {47, JpkPart::kTax, "Z"},
}};

// Fields the schema admits only together (a sequence of two): when either
// is not zero, both are written.
inline constexpr std::array<std::uint8_t, 22> kJpkFieldPairs = {
    15, 16, 17, 18, 19, 20, 23, 24, 25, 26, 27, 28, 29, 30, 32, 33, 34, 35, 42, 43, 44, 45};

constexpr std::uint8_t JpkPairedField(std::uint8_t number) {
  for (std::size_t i = 0; i < kJpkFieldPairs.size(); i += 2) {
    if (kJpkFieldPairs[i] == number) return kJpkFieldPairs[i + 1];
    if (kJpkFieldPairs[i + 1] == number) return kJpkFieldPairs[i];
  }
  return 0;
}

// True when the letter's tax is written in some tax field of the kind's row:
// these letters make up the control sum (each row's tax counted once).
constexpr bool LetterInJpkTax(char kind, char letter) {
  if (kind == 'S') {
    for (const JpkField& f : kSalesJpkFields)
      if (f.part == JpkPart::kTax && f.letters.find(letter) != std::string_view::npos) return true;
  } else {
    for (const JpkField& f : kPurchaseJpkFields)
      if (f.part == JpkPart::kTax && f.letters.find(letter) != std::string_view::npos) return true;
  }
  return false;
}

// --- VAT-7 declaration slots ---

struct DeclarationLetterSlots {
  char letter;
  int base;  // slot of the line's base
  int tax;   // slot of its tax, -1 none
};

// Sales totals ("S" lines): slot n holds what K_(n+10) holds for the letters
// of K_10..K_30 once the loader has added slot 2 into 1 and 4 into 3.
inline constexpr std::array<DeclarationLetterSlots, 22> kSalesDeclarationSlots = {{
    {'H', 0, -1},  {'G', 1, -1},  {'F', 2, -1},  {'E', 3, -1},  {'D', 4, -1},  {'C', 5, 6},
    {'B', 7, 8},   {'A', 9, 10},  {'L', 11, -1}, {'K', 12, -1}, {'N', 13, 14}, {'S', 13, 14},
    {'M', 15, 16}, {'R', 15, 16}, {'I', 17, 18}, {'U', 17, 18}, {'J', 19, 20}, {'T', 19, 20},
    {'O', 21, 22}, {'V', 21, 22}, {'P', 23, -1}, {'Q', 24, -1},
}};

// Purchase totals ("Z" lines): the letters of K_44/K_45 and X into slots 34
// and 35, those of K_42/K_43 and Y into 32 and 33. W (purchases inside the
// firm) and the correction letters stay out of the declaration; -1 for them.
constexpr int PurchaseDeclarationBase(char letter) {
  if (letter == 'Y' || kPurchaseJpkFields[0].letters.find(letter) != std::string_view::npos)
    return 32;
  if (letter == 'W') return -1;
  if (letter == 'X' || kPurchaseJpkFields[2].letters.find(letter) != std::string_view::npos)
    return 34;
  return -1;
}

}  // namespace zel
