// The sample firm and its chart of accounts: the usual Polish groups 0 to 8,
// synthetic names at every level, customers and suppliers with addresses and
// NIP numbers, employees, cost centres that share one structure of cost
// types ("!K" defined once, "^K" used under every centre).
#include <algorithm>
#include <array>
#include <cstdio>

#include "app/demo_build.hpp"
#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "common/dates.hpp"

namespace zel::demo {
namespace {

constexpr std::array<const char*, 24> kGreek = {
    "Alfa", "Beta",  "Gamma",  "Delta",   "Epsilon", "Zeta", "Eta",     "Theta",
    "Jota", "Kappa", "Lambda", "Mi",      "Ni",      "Ksi",  "Omikron", "Pi",
    "Ro",   "Sigma", "Tau",    "Ypsilon", "Fi",      "Chi",  "Psi",     "Omega"};
constexpr std::array<const char*, 4> kForms = {" Sp. z o.o.", " S.A.", " Sp.j.", " s.c."};

struct Town {
  const char* postcode_prefix;
  const char* name;
};
constexpr std::array<Town, 12> kTowns = {{{"00", "Warszawa"},
                                          {"30", "Kraków"},
                                          {"90", "Łódź"},
                                          {"50", "Wrocław"},
                                          {"60", "Poznań"},
                                          {"80", "Gdańsk"},
                                          {"20", "Lublin"},
                                          {"15", "Białystok"},
                                          {"40", "Katowice"},
                                          {"35", "Rzeszów"},
                                          {"10", "Olsztyn"},
                                          {"25", "Kielce"}}};
constexpr std::array<const char*, 10> kStreets = {"Polna",   "Leśna",    "Słoneczna", "Krótka",
                                                  "Szkolna", "Ogrodowa", "Lipowa",    "Brzozowa",
                                                  "Łąkowa",  "Kwiatowa"};

// Cost types of group 4 and their names inside the cost structure.
struct CostType {
  const char* symbol;
  const char* name;
  const char* structure_name;
  const char* short_name;
};
constexpr std::array<CostType, 7> kCostTypes = {{
    {"400", "Amortyzacja", "-amortyzacja", "AMORT"},
    {"401", "Zużycie materiałów i energii", "-materiały i energia", "MATERIAŁY"},
    {"402", "Usługi obce", "-usługi obce", "USŁUGI"},
    {"403", "Podatki i opłaty", "-podatki i opłaty", "PODATKI"},
    {"404", "Wynagrodzenia", "-wynagrodzenia", "PŁACE"},
    {"405", "Ubezpieczenia społeczne i inne świadczenia", "-ubezpieczenia społeczne", "ZUS"},
    {"409", "Pozostałe koszty rodzajowe", "-pozostałe koszty", "POZOSTAŁE"},
}};

// Cost functions and the names of their centres.
struct CostFunction {
  const char* symbol;
  const char* name;
  const char* centre_name;
};
constexpr std::array<CostFunction, 4> kFunctions = {{
    {"500", "Koszty działalności podstawowej", "-wydział"},
    {"520", "Koszty wydziałowe", "-wydział pomocniczy"},
    {"530", "Koszty działalności pomocniczej", "-dział"},
    {"550", "Koszty zarządu", "-zarząd i administracja"},
}};

std::string Digits(std::int64_t v, int width) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%0*lld", width, static_cast<long long>(v));
  return buf;
}

}  // namespace

DayNo Day(int dd, int mm, int year, int year_offset) {
  const int y = year + year_offset;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d%02d%02d", dd, mm, ((y % 100) + 100) % 100);
  return DayFromDdMmYy(buf);
}

int DaysInMonth(int mm, int year) {
  static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (mm == 2 && year % 4 == 0) return 29;  // exact for 1920..2039
  return kDays[mm - 1];
}

std::string Money(std::int64_t grosze) {
  char buf[40];
  const std::int64_t a = grosze < 0 ? -grosze : grosze;
  std::snprintf(buf, sizeof buf, "%s%lld,%02lld", grosze < 0 ? "-" : "",
                static_cast<long long>(a / 100), static_cast<long long>(a % 100));
  return buf;
}

