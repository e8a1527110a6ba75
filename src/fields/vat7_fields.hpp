// The field numbers of the VAT-7 window, shared by its hooks and by the
// declaration option that reads them.
#pragma once

namespace zel {

// The taxpayer (219), the period (220, 221), the number and purpose (222,
// 223), the totals of the declaration data (224, 225, 227, 228), the
// surplus carried from the last declaration (226), the signature (229, 230)
// and the form's version and page (231, 232).
inline constexpr int kVatTaxpayer = 219;
inline constexpr int kVatYear = 220;
inline constexpr int kVatMonth = 221;
inline constexpr int kVatNumber = 222;
inline constexpr int kVatPurpose = 223;
inline constexpr int kVatDue = 224;
inline constexpr int kVatDueTax = 225;
inline constexpr int kVatSurplus = 226;
inline constexpr int kVatInput = 227;
inline constexpr int kVatInputTax = 228;
inline constexpr int kVatSignature = 229;
inline constexpr int kVatSignatureDate = 230;
inline constexpr int kVatVersion = 231;
inline constexpr int kVatPage = 232;

}  // namespace zel
