// Hint lists: the fixed tables, the date and year lists, the account list
// over the chart, the name lists the F3 windows complete from, and the
// dispatch by list kind (the file and journal lists are in
// hint_lists_files.cpp).
#include "fields/hint_lists.hpp"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/globals.hpp"
#include "common/pltext.hpp"
#include "fields/hint_lists_internal.hpp"
#include "shell/state.hpp"
#include "store/chart.hpp"
#include "store/journal_entry.hpp"

namespace zel {

std::size_t HintEntries::LowerBound(std::string_view typed) const {
  // Lists kept in their table's order are not sorted, so the first entry
  // not less than the text may lie anywhere: an entry that begins with the
  // text is taken first.
  const std::size_t n = Count();
  std::size_t not_less = n;
  for (std::size_t i = 0; i < n; ++i) {
    const std::string t = Text(i);
    if (!typed.empty() && t.compare(0, typed.size(), typed) == 0) return i;
    if (not_less == n && t >= typed) not_less = i;
  }
  return not_less;
}

std::string ListFold(std::string_view text) {
  std::string s = FoldPl(text);
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}

std::string EntryValue(std::string_view entry) {
  std::size_t sep = entry.find(kEntrySeparator);
  return TrimSpaces(entry.substr(0, sep));
}

std::string EntryDescription(std::string_view entry) {
  std::size_t sep = entry.find(kEntrySeparator);
  if (sep == std::string_view::npos) return "";
  return TrimSpaces(entry.substr(sep + kEntrySeparator.size()));
}

std::string TrimSpaces(std::string_view s) {
  const std::size_t first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return "";
  return std::string(s.substr(first, s.find_last_not_of(' ') - first + 1));
}

std::string Entry(std::string_view value, std::string_view description) {
  std::string s(value);
  s += kEntrySeparator;
  s += description;
  if (s.size() > 250) s.resize(250);
  return s;
}

// ---- the account list ----

namespace {

// Slots of the chart and the gaps between sibling numbers, in symbol order.
class ChartView final : public HintEntries {
 public:
  struct Gap {
    std::string first;
    std::string last;
  };
  std::size_t Count() const override { return refs_.size(); }
  std::string Text(std::size_t i) const override {
    if (i >= refs_.size()) return "";
    const std::uint32_t r = refs_[i];
    if (r & kGapBit) {
      const Gap& g = gaps_[r & ~kGapBit];
      std::string d = "wolne "_w + g.first;
      if (g.last != g.first) d += " - " + g.last;
      return Entry(g.first, d);
    }
    const AccountRecord a = Chart().At(r);
    return Entry(a.symbol.view(), a.name.view());
  }
  std::size_t LowerBound(std::string_view typed) const override {
    std::size_t lo = 0, hi = refs_.size();
    while (lo < hi) {
      const std::size_t mid = lo + (hi - lo) / 2;
      if (Text(mid) < typed)
        lo = mid + 1;
      else
        hi = mid;
    }
    return lo;
  }