Builder::Builder(const DemoOptions& opts, const Scale& sc)
    : options(opts), scale(sc), rng(opts.seed) {
  year.options = opts;
  year.bo_date = Day(1, 1, opts.year);
  year.bz_date = Day(31, 12, opts.year);
  year.annual_name = Concat({"N", std::to_string(opts.year)});
  year.working_name = Concat({"R", std::to_string(opts.year)});
  // A scaled year lands near the number asked for (control records add a
  // few per cent); reserving spares the copies of a growing vector.
  if (opts.postings > 0) year.working.reserve(static_cast<std::size_t>(opts.postings) * 11 / 10);
}

void Builder::BuildFirm() {
  DemoFirm& f = year.firm;
  f.name = "Firma Przykładowa Sp. z o.o."_w;
  f.short_name = "Firma Przykładowa"_w;
  f.nip = "1234563218";
  f.regon = "123456785";
  f.tax_office_code = "1471";
  f.tax_office = "Urząd Skarbowy (przykładowy)"_w;
  f.province = "mazowieckie";
  f.county = "Warszawa";
  f.commune = "Warszawa";
  f.street = "Przykładowa"_w;
  f.house = "12";
  f.flat = std::string("3");  // a temporary: GCC 12 -O3 falsely flags -Wrestrict on "3"
  f.town = "Warszawa";
  f.postcode = "00-950";
  f.post_office = "Warszawa";
}

std::string Builder::NewNip() {
  for (;;) {
    // Drawn one after the other, in the order the sample year has always
    // used: the order in which the operands of "+" are evaluated differs
    // between compilers, and so would the year.
    const std::int64_t serial = rng.Range(0, 999999);
    const std::int64_t office = rng.Range(101, 999);
    std::string nine = Digits(office, 3) + Digits(serial, 6);
    std::string nip;
    if (NipFromNine(nine, &nip)) return nip;
  }
}

void Builder::AddAccount(std::string symbol, std::string name, std::string address, std::string nip,
                         std::string short_name) {
  DemoAccount a;
  a.symbol = std::move(symbol);
  a.name = std::move(name);
  a.address = std::move(address);
  a.nip = std::move(nip);
  a.short_name = std::move(short_name);
  year.accounts.push_back(std::move(a));
}

