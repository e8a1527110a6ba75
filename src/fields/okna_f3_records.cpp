#include "fields/okna_f3_records.hpp"

#include <algorithm>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/pltext.hpp"
#include "fields/hint_lists.hpp"
#include "fields/option_values.hpp"
#include "fields/zestaw_rules.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "store/chart.hpp"
#include "store/declaration.hpp"

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
const std::vector<F3FieldInfo> kSignature = {
    {"voIm", 79, "65. Imię", 30}, {"voNa", 80, "66. Nazwisko", 30}, {"", 81, "", 20}};

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
    default:
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
  std::string value = CompleteF3Value(number, typed, warning);
  if (number == 33 && !warning->empty()) return false;
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
  switch (code_) {
    case 122: {
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
    default:
      return 0;
  }
  loaded_ = values_;
  return 0;
}

}  // namespace zel
