#include "fields/okna_f3_records.hpp"

#include <algorithm>
#include <array>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/globals.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "fields/hint_lists.hpp"
#include "fields/option_values.hpp"
#include "fields/zestaw_rules.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "store/chart.hpp"
#include "store/declaration.hpp"
#include "vat/vat_letters.hpp"

namespace zel {
namespace {

const std::vector<F3FieldInfo> kNone;
constexpr int kMaskLines = 11;

const std::vector<F3FieldInfo> kAccount = {
    {"KNaz", 5, "Nazwa konta", 50}, {"KAdr", 6, "Kod i adres", 50}, {"KDod", 7, "Dodatkowo", 50},
    {"KNip", 8, "NIP", 15},         {"KBaz", 9, "Baza/skrót", 1},   {"KSkr", 10, "/", 12},
};
const std::vector<F3FieldInfo> kCurrency = {
    {"SyWa", 13, "Waluta", 3}, {"KuWa", 14, "Kurs", 7}, {"KwWa", 15, "Kwota", 10}};
const std::vector<F3FieldInfo> kPurchase = {{"DaRv", 16, "Data rejestracji", 6},
                                            {"DaFv", 17, "Data faktury", 6},
                                            {"Miev", 18, "Miesiąc rozliczenia", 2},
                                            {"Symv", 19, "Symbol sprzedawcy", 25},
                                            {"Nazv", 20, "Nazwa", 50},
                                            {"Adrv", 21, "Adres", 50},
                                            {"Nipv", 22, "NIP", 15},
                                            {"Skrv", 23, "Skrót", 15},
                                            {"Litv", 24, "Kwalifikacja", 1},
                                            {"Vatv", 25, "Wartość vat", 15},
                                            {"Bruv", 26, "Wartość brutto", 15}};
const std::vector<F3FieldInfo> kMasks = [] {
  static const char* const kLines[] = {"001", "002", "003", "004", "005", "006",
                                       "007", "008", "009", "010", "011"};
  std::vector<F3FieldInfo> v;
  for (const char* c : kLines) v.push_back({"MaAr", 83, c, 25});
  v.push_back({"MaRe", 84, "Wczytać ze zbioru", 8});
  return v;
}();
const std::vector<F3FieldInfo> kDocuments = [] {
  static const char* const kLines[] = {"001", "002", "003", "004", "005", "006",
                                       "007", "008", "009", "010", "011"};
  std::vector<F3FieldInfo> v;
  for (const char* c : kLines) v.push_back({"MaDo", 82, c, 12});
  return v;
}();
const std::vector<F3FieldInfo> kTaxpayer = {{"vKUr", 27, "Kod urzędu (KodUrzedu)", 4},
                                            {"vNip", 29, "1. NIP", 13},
                                            {"vUSk", 28, "6. Urząd skarbowy", 45},
                                            {"vRPo", 30, "8. Rodzaj podatnika", 7},
                                            {"vNaz", 31, "9. Nazwa pełna / Nazwisko", 45},
                                            {"vPIm", 32, "9. Pierwsze imię", 30},
                                            {"vDUr", 33, "Data urodzenia", 6},
                                            {"vPes", 34, "regon / pesel", 12},
                                            {"vKra", 35, "Kraj", 30},
                                            {"vWoj", 36, "województwo", 32},
                                            {"vPow", 37, "Powiat", 30},
                                            {"vGmi", 38, "Gmina", 37},
                                            {"vUli", 39, "Ulica", 30},
                                            {"vNrD", 40, "Numer domu", 10},
                                            {"vNrL", 41, "Numer  lokalu", 9},
                                            {"vMia", 42, "Miejscowość", 30},
                                            {"vKod", 43, "Kod", 6},
                                            {"vPoc", 44, "Poczta", 25}};
// Declaration amounts: a base and its tax on one line; where the form has no
// tax box the line ends with an unnamed display cell (field 0).
const std::vector<F3FieldInfo> kDueTax = {
    {"vK10", 45, "1. Dostawa... w kraju, zwolniona", 15},
    {"", 0, "", 15},
    {"vK11", 46, "2. Dostawa... poza terytorium kraju", 15},
    {"", 0, "", 15},
    {"vK12", 47, "    - w tym usługi art.100 ust.1 pkt 4", 15},
    {"", 0, "", 15},
    {"vK13", 48, "3. Dostawa... w kraju, stawka 0%", 15},
    {"", 0, "", 15},
    {"vK14", 49, "    - w tym dostawa... art.129", 15},
    {"", 0, "", 15},
    {"vK15", 50, "4. Dostawa... w kraju, stawka  5%", 15},
    {"vK16", 51, "", 15},
    {"vK17", 52, "5. Dostawa... w kraju, stawka  8%", 15},
    {"vK18", 53, "", 15},
    {"vK19", 54, "6. Dostawa... w kraju, stawka 23%", 15},
    {"vK20", 55, "", 15},
    {"vK21", 56, "7. Wewnątrzwspólnotowa dostawa", 15},
    {"", 0, "", 15},
    {"vK22", 57, "8. Eksport towarów", 15},
    {"", 0, "", 15},
    {"vK23", 58, "9. Wewnątrzwspólnotowe nabycie", 15},
    {"vK24", 59, "", 15},
    {"vK25", 60, "10. Import... zgodnie z art.33a", 15},
    {"vK26", 61, "", 15},
    {"vK27", 62, "11. Import usług", 15},
    {"vK28", 63, "", 15},
    {"vK29", 64, "    - w tym nabycie od... art.28b", 15},
    {"vK30", 65, "", 15},
    {"vK31", 66, "12. Dostawa... nabywca ( o.o. )", 15},
    {"vK32", 67, "", 15},
    {"vK33", 68, "13. Kwota podatku... spis z natury", 15},
    {"", 0, "", 15},
    {"vK34", 69, "14. Kwota podatku... śr.transportu", 15},
    {"", 0, "", 15}};
const std::vector<F3FieldInfo> kDeductible = {
    {"vK39", 70, "39. Nabycie... śr.trwałych", 15},
    {"vK40", 71, "", 15},
    {"vK41", 72, "41. Nabycie... pozostałych", 15},
    {"vK42", 73, "", 15},
    {"vK43", 74, "43. Korekta podatku od nabycia śr.trwałych", 15},
    {"vK44", 75, "44. Korekta podatku od pozostałych nabyć", 15},
    {"vK46", 76, "46. Kwota wydatkowana na zakup kas rejestrujących", 15},
    {"vK47", 77, "47. Kwota podatku objęta zaniechaniem poboru", 15},
    {"vK51", 78, "51. Kwota do zwrotu na rachunek... podatnika", 15}};
// Field 81 holds the signer's telephone.
const std::vector<F3FieldInfo> kSignature = {
    {"voIm", 79, "65. Imię", 30}, {"voNa", 80, "66. Nazwisko", 30}, {"voTe", 81, "", 20}};

// Fields 45..69 of the due-tax window show slots 0..24 of the declaration.
constexpr std::uint8_t kFirstDueField = 45;
constexpr std::uint8_t kLastDueField = 69;
int DueSlot(std::uint8_t n) { return n - kFirstDueField; }

// The deductible-tax window: each field's slot; the first four are the
// purchase totals (saved as "Z" lines), the others typed values ("P" lines).
struct DeductibleField {
  std::uint8_t number;
  int slot;
};
constexpr DeductibleField kDeductibleSlots[] = {{70, 32}, {71, 33}, {72, 34}, {73, 35}, {74, 36},
                                                {75, 37}, {76, 40}, {77, 41}, {78, 43}};
bool IsAmountField(std::uint8_t n) { return n >= kFirstDueField && n <= 78; }

// The taxpayer fields and their places in the declaration record.
template <class F>
void EachTaxpayerField(DeclarationData& d, F f) {
  f(29, d.Nip);
  f(28, d.USk);
  f(30, d.RPo);
  f(31, d.Naz);
  f(32, d.PIm);
  f(34, d.Pes);
  f(35, d.Kra);
  f(36, d.Woj);
  f(37, d.Pow);
  f(38, d.Gmi);
  f(39, d.Uli);
  f(40, d.NrD);
  f(41, d.NrL);
  f(42, d.Mia);
  f(43, d.Kod);
  f(44, d.Poc);
}

// Account mask of the selected-accounts window: the text before "*" stays,
// the "*" becomes "?" up to 25 characters, upper case, and only a mask of
// the full width gets its "?" tail back as one "*" (so "4??" stays "4??").
std::string CompleteMask(std::string_view typed) {
  std::string s = UpperPl(MaskExpand(typed, 25));
  return MaskCompact(s, 25);
}

std::string CompleteFileName(std::string_view typed) {
  static constexpr std::string_view kDropped = "\"*+,./:;<=>?[\\]|";
  std::string s;
  for (char c : typed) {
    if (kDropped.find(c) == std::string_view::npos) s += c;
  }
  return FoldPl(s);
}

std::string DateText(std::string_view typed, std::string* warning) {
  if (typed.empty()) return {};
  DateCompletion d = CompleteDate(typed, "");
  if (d.bad) {
    *warning = "Błędna postać daty"_w;
    return std::string(typed);
  }
  return d.value;
}

std::string AmountValue(Amount x) { return NumberText(x, 2); }


// An amount typed into a declaration field: digits with an optional sign,
// spaces, "." or "," ; anything else is refused.
bool AmountTyped(std::string_view typed) {
  for (char c : typed)
    if (!((c >= '0' && c <= '9') || c == ' ' || c == '.' || c == ',' || c == '-')) return false;
  return true;
}

// The sales letter whose total a slot takes (the first of the table).
char SalesLetterOf(int base_slot) {
  for (const DeclarationLetterSlots& s : kSalesDeclarationSlots)
    if (s.base == base_slot) return s.letter;
  return '\0';
}

// The due-tax window's values as "S" lines under the label "F3": a "#" line
// first, so they replace the registers' totals of the month. The loader adds
// slot 2 into 1, 4 into 3, 19 into 17 and 20 into 18 ("in that" boxes), so
// those totals are written less their parts.
std::string DueTaxLines(const DeclarationData& d, const std::map<std::uint8_t, std::string>& v) {
  std::array<Amount, 25> a{};
  for (std::uint8_t n = kFirstDueField; n <= kLastDueField; ++n) {
    auto it = v.find(n);
    a[static_cast<std::size_t>(DueSlot(n))] = it == v.end() ? 0 : ParseNumber(it->second);
  }
  a[1] -= a[2];
  a[3] -= a[4];
  a[17] -= a[19];
  a[18] -= a[20];
  const std::string key = DeclarationKey(d.year, d.month, 'S', "F3");
  std::string out = "  " + key + "#\r\n";
  for (int slot = 0; slot < 25; ++slot) {
    const char letter = SalesLetterOf(slot);
    if (letter == '\0') continue;  // a tax slot, written with its base
    int tax = -1;
    for (const DeclarationLetterSlots& s : kSalesDeclarationSlots)
      if (s.letter == letter) tax = s.tax;
    const Amount base = a[static_cast<std::size_t>(slot)];
    const Amount t = tax >= 0 ? a[static_cast<std::size_t>(tax)] : 0;
    if (!AmountsDiffer(base, 0) && !AmountsDiffer(t, 0)) continue;
    out += DeclarationAmountLine(key, letter, base, t, t);
  }
  return out;
}

// The purchase totals of the deductible-tax window as "Z" lines: "#", then
// fixed assets under letter M (slots 32, 33) and the others under A (34, 35).
std::string PurchaseLines(const DeclarationData& d, const std::map<std::uint8_t, std::string>& v) {
  auto value = [&v](std::uint8_t n) {
    auto it = v.find(n);
    return it == v.end() ? Amount{0} : ParseNumber(it->second);
  };
  const std::string key = DeclarationKey(d.year, d.month, 'Z', "F3");
  std::string out = "  " + key + "#\r\n";
  const struct {
    char letter;
    std::uint8_t base, tax;
  } rows[] = {{'M', 70, 71}, {'A', 72, 73}};
  for (const auto& r : rows) {
    const Amount base = value(r.base);
    const Amount tax = value(r.tax);
    if (!AmountsDiffer(base, 0) && !AmountsDiffer(tax, 0)) continue;
    out += DeclarationAmountLine(key, r.letter, base, tax, tax);
  }
  return out;
}

bool Changed(const std::map<std::uint8_t, std::string>& now,
             const std::map<std::uint8_t, std::string>& before, std::uint8_t n) {
  auto a = now.find(n);
  auto b = before.find(n);
  const std::string x = a == now.end() ? std::string() : a->second;
  const std::string y = b == before.end() ? std::string() : b->second;
  return x != y;
}

// The window shows the first eleven masks of a list that may hold more: the
// edited lines replace those eleven and the masks past them stay as they were.
template <class List>
void KeepBeyondLines(List& list, const std::map<std::uint8_t, std::string>& values) {
  std::vector<std::string> beyond;
  for (int i = kMaskLines; i < list.count; ++i) beyond.push_back(list.masks[static_cast<std::size_t>(i)].str());
  list.Clear();
  for (int i = 0; i < kMaskLines; ++i) {
    auto it = values.find(static_cast<std::uint8_t>(100 + i));
    if (it != values.end() && !it->second.empty()) list.Add(it->second);
  }
  for (const std::string& m : beyond) list.Add(m);
}

}  // namespace

Amount ParseTypedAmount(std::string_view typed) {
  const bool comma = typed.find(',') != std::string_view::npos;
  std::string s;
  for (char c : typed)
    if (c != ' ' && !(comma && c == '.')) s += c;
  return ParseNumber(s);
}

bool DeclarationPeriod(DeclarationData& d) {
  const std::int32_t year = ParseInt(OptionText(220));
  const std::int32_t month = ParseInt(OptionText(221));
  if (year >= 1990 && year <= 2039 && month >= 1 && month <= 12) {
    d.year = static_cast<std::uint16_t>(year);
    d.month = static_cast<std::uint8_t>(month);
    return true;
  }
  if (d.year != 0 && d.month >= 1 && d.month <= 12) return true;
  const std::string to = DayToText10(ToDate);  // "DD-MM-YYYY"
  if (ToDate == 0 || to.size() != 10) return false;
  d.year = static_cast<std::uint16_t>(ParseInt(to.substr(6, 4)));
  d.month = static_cast<std::uint8_t>(ParseInt(to.substr(3, 2)));
  return d.month >= 1 && d.month <= 12;
}

const std::vector<F3FieldInfo>& F3Fields(std::uint8_t code) {
  switch (code) {
    case 122:
      return kAccount;
    case 123:
      return kCurrency;
    case 124:
      return kPurchase;
    case 125:
      return kMasks;
    case 126:
      return kDocuments;
    case 127:
      return kTaxpayer;
    case 128:
      return kDueTax;
    case 129:
      return kDeductible;
    case 130:
      return kSignature;
    default:
      return kNone;
  }
}

std::string F3Title(std::uint8_t code) {
  switch (code) {
    case 122:
      return "zakładanie i korekta konta"_w;
    case 123:
      return "Rozrachunki walutowe";
    case 124:
      return "Rejestr zakupu VAT ";
    case 125:
      return "Lista wybranych kont";
    case 126:
      return "Lista wybranych dowodów"_w;
    case 127:
      return "Opis podatnika";
    case 128:
    case 129:
      return "Rozliczenie podatku należnego"_w;
    case 130:
      return "Oświadczenie"_w;
    default:
      return "F3 tu nie pracuje";
  }
}

std::string CompleteF3Value(std::uint8_t number, std::string_view typed, std::string* warning) {
  warning->clear();
  switch (number) {
    case 30:
      if (typed.empty()) return {};
      return typed[0] == 'p' ? "p.n.o.f." : "os.fiz.";
    case 33:
      return DateText(typed, warning);
    case 35:
    case 36: {
      std::string t(typed);
      if (number == 35 && !t.empty()) t = Capitalize(t.substr(0, 1)) + t.substr(1);
      std::string out;
      if (!CompleteFromList(number == 35 ? NameList::kCountries : NameList::kVoivodeships, t,
                            &out)) {
        *warning = "Uzupełnić według pierwszych znaków"_w;
      }
      return out;
    }
    case 83:
      return CompleteMask(typed);
    case 84:
      return CompleteFileName(typed);
    case 82: {
      // A document-number mask: upper case, at most 12 characters.
      std::string m = UpperPl(typed);
      if (m.size() > 12) m.resize(12);
      return m;
    }
    default:
      break;
  }
  if (number >= 1 && number <= 27)
    *warning = "Uzupełnić według pierwszych znaków"_w;
  return std::string(typed);
}

bool F3Record::Open(std::uint8_t code) {
  code_ = code;
  values_.clear();
  loaded_.clear();
  read_only_ = false;
  switch (code) {
    case 122: {
      const AccountRecord& a = CurrentAccount();
      values_[5] = a.name.str();
      values_[6] = a.address.str();
      values_[7] = a.extra.str();
      values_[8] = a.nip.str();
      values_[9] = a.attribute ? std::string(1, a.attribute) : std::string();
      values_[10] = a.shortName.str();
      break;
    }
    case 125:
      // Eleven lines of masks; the field holds them one after another.
      for (int i = 0; i < kMaskLines; ++i) {
        values_[static_cast<std::uint8_t>(100 + i)] =
            i < Options.masks.count ? Options.masks.masks[static_cast<std::size_t>(i)].str() : "";
      }
      break;
    case 126:
      for (int i = 0; i < kMaskLines; ++i) {
        values_[static_cast<std::uint8_t>(100 + i)] =
            i < Options.documents.count ? Options.documents.masks[static_cast<std::size_t>(i)].str()
                                        : "";
      }
      break;
    case 127: {
      LoadDeclarationData();
      DeclarationData& d = Declaration();
      EachTaxpayerField(d, [this](std::uint8_t n, const auto& text) { values_[n] = text.str(); });
      values_[33] = d.DUr != 0 ? DayToDdMmYy(d.DUr) : std::string();
      break;
    }
    case 128:
    case 129:
    case 130: {
      DeclarationData& d = Declaration();
      if (!DeclarationPeriod(d)) return false;
      LoadDeclarationData();
      if (code == 128) {
        for (std::uint8_t n = kFirstDueField; n <= kLastDueField; ++n)
          values_[n] = AmountValue(d.amounts[static_cast<std::size_t>(DueSlot(n))]);
      } else if (code == 129) {
        for (const DeductibleField& f : kDeductibleSlots)
          values_[f.number] = AmountValue(d.amounts[static_cast<std::size_t>(f.slot)]);
      } else {
        values_[79] = d.oIm.str();
        values_[80] = d.oNa.str();
        values_[81] = d.oTe.str();
      }
      break;
    }
    default:
      // No record behind the window: what is typed into it can be looked
      // at, never stored.
      read_only_ = true;
      return false;
  }
  loaded_ = values_;
  return true;
}

std::uint8_t F3Record::FieldNumber(std::string_view field_code) const {
  const std::string want = UpperPl(field_code);
  for (const F3FieldInfo& f : F3Fields(code_)) {
    if (*f.code != 0 && UpperPl(f.code) == want) return f.number;
  }
  return 0;
}

std::string F3Record::Value(std::uint8_t number) const {
  auto it = values_.find(number);
  return it == values_.end() ? std::string() : it->second;
}

bool F3Record::Enter(std::uint8_t number, std::string_view typed, std::string* warning) {
  if (IsAmountField(number) && !AmountTyped(typed)) {
    *warning = "Błędna kwota"_w;
    return false;
  }
  std::string value = CompleteF3Value(number, typed, warning);
  if (number == 33 && !warning->empty()) return false;
  if (IsAmountField(number)) value = AmountValue(ParseTypedAmount(value));
  for (const F3FieldInfo& f : F3Fields(code_)) {
    if (f.number == number && value.size() > f.width && number != 83 && number != 82) value.resize(f.width);
  }
  if (number == 83 || number == 82) {
    // The next free mask line, in the order typed.
    for (int i = 0; i < kMaskLines; ++i) {
      std::string& line = values_[static_cast<std::uint8_t>(100 + i)];
      if (line.empty()) {
        line = value;
        return true;
      }
    }
    *warning = number == 83 ? "Lista wybranych kont jest pełna"_w : "Lista wybranych dowodów jest pełna"_w;
    return false;
  }
  values_[number] = value;
  return true;
}

bool F3Record::EnterLine(std::uint8_t number, int line, std::string_view typed,
                         std::string* warning) {
  if (line < 0 || line >= kMaskLines) return false;
  std::string value = CompleteF3Value(number, typed, warning);
  values_[static_cast<std::uint8_t>(100 + line)] = value;
  return true;
}

std::string F3Record::LineValue(int line) const {
  return Value(static_cast<std::uint8_t>(100 + line));
}

int F3Record::Save(std::string* message) {
  message->clear();
  if (values_ == loaded_) {
    *message = "Nic się nie zmieniło"_w;
    return 0;
  }
  if (read_only_) {
    // A window whose record is kept nowhere (the currency and purchase
    // windows) must not close as if the values were saved.
    *message = "Tylko do oglądania"_w;
    const std::vector<F3FieldInfo>& fields = F3Fields(code_);
    return fields.empty() ? 1 : fields.front().number;
  }
  switch (code_) {
    case 122: {
      // An account record without a name is how the chart deletes an
      // account: the card corrects and creates accounts, it never deletes.
      if (TrimBlanks(Value(5)).empty()) {
        *message = "Musisz podać opis konta"_w;
        return 5;
      }
      AccountRecord a = CurrentAccount();
      a.name = Value(5);
      a.address = Value(6);
      a.extra = Value(7);
      a.nip = Value(8);
      a.attribute = Value(9).empty() ? '\0' : Value(9)[0];
      a.shortName = Value(10);
      if (!AppendAccountAsIs(a)) {
        *message = "Błąd zapisu do pliku "_w + ChartPath.str();
        return 5;
      }
      CurrentAccount() = a;
      break;
    }
    case 125:
      KeepBeyondLines(Options.masks, values_);
      break;
    case 126:
      KeepBeyondLines(Options.documents, values_);
      break;
    case 127: {
      DeclarationData& d = Declaration();
      EachTaxpayerField(d, [this](std::uint8_t n, auto& text) { text = Value(n); });
      d.DUr = Value(33).empty() ? DayNo{0} : DayFromDdMmYy(Value(33));
      if (!WriteTaxpayerFile(d)) {
        *message = "Błąd zapisu do pliku "_w + DbDir.str() + "VAT\\Pod.7BT";
        return 27;
      }
      break;
    }
    case 128:
    case 129:
    case 130: {
      DeclarationData& d = Declaration();
      if (!DeclarationPeriod(d)) {
        *message = "Nie ustalono roku i miesiąca deklaracji"_w;
        return code_ == 128 ? 45 : code_ == 129 ? 70 : 79;
      }
      std::string lines;
      if (code_ == 128) {
        lines = DueTaxLines(d, values_);
      } else if (code_ == 129) {
        bool purchases = false;
        for (std::uint8_t n = 70; n <= 73; ++n) purchases = purchases || Changed(values_, loaded_, n);
        if (purchases) lines = PurchaseLines(d, values_);
        for (const DeductibleField& f : kDeductibleSlots) {
          const char letter = TypedLetterOfSlot(f.slot);
          if (letter == '\0' || f.slot == 33 || f.slot == 34) continue;  // with the totals above
          if (!Changed(values_, loaded_, f.number)) continue;
          lines += TypedValueLine(d.year, d.month, letter, ParseNumber(Value(f.number)));
        }
      } else {
        // The signature: names and telephone in the taxpayer file, the date
        // and the answers as typed lines of the declaration data.
        d.oIm = Value(79);
        d.oNa = Value(80);
        d.oTe = Value(81);
        if (!WriteTaxpayerFile(d)) {
          *message = "Błąd zapisu do pliku "_w + DbDir.str() + "VAT\\Pod.7BT";
          return 79;
        }
        if (d.signatureDate == 0) d.signatureDate = Today;
        lines = SignatureDateLine(d.year, d.month, d.signatureDate) + AnswersLine(d.year, d.month, d);
      }
      if (!lines.empty() && !AppendDeclarationLines(DbDir.view(), lines)) {
        *message = "Błąd zapisu do pliku "_w + DbDir.str() + "VAT\\Vat.7BT";
        return code_ == 128 ? 45 : code_ == 129 ? 70 : 79;
      }
      LoadDeclarationData();
      break;
    }
    default:
      return 0;
  }
  loaded_ = values_;
  return 0;
}

}  // namespace zel
