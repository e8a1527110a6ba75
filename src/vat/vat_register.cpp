#include "vat/vat_register.hpp"

#include <algorithm>
#include <cstring>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "platform/folders.hpp"
#include "shell/file_access.hpp"
#include "shell/status.hpp"
#include "store/declaration.hpp"
#include "vat/vat_entry.hpp"

namespace zel {

namespace {

constexpr int kCodeWidth = 5;

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The purchase registers a sales run takes too: a double quote and one of
// these pairs starts their code.
constexpr std::string_view kSalesPurchasePairs[] = {"WN", "IM", "IU", "JU", "OO"};

bool IsSalesPurchaseCode(std::string_view code) {
  if (code.size() < 3 || code[0] != '"') return false;
  for (std::string_view pair : kSalesPurchasePairs)
    if (Upper(code[1]) == pair[0] && Upper(code[2]) == pair[1]) return true;
  return false;
}

int YearOf(DayNo d) {
  const std::string t = DayToText10(d);
  return t.size() == 10 ? std::atoi(t.substr(6, 4).c_str()) : 0;
}

void AddFiles(const std::string& folder, char file_kind, bool purchase_for_sales,
              const VatRegisterParams& p, std::vector<VatRegisterFile>* out,
              std::vector<std::string>* skipped) {
  if (!IsFolder(folder)) return;
  for (const FoundFile& f : FindFiles(folder + "*.R" + file_kind + "V")) {
    if (f.is_folder) continue;
    const std::string code = VatRegisterCode(f.name);
    if (purchase_for_sales && !IsSalesPurchaseCode(code)) continue;
    if (!RegisterCodeMatches(p.mask, code)) continue;
    const std::string path = folder + f.name;
    if (f.size % kVatEntrySize != 0) {
      if (skipped) skipped->push_back(path);
      continue;
    }
    out->push_back({path, code, purchase_for_sales});
  }
}

}  // namespace

bool RegisterCodeMatches(std::string_view mask, std::string_view code) {
  if (mask.empty()) return true;
  const std::string m = MaskExpand(mask, kCodeWidth);
  if (m.size() < code.size()) return false;
  for (std::size_t i = 0; i < m.size(); ++i) {
    if (m[i] == '?') continue;
    if (i >= code.size() || Upper(m[i]) != Upper(code[i])) return false;
  }
  return true;
}

std::string PreviousYearVatFolder(std::string_view db_dir, DayNo to) {
  const int year = YearOf(to);
  const std::string y = std::to_string(year);
  const std::size_t at = year > 0 ? db_dir.rfind(y) : std::string_view::npos;
  if (at == std::string_view::npos) return std::string(db_dir) + "VAX\\";
  std::string dir(db_dir);
  dir.replace(at, y.size(), std::to_string(year - 1));
  return dir + "VAT\\";
}

std::vector<VatRegisterFile> ChooseRegisters(const VatRegisterParams& p,
                                             std::vector<std::string>* skipped) {
  std::vector<VatRegisterFile> files;
  for (const std::string& folder :
       {PreviousYearVatFolder(p.db_dir, p.to), std::string(p.db_dir) + "VAT\\"}) {
    AddFiles(folder, p.kind, false, p, &files, skipped);
    if (p.kind == 'S') AddFiles(folder, 'Z', true, p, &files, skipped);
  }
  std::sort(files.begin(), files.end(),
            [](const VatRegisterFile& a, const VatRegisterFile& b) { return a.path < b.path; });
  return files;
}

void OrderEntries(std::vector<VatIndexEntry>& index, bool by_date) {
  auto three_way = [](std::string_view a, std::string_view b) { return a.compare(b); };
  if (by_date) {
    std::stable_sort(index.begin(), index.end(), [&](const VatIndexEntry& a, const VatIndexEntry& b) {
      if (a.date != b.date) return a.date < b.date;
      if (int c = three_way(a.code.view(), b.code.view())) return c < 0;
      if (int c = three_way(a.key.view(), b.key.view())) return c < 0;
      return a.number < b.number;
    });
  } else {
    std::stable_sort(index.begin(), index.end(), [&](const VatIndexEntry& a, const VatIndexEntry& b) {
      if (int c = three_way(a.code.view(), b.code.view())) return c < 0;
      if (int c = three_way(a.key.view(), b.key.view())) return c < 0;
      if (a.number != b.number) return a.number < b.number;
      return a.date < b.date;
    });
  }
}

Amount AdjustedAmount(char kind, char letter, Amount x) {
  if (kind != 'Z') return x;
  switch (PurchaseDeduction(letter)) {
    case Deduction::kFull: return x;
    case Deduction::kHalf: return Round2(x / 2);
    case Deduction::kHalf46: return Round2(x * 46 / 100 / 2);
    case Deduction::k46: return Round2(x * 46 / 100);
    case Deduction::kNone: return 0;
  }
  return x;
}

std::string DeductionRowText(char kind, char letter) {
  if (kind != 'Z') return {};
  switch (PurchaseDeduction(letter)) {
    case Deduction::kFull: return {};
    case Deduction::kHalf: return letter == 'O' ? " zak.aut 1/2" : "  do aut 1/2";
    case Deduction::kHalf46: return letter == 'Q' ? " z.aut 46%/2" : "  +aut 46%/2";
    case Deduction::k46: return "       46 %";
    case Deduction::kNone: return "==";
  }
  return {};
}

std::string DeclarationLines(char kind, char mode, DayNo to, const LetterTable& total) {
  const std::string t = DayToText10(to);
  const int month = t.size() == 10 ? std::atoi(t.substr(3, 2).c_str()) : 0;
  std::string key = PeriodCode(static_cast<std::uint16_t>(YearOf(to)),
                               static_cast<std::uint8_t>(month)) +
                    kind;
  key = PadRight(key, 12).substr(0, 12);
  std::string out;
  if (mode == 'Z') out += "  " + key + "#\r\n";
  for (int slot = 0; slot < kLetterSlots; ++slot) {
    const LetterAmounts& a = total[static_cast<std::size_t>(slot)];
    if (!AmountsDiffer(a[kLetNet], 0) && !AmountsDiffer(a[kLetVat], 0)) continue;
    out += "  " + key + SlotLetter(slot);
    out += Amount15(a[kLetNet]) + Amount15(a[kLetVat]) + Amount15(a[kLetAdjVat]);
    if (!AmountsDiffer(a[kLetVat] * a[kLetAdjVat], 0)) {
      out += std::string(14, ' ') + "=";
    } else {
      out += Amount13x4(a[kLetAdjVat] / a[kLetVat] * 100) + " %";
    }
    out += Amount15(a[kLetAdjNet]);
    out += "\r\n";
  }
  return out;
}

bool CheckVatRegister(const VatRegisterParams& p, OptionServices& window) {
  auto fail = [&window](int field, const std::string& text) {
    ShowStatus(text, kWarning);
    window.FieldError(field, text);
    return false;
  };
  if (p.kind != 'S' && p.kind != 'Z') return fail(kFieldReZS, "Wpisz S lub Z"_w);
  if (p.order != 'T' && p.order != 'N') return fail(kFieldReWD, "Wpisz T lub N"_w);
  if (p.declaration != 'Z' && p.declaration != 'D' && p.declaration != 'N')
    return fail(kFieldReZD, "Wpisz Z, D lub N"_w);
  if (p.from == 0 || p.to < p.from) return fail(kFieldVatFrom, "Popraw datę początkową"_w);
  if (p.declaration != 'N') {
    // The declaration is monthly: its totals come from one whole month.
    const std::string a = DayToText10(p.from);
    const std::string b = DayToText10(p.to);
    const std::string next = DayToText10(static_cast<DayNo>(p.to + 1));
    const bool month = a.size() == 10 && b.size() == 10 && a.substr(0, 3) == "01-" &&
                       a.substr(3) == b.substr(3) && next.substr(0, 3) == "01-";
    if (!month) return fail(kFieldReZD, "Do VAT-7 tylko za jeden pełny miesiąc"_w);
  }
  return true;
}

}  // namespace zel