  static constexpr std::uint32_t kGapBit = 0x80000000u;
  std::vector<std::uint32_t> refs_;
  std::vector<Gap> gaps_;
};

std::string Padded(std::uint64_t v, std::size_t width) {
  std::string s = std::to_string(v);
  if (s.size() < width) s.insert(0, width - s.size(), '0');
  return s;
}

}  // namespace

std::unique_ptr<HintEntries> ChartEntries() {
  auto view = std::make_unique<ChartView>();
  ChartTable& chart = Chart();
  const std::size_t count = chart.Count();
  // The last number seen for each family of siblings: the same text before
  // the final run of digits and a run of the same length.
  std::unordered_map<std::string, std::uint64_t> last;
  std::string key;
  for (std::size_t slot = 1; slot < count; ++slot) {
    const AccountSymbol sym = chart.SymbolAt(slot);
    const std::string_view s = sym.view();
    std::size_t digits = 0;
    while (digits < s.size() && digits < 9 && s[s.size() - 1 - digits] >= '0' &&
           s[s.size() - 1 - digits] <= '9') {
      ++digits;
    }
    if (digits == 0) continue;
    const std::string_view prefix = s.substr(0, s.size() - digits);
    std::uint64_t number = 0;
    for (char c : s.substr(s.size() - digits))
      number = number * 10 + static_cast<unsigned>(c - '0');
    key.assign(prefix);
    key += static_cast<char>(1);
    key += static_cast<char>('0' + digits);
    auto [it, fresh] = last.try_emplace(key, number);
    if (fresh) continue;
    if (number > it->second + 1) {
      view->gaps_.push_back({std::string(prefix) + Padded(it->second + 1, digits),
                             std::string(prefix) + Padded(number - 1, digits)});
    }
    it->second = std::max(it->second, number);
  }
  // A gap is found at the sibling after it, but shorter symbols of other
  // families may sort between the two: the gaps are merged in by symbol.
  std::sort(view->gaps_.begin(), view->gaps_.end(),
            [](const auto& a, const auto& b) { return CompareSymbols(a.first, b.first) < 0; });
  view->refs_.reserve(count + view->gaps_.size());
  std::size_t g = 0;
  for (std::size_t slot = 1; slot < count; ++slot) {
    const AccountSymbol sym = chart.SymbolAt(slot);
    while (g < view->gaps_.size() && CompareSymbols(view->gaps_[g].first, sym.view()) < 0) {
      view->refs_.push_back(ChartView::kGapBit | static_cast<std::uint32_t>(g++));
    }
    view->refs_.push_back(static_cast<std::uint32_t>(slot));
  }
  while (g < view->gaps_.size()) {
    view->refs_.push_back(ChartView::kGapBit | static_cast<std::uint32_t>(g++));
  }
  return view;
}

// ---- dates and years ----

namespace {

int YearOf(DayNo n) {
  const std::string t = DayToText10(n);  // "DD-MM-YYYY"
  return std::atoi(t.c_str() + 6);
}

DayNo FirstOfYear(int year) {
  if (year > 2039) return static_cast<DayNo>(kLastDay + 1);
  return DayFromDdMmYy("0101" + TwoDigits(static_cast<std::uint8_t>(year % 100)));
}

}  // namespace

DayNo LastListedDay() {
  int year = 2022;
  if (Today != 0) year = std::max(year, YearOf(Today) + 1);
  if (BzDate != 0) year = std::max(year, YearOf(BzDate) + 1);
  year = std::min(year, 2039);
  return static_cast<DayNo>(FirstOfYear(year + 1) - 1);
}

int LastListedYear() {
  int year = 2019;
  if (Today != 0) year = std::max(year, YearOf(Today) + 1);
  if (BzDate != 0) year = std::max(year, YearOf(BzDate) + 1);
  return std::min(year, 2039);
}

// ---- the name lists ----

const std::vector<std::string>& NameListEntries(NameList list) {
  static const std::vector<std::string> countries = [] {
    std::vector<std::string> v;
    for (const char* c :
         {"Albania",   "Andora",    "Austria",  "Białoruś", "Belgia",  "Bośnia i Hercegowina",
          "Chorwacja", "Cypr",      "Czechy",   "Dania",    "Estonia", "Francja",
          "Grecja",    "Hiszpania", "Holandia", "Irlandia", "Litwa",   "Macedonia",
          "Niemcy",    "Polska",    "Słowacja", "Włochy"}) {
      v.push_back(Utf8ToWin(c));
    }
    return v;
  }();
  // The six names of old first, so that their short answers stay.
  static const std::vector<std::string> voivodeships = [] {
    std::vector<std::string> v;
    for (const char* c :
         {"dolnośląskie", "wielkopolskie", "pomorskie", "zachodniopomorskie", "łódzkie",
          "małopolskie", "kujawsko-pomorskie", "lubelskie", "lubuskie", "mazowieckie", "opolskie",
          "podkarpackie", "podlaskie", "śląskie", "świętokrzyskie", "warmińsko-mazurskie"}) {
      v.push_back(Utf8ToWin(c));
    }
    return v;
  }();
  return list == NameList::kCountries ? countries : voivodeships;
}

bool CompleteFromList(NameList list, std::string_view typed, std::string* out) {
  *out = std::string(typed);
  if (typed.empty()) return true;
  const std::vector<std::string>& names = NameListEntries(list);
  std::string want = ListFold(typed);
  while (!want.empty()) {
    for (const std::string& name : names) {
      if (ListFold(name).compare(0, want.size(), want) == 0) {
        *out = name;
        return true;
      }
    }
    want.pop_back();
  }
  return false;
}

// ---- fixed tables ----

namespace {

std::vector<std::string> Lines(std::initializer_list<const char*> utf8) {
  std::vector<std::string> v;
  for (const char* s : utf8) v.push_back(Utf8ToWin(s));
  return v;
}

const std::vector<std::string>& Currencies() {
  // The names of the old table were stored in an older code page; here
  // they are proper Polish.
  static const std::vector<std::string> v = Lines({"THB × bat (Tajlandia) 1THB + satang",
                                                   "USD × dolar amerykański 1USD + cent",
                                                   "AUD × dolar australijski 1AUD",
                                                   "HKD × dolar Hongkongu 1HKD",
                                                   "CAD × dolar kanadyjski 1CAD",
                                                   "NZD × dolar nowozelandzki 1NZD",
                                                   "SGD × dolar singapurski 1SGD",
                                                   "EUR × euro 1EUR + cent",
                                                   "HUF × forint (Węgry) 100HUF",
                                                   "CHF × frank szwajcarski 1CHF",
                                                   "GBP × funt szterling 1GBP + pens",
                                                   "UAH × hrywna (Ukraina) 1UAH",
                                                   "JPY × jen (Japonia) 100JPY",
                                                   "CZK × korona czeska 1CZK + hależ",
                                                   "DKK × korona duńska 1DKK",
                                                   "ISK × korona islandzka 100ISK",
                                                   "NOK × korona norweska 1NOK + öre",
                                                   "SEK × korona szwedzka 1SEK + öre",
                                                   "HRK × kuna (Chorwacja) 1HRK",
                                                   "RON × lej rumuński 1RON",
                                                   "BGN × lew (Bułgaria) 1BGN",
                                                   "TRY × lira turecka 1TRY",
                                                   "ILS × nowy izraelski szekel 1ILS",
                                                   "CLP × peso chilijskie 100CLP",
                                                   "PHP × peso filipińskie 1PHP",
                                                   "MXN × peso meksykańskie 1MXN",
                                                   "ZAR × rand (Republika Południowej Afryki) 1ZAR",
                                                   "BRL × real (Brazylia) 1BRL",
                                                   "MYR × ringgit (Malezja) 1MYR",
                                                   "RUB × rubel rosyjski 1RUB",
                                                   "IDR × rupia indonezyjska 10000IDR",
                                                   "INR × rupia indyjska 100INR",
                                                   "KRW × won południowokoreański 100KRW",
                                                   "CNY × yuan renminbi (Chiny) 1CNY",
                                                   "XDR × SDR (MFW) 1XDR"});
  return v;
}

const char* const kFonts[] = {
    "a Arial",      "b Comic Sans MS", "c Consolas",       "d Courier New",
    "f Fixedsys",   "i Impact",        "l Lucida console", "m Marlett",
    "n Minion Web", "o Myriad Web",    "p MS Sans Serif",  "q MS Serif",
    "r Bodiac pl",  "s System",        "t Tahoma",         "v Verdana"};

void FixedList(std::uint8_t kind, HintList& list, std::vector<std::string>& out) {
  auto noun = [&list](const char* n, const char* heading = "") {
    list.noun = Utf8ToWin(n);
    list.heading = Utf8ToWin(heading);
  };
  switch (kind) {
    case 66:
      noun("Pogrubienie czcionki");
      out = {"----", "Bold"};
      break;
    case 67:
      noun("Wielkość czcionki");
      for (int i = 6; i <= 20; ++i) out.push_back(std::to_string(i));
      break;
    case 69:
      noun("Ew.inne zaogrąglenia", "L × dokładność do");
      out = Lines({"T × tysiąca zł", "Z × złotówki", "G × grosza"});
      break;
    case 70:
      noun("Wybór czcionki", "Nazwa fontu");
      for (const char* f : kFonts) out.push_back(f);
      break;
    case 77:
      noun("Miesiąc");
      for (int m = 1; m <= 12; ++m)
        out.push_back(Entry(TwoDigits(static_cast<std::uint8_t>(m)), MonthNames[m]));
      break;
    case 80:
      noun("Oznaczenie położenia", "DL × opis");
      out = Lines({"LG × Lewy-Górny róg ekranu", "LS × Lewy brzeg na Środku",
                   "LD × Lewy-Dolny róg ekranu", "CG × Centralnie od Góry",
                   "CS × Centralnie na Środku", "CD × Centralnie na Dole",
                   "PG × Prawy-Górny róg ekranu", "PS × Prawy brzeg na Środku",
                   "PD × Prawy-Dolny róg ekranu"});
      break;
    case 82:
      noun("Rok");
      for (int y = 2011; y <= LastListedYear(); ++y) out.push_back(std::to_string(y));
      break;
    case 84:
      noun("Podejmowanie dycyzji");
      out = Lines({"T × jak Tak", "N × jak Nie"});
      break;
    case 87:
      noun("Trzyliterowy symbol waluty");
      out = Currencies();
      break;
    case 99:
      noun("Cel złożenia formularza");
      out = Lines({"złożenie × deklaracji", "korekta × deklaracji"});
      break;
    case 111:
      noun("Opis kont");
      out = Lines({"L × Litera taka oznacza", "B × Bez jakiegokolwiek opisu",
                   "H × Hasło max. 12 znakowe", "N × Nazwa max. 70 znakowa",
                   "O × Opis zespołu i konta syntetycznego i nazwa",
                   "P × Pełny opis w osobnym wierszu"});
      break;
    default:
      break;
  }
}

// Heights in steps of 50 up to the screen's, then that height - 2 or - 3.
void Heights(std::uint8_t kind, int screen_height, std::vector<std::string>& out) {
  for (int h = 50; h <= screen_height; h += 50) out.push_back(std::to_string(h));
  out.push_back(std::to_string(screen_height - (kind == 79 ? 2 : 3)));
}

void Dates(HintList& list, std::vector<std::string>& out, std::string_view folded_filter,
           const std::function<bool()>& stop) {
  list.noun = Utf8ToWin("Daty (liczba dni od 1-1-1920)");
  list.heading = Utf8ToWin("L.dni ×   Data     dzień tygodnia");
  const DayNo last = LastListedDay();
  for (DayNo n = 32873; n <= last; ++n) {
    if (stop && stop()) {
      list.stopped = true;
      return;
    }
    std::string e = Entry(std::to_string(n), DayToText10(n) + "  " + WeekdayName(n));
    if (folded_filter.empty() || ListFold(e).find(folded_filter) != std::string::npos) {
      out.push_back(std::move(e));
    }
  }
}

}  // namespace

int ListScreenHeight = 1600;

bool IsListKind(std::uint8_t kind) {
  static constexpr std::uint8_t kKinds[] = {32,  49,  66,  67,  68,  69,  70,  75, 76, 77,
                                            79,  80,  81,  82,  84,  87,  88,  89, 90, 99,
                                            100, 107, 109, 111, 118, 143, 175, 243};
  return std::find(std::begin(kKinds), std::end(kKinds), kind) != std::end(kKinds);
}

HintList BuildHintList(const ListRequest& request, std::string_view filter,
                       const std::function<bool()>& stop) {
  HintList list;
  const std::string folded = ListFold(filter);
  std::vector<std::string> lines;
  bool filtered_here = false;
  switch (request.kind) {
    case 49:
    case 107: {
      list.noun = Utf8ToWin("kont w zakładowym planie kont");
      std::unique_ptr<HintEntries> all = ChartEntries();
      if (!folded.empty()) {
        std::vector<std::uint32_t> kept;
        for (std::size_t i = 0; i < all->Count(); ++i) {
          if (stop && (i & 255) == 0 && stop()) {
            list.stopped = true;
            break;
          }
          if (ListFold(all->Text(i)).find(folded) != std::string::npos) {
            kept.push_back(static_cast<std::uint32_t>(i));
          }
        }
        list.entries = std::make_unique<FilteredEntries>(std::move(all), std::move(kept));
      } else {
        list.entries = std::move(all);
      }
      for (std::size_t i = 0; i < list.entries->Count() && !list.has_free; ++i) {
        // Only gap entries carry the separator followed by "wolne ".
        if (list.entries->Text(i).find(std::string(kEntrySeparator) + "wolne ") !=
            std::string::npos) {
          list.has_free = true;
        }
      }
      if (list.has_free) list.noun = "[F4] szuka wolne";
      break;
    }
    case 68:
      Dates(list, lines, folded, stop);
      filtered_here = true;
      break;
    case 79:
    case 81:
      list.noun = "Wybrane wysokości"_w;
      Heights(request.kind, ListScreenHeight, lines);
      break;
    default:
      filtered_here = BuildFileList(request, list, lines, folded, stop);
      if (!filtered_here) FixedList(request.kind, list, lines);
      break;
  }
  if (!list.entries) {
    if (!folded.empty() && !filtered_here) {
      std::vector<std::string> kept;
      for (std::string& e : lines) {
        if (ListFold(e).find(folded) != std::string::npos) kept.push_back(std::move(e));
      }
      lines.swap(kept);
    }
    list.entries = std::make_unique<TextEntries>(std::move(lines));
  }
  if (list.entries->Count() == 0) {
    list.entries = std::make_unique<TextEntries>(std::vector<std::string>{
        std::string(kEntrySeparator) + "pusta lista" + Spaces(99) + std::string(filter)});
  }
  return list;
}

}  // namespace zel