void Builder::BuildChart() {
  auto add = [this](const char* s, const char* n, const char* h) {
    AddAccount(s, Utf8ToWin(n), {}, {}, Utf8ToWin(h));
  };
  // Group 0: fixed assets and their depreciation.
  add("0", "Aktywa trwałe", "AKTYWA TRW");
  add("010", "Środki trwałe", "ŚR.TRWAŁE");
  add("010-1", "-budynki i lokale", "BUDYNKI");
  add("010-2", "-maszyny i urządzenia", "MASZYNY");
  add("010-3", "-środki transportu", "TRANSPORT");
  add("010-4", "-pozostałe środki trwałe", "POZ.ŚR.TRW");
  add("020", "Wartości niematerialne i prawne", "WNIP");
  add("070", "Umorzenie środków trwałych", "UMORZENIE");
  add("070-1", "-budynków i lokali", "UM.BUDYNKI");
  add("070-2", "-maszyn i urządzeń", "UM.MASZYNY");
  add("070-3", "-środków transportu", "UM.TRANSP");
  add("070-4", "-pozostałych środków trwałych", "UM.POZ");
  add("079", "Umorzenie wartości niematerialnych i prawnych", "UM.WNIP");
  // Group 1: cash and bank.
  add("1", "Środki pieniężne", "PIENIĄDZE");
  add("100", "Kasa", "KASA");
  add("130", "Rachunek bankowy", "BANK");
  add("131", "Rachunek walutowy EUR", "BANK EUR");
  // Group 2: settlements.
  add("2", "Rozrachunki i roszczenia", "ROZRACHUNKI");
  add("201", "Rozrachunki z odbiorcami", "ODBIORCY");
  add("202", "Rozrachunki z dostawcami", "DOSTAWCY");
  add("221", "Rozrachunki z urzędem skarbowym - VAT", "VAT");
  add("221-1", "-VAT należny", "VAT NALEŻNY");
  add("221-2", "-VAT naliczony", "VAT NALICZ");
  add("221-3", "-VAT do zapłaty", "VAT ZAPŁATA");
  add("222", "Rozrachunki z urzędem skarbowym - PIT", "PIT-4");
  add("225", "Rozrachunki z ZUS", "ZUS");
  add("230", "Rozrachunki z pracownikami", "PRACOWNICY");
  add("231", "Rozrachunki z tytułu wynagrodzeń", "WYNAGRODZ");
  add("240", "Pozostałe rozrachunki", "POZ.ROZR");
  add("240-1", "-rozrachunki różne", "RÓŻNE");
  if (options.audit_faults) add("24", "Pozostałe rozrachunki (zespół)", "POZ.ROZR.ZESP");
  // Group 3: materials and goods.
  add("3", "Materiały i towary", "ZAPASY");
  add("300", "Rozliczenie zakupu", "ROZL.ZAKUPU");
  add("310", "Materiały", "MATERIAŁY");
  add("330", "Towary", "TOWARY");
  add("340", "Odchylenia od cen ewidencyjnych", "ODCHYLENIA");
  // Group 4: costs by type.
  add("4", "Koszty według rodzajów", "KOSZTY RODZ");
  for (const CostType& t : kCostTypes) add(t.symbol, t.name, t.short_name);
  add("490", "Rozliczenie kosztów", "ROZL.KOSZT");
  // Group 5: costs by function, by cost centre; every centre uses structure K.
  add("5", "Koszty według funkcji", "KOSZTY FUNK");
  for (const CostFunction& f : kFunctions) add(f.symbol, f.name, "");
  AddAccount("599", "Układ kosztów rodzajowych"_w, {}, {}, "!K");
  for (const CostType& t : kCostTypes)
    add((std::string("599-") + t.symbol).c_str(), t.structure_name, t.short_name);
  // For the audit the centres are synthetic accounts beside their function
  // ("501", "502" beside "500"), so that "501-402" carries its cost type
  // where the audit's cost-circle rule reads it.
  const bool readable_centres = options.audit_faults && options.postings <= 0;
  std::array<int, kFunctions.size()> per_function{};
  for (int c = 1; c <= scale.centres; ++c) {
    const std::size_t fi = c <= 2 ? 0 : static_cast<std::size_t>((c - 2 - 1) % 3 + 1);
    const CostFunction& f = kFunctions[fi];
    const std::string symbol =
        readable_centres ? std::string(f.symbol, 2) + std::to_string(++per_function[fi])
                         : std::string(f.symbol) + "-" + Digits(c, 2);
    AddAccount(symbol, Utf8ToWin(f.centre_name) + " " + Digits(c, 2), {}, {}, "^K");
  }
  // Group 7: revenue and its costs.
  add("7", "Przychody i koszty ich uzyskania", "PRZYCHODY");
  add("700", "Sprzedaż produktów i usług", "SPRZ.PROD");
  add("700-01", "-produkty", "PRODUKTY");
  add("700-02", "-usługi", "USŁUGI SPRZ");
  add("730", "Sprzedaż towarów", "SPRZ.TOW");
  add("730-01", "-sprzedaż krajowa", "TOW.KRAJ");
  add("730-02", "-eksport i dostawy wewnątrzwspólnotowe", "TOW.EKSPORT");
  add("731", "Wartość sprzedanych towarów w cenach zakupu", "WART.TOW");
  add("750", "Przychody finansowe", "PRZ.FIN");
  add("751", "Koszty finansowe", "KOSZT.FIN");
  add("760", "Pozostałe przychody operacyjne", "PRZ.OPER");
  if (options.audit_faults) {
    add("760-1", "-przychody różne", "PRZ.RÓŻNE");
    add("760-2", "-zbycie środków trwałych", "ZBYCIE ŚT");
  }
  add("761", "Pozostałe koszty operacyjne", "KOSZT.OPER");
  // Group 8: equity and the result.
  add("8", "Kapitały", "KAPITAŁY");
  add("800", "Kapitał zakładowy", "KAP.ZAKŁ");
  add("810", "Kapitał zapasowy", "KAP.ZAP");
  add("820", "Rozliczenie wyniku finansowego", "ROZL.WYNIKU");
  add("860", "Wynik finansowy", "WYNIK");
  add("870", "Podatek dochodowy", "CIT");

  // Counterparties: the last two customers and the last supplier are in the
  // European Union and settle in EUR.
  const int width = scale.customers > 9999 || scale.suppliers > 9999 ? 5 : 4;
  auto make = [&](int i, bool customer, bool foreign) {
    Counterparty c;
    const std::string who = customer ? "Odbiorca " : "Dostawca ";
    std::string name = who + kGreek[i % 24];
    if (i >= 24) name += " " + std::to_string(i / 24 + 1);
    if (foreign) {
      const bool de = (i % 2) == 0;
      name += de ? " GmbH" : " s.r.o.";
      c.address = de ? "DE 10115 Berlin, Musterstrasse " + std::to_string(rng.Range(1, 90))
                     : Utf8ToWin("CZ 110 00 Praha, Vzorova ") + std::to_string(rng.Range(1, 90));
      c.nip = de ? "DE" + Digits(rng.Range(100000000, 999999999), 9)
                 : "CZ" + Digits(rng.Range(10000000, 99999999), 8);
      c.foreign = true;
      c.term_days = 30;
    } else {
      name += kForms[i % 4];
      const Town& t = kTowns[rng.Range(0, kTowns.size() - 1)];
      // Drawn one by one in the order the sample year has always used (the
      // operands of "+" are evaluated in an order compilers choose).
      const std::int64_t house = rng.Range(1, 120);
      const char* street = kStreets[rng.Range(0, kStreets.size() - 1)];
      const std::int64_t postcode = rng.Range(1, 999);
      c.address = std::string(t.postcode_prefix) + "-" + Digits(postcode, 3) + " " +
                  Utf8ToWin(t.name) + ", ul. " + Utf8ToWin(street) + " " + std::to_string(house);
      c.nip = NewNip();
      static constexpr std::array<int, 4> kTerms = {14, 21, 30, 7};
      c.term_days = kTerms[rng.Range(0, 3)];
    }
    c.name = Utf8ToWin(name);
    return c;
  };
  std::vector<std::string> customer_symbols, supplier_symbols, employee_symbols;
  for (int i = 0; i < scale.customers; ++i) {
    Counterparty c = make(i, true, i >= scale.customers - 2);
    customer_symbols.push_back("201-" + Digits(i + 1, width));
    AddAccount(customer_symbols.back(), c.name, c.address, c.nip, Utf8ToWin(kGreek[i % 24]));
    customers.push_back(std::move(c));
  }
  for (int i = 0; i < scale.suppliers; ++i) {
    Counterparty c = make(i, false, i == scale.suppliers - 1);
    supplier_symbols.push_back("202-" + Digits(i + 1, width));
    AddAccount(supplier_symbols.back(), c.name, c.address, c.nip, Utf8ToWin(kGreek[i % 24]));
    suppliers.push_back(std::move(c));
  }
  for (int i = 1; i <= scale.employees; ++i) {
    employee_symbols.push_back("230-" + Digits(i, scale.employees > 99 ? 3 : 2));
    AddAccount(employee_symbols.back(), "-pracownik " + Digits(i, 2) + " (zaliczki)", {}, {},
               "PRAC." + Digits(i, 2));
  }

  std::sort(
      year.accounts.begin(), year.accounts.end(),
      [](const DemoAccount& a, const DemoAccount& b) { return SymbolLess(a.symbol, b.symbol); });
  for (std::size_t i = 0; i < customers.size(); ++i) customers[i].account = customer_symbols[i];
  for (std::size_t i = 0; i < suppliers.size(); ++i) suppliers[i].account = supplier_symbols[i];
  employees = employee_symbols;
}

}  // namespace zel::demo

namespace zel {

bool NipFromNine(const std::string& nine, std::string* nip) {
  static constexpr std::array<int, 9> kWeights = {6, 5, 7, 2, 3, 4, 5, 6, 7};
  if (nine.size() != 9) return false;
  int sum = 0;
  for (int i = 0; i < 9; ++i) {
    if (nine[i] < '0' || nine[i] > '9') return false;
    sum += (nine[i] - '0') * kWeights[i];
  }
  const int check = sum % 11;
  if (check == 10) return false;
  *nip = nine + static_cast<char>('0' + check);
  return true;
}

bool NipValid(const std::string& nip) {
  std::string again;
  return nip.size() == 10 && NipFromNine(nip.substr(0, 9), &again) && again == nip;
}

bool RegonValid(const std::string& regon) {
  static constexpr std::array<int, 8> kWeights = {8, 9, 2, 3, 4, 5, 6, 7};
  if (regon.size() != 9) return false;
  int sum = 0;
  for (int i = 0; i < 9; ++i) {
    if (regon[i] < '0' || regon[i] > '9') return false;
    if (i < 8) sum += (regon[i] - '0') * kWeights[i];
  }
  return (sum % 11) % 10 == regon[8] - '0';
}

}  // namespace zel
