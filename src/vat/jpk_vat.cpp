#include "vat/jpk_vat.hpp"

#include "common/numbers.hpp"
#include "platform/folders.hpp"
#include "shell/status.hpp"
#include "vat/jpk_kr.hpp"
#include "vat/vat_entry.hpp"

namespace zel {

namespace {

constexpr std::string_view kEol = "\r\n";
constexpr std::size_t kFlushAt = 1 << 20;
constexpr const char* kFragment = "SZWi";

void Element(std::string& out, std::string_view tag, std::string_view value) {
  AppendJpkElement(out, tag, value);
  out += kEol;
}

bool IsZero(Amount x) { return !AmountsDiffer(x, 0); }

// The sum of a field over the entry's letter slots; false when none of its
// letters was used by the entry (the sum is then 0 without rounding).
bool FieldSum(const JpkField& f, const LetterTable& letters, Amount* out) {
  Amount sum = 0;
  bool any = false;
  const int part = f.part == JpkPart::kNet ? kLetAdjNet : kLetAdjVat;
  for (char c : f.letters) {
    const LetterAmounts& a = letters[static_cast<std::size_t>(LetterSlot(c))];
    if (Untouched(a)) continue;
    sum += a[part];
    any = true;
  }
  *out = any ? Round2(sum) : Amount(0);
  return any;
}

template <std::size_t N>
void AmountFields(std::string& out, const std::array<JpkField, N>& fields,
                  const LetterTable& letters) {
  std::array<Amount, N> sums{};
  std::array<bool, N> nonzero{};
  for (std::size_t i = 0; i < N; ++i) {
    nonzero[i] = FieldSum(fields[i], letters, &sums[i]) && !IsZero(sums[i]);
  }
  auto pair_nonzero = [&](std::uint8_t number) {
    for (std::size_t i = 0; i < N; ++i)
      if (fields[i].number == number) return nonzero[i];
    return false;
  };
  for (std::size_t i = 0; i < N; ++i) {
    const std::uint8_t pair = JpkPairedField(fields[i].number);
    if (!nonzero[i] && (pair == 0 || !pair_nonzero(pair))) continue;
    Element(out, "K_" + std::to_string(fields[i].number), JpkAmount(sums[i]));
  }
}

// The row's tax for the control sum: each letter's adjusted VAT once.
Amount RowTax(char kind, const LetterTable& letters) {
  Amount tax = 0;
  bool any = false;
  for (int slot = 0; slot < kLetterSlots; ++slot) {
    const LetterAmounts& a = letters[static_cast<std::size_t>(slot)];
    if (Untouched(a) || !LetterInJpkTax(kind, SlotLetter(slot))) continue;
    tax += a[kLetAdjVat];
    any = true;
  }
  return any ? Round2(tax) : Amount(0);
}

}  // namespace

void AppendJpkVatRow(std::string& out, char kind, std::uint32_t lp, const VatEntry& e,
                     const LetterTable& letters, Amount* tax) {
  const std::string n = IntTextOrEmpty(lp);
  // A date of 0 never reaches the file: the VAT date falls back to the
  // registration date, and so does the invoice date.
  const DayNo vat_date = e.vat_date ? e.vat_date : e.registration_date;
  const DayNo invoice = e.invoice_date ? e.invoice_date : e.registration_date;
  if (kind == 'S') {
    out += "  <SprzedazWiersz typ=\"G\">";
    out += kEol;
    Element(out, "LpSprzedazy", n);
    if (vat_date != invoice) Element(out, "DataSprzedazy", JpkDate(vat_date));
    Element(out, "DataWystawienia", JpkDate(invoice));
    Element(out, "NrDokumentu", e.document_no.view());
    if (!e.name.empty()) Element(out, "NazwaNabywcy", e.name.view());
    if (!e.address.empty()) Element(out, "AdresNabywcy", e.address.view());
    AmountFields(out, kSalesJpkFields, letters);
    out += "  </SprzedazWiersz>";
  } else {
    out += "  <ZakupWiersz typ=\"G\">";
    out += kEol;
    Element(out, "LpZakupu", n);
    Element(out, "NazwaWystawcy", e.name.view());
    Element(out, "AdresWystawcy", e.address.view());
    Element(out, "NrIdWystawcy", e.nip.view());
    Element(out, "NrFaktury", e.document_no.view());
    AmountFields(out, kPurchaseJpkFields, letters);
    out += "  </ZakupWiersz>";
  }
  out += kEol;
  *tax = RowTax(kind, letters);
}

void AppendJpkVatControl(std::string& out, char kind, std::uint32_t rows, Amount tax) {
  const bool sales = kind == 'S';
  out += sales ? "  <SprzedazCtrl>" : "  <ZakupCtrl>";
  out += kEol;
  Element(out, sales ? "LiczbaWierszySprzedazy" : "LiczbaWierszyZakupow", IntTextOrEmpty(rows));
  Element(out, sales ? "PodatekNalezny" : "PodatekNaliczony", JpkAmount(tax));
  out += sales ? "  </SprzedazCtrl>" : "  </ZakupCtrl>";
  out += kEol;
}

JpkVatWriter::~JpkVatWriter() {
  if (open_) Abandon();
}

bool JpkVatWriter::Begin(char kind) {
  kind_ = kind;
  rows_ = 0;
  tax_ = 0;
  buffer_.clear();
  const std::string path = FragmentPath(kFragment);
  ok_ = file_.Open(path, Access::kReadWrite, Share::kExclusive, Disposition::kCreateAlways);
  if (!ok_) {
    ShowStatus("Zakazany " + path, kWarning);
    return false;
  }
  open_ = true;
  return true;
}

void JpkVatWriter::Flush() {
  if (ok_ && !buffer_.empty() && !file_.Append(buffer_)) {
    ok_ = false;
    ShowStatus("Zakazany " + file_.native_path(), kWarning);
  }
  buffer_.clear();
}

void JpkVatWriter::Row(const VatEntry& entry, const LetterTable& letters) {
  if (!open_) return;
  Amount tax = 0;
  AppendJpkVatRow(buffer_, kind_, ++rows_, entry, letters, &tax);
  tax_ += tax;
  if (buffer_.size() >= kFlushAt) Flush();
}

void JpkVatWriter::End() {
  if (!open_) return;
  if (rows_ > 0) AppendJpkVatControl(buffer_, kind_, rows_, Round2(tax_));
  Flush();
  if (!file_.Close() && ok_) {
    ShowStatus("Zakazany " + file_.native_path(), kWarning);
    ok_ = false;
  }
  open_ = false;
  if (!ok_) RemoveJpkVatFragment();
}

void JpkVatWriter::Abandon() {
  if (file_.IsOpen()) file_.Close();
  open_ = false;
  ok_ = false;
  buffer_.clear();
  RemoveJpkVatFragment();
}

void RemoveJpkVatFragment() {
  const std::string path = FragmentPath(kFragment);
  if (FileOrFolderExists(path)) RemoveFile(path);
}

}  // namespace zel
