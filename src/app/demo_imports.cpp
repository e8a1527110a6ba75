#include "app/demo_imports.hpp"

#include <shapefil.h>

#include <cstdlib>

#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "common/pltext.hpp"

namespace zel {
namespace {

// Windows-1250 to code page 852 for the Polish letters; other bytes stay.
std::string To852(std::string_view win) {
  std::string out(win);
  for (char& c : out) {
    for (std::size_t i = 0; i < PolishWin.size(); ++i) {
      if (static_cast<std::uint8_t>(c) == PolishWin[i]) {
        c = static_cast<char>(Polish852[i]);
        break;
      }
    }
  }
  return out;
}

}  // namespace

bool WriteDbf(const std::string& native_path, const std::vector<DbfField>& fields,
              const std::vector<std::vector<std::string>>& rows, std::string* err, int ldid) {
  const std::string code_page = ldid > 0 ? Concat({"LDID/", std::to_string(ldid)}) : std::string();
  DBFHandle dbf = DBFCreateEx(native_path.c_str(), code_page.empty() ? nullptr : code_page.c_str());
  if (dbf == nullptr) {
    *err = "Nie można utworzyć "_w + Utf8ToWin(native_path);
    return false;
  }
  bool ok = true;
  for (const DbfField& f : fields) {
    ok = ok && DBFAddNativeFieldType(dbf, f.name.c_str(), f.type, f.width, f.decimals) >= 0;
  }
  for (std::size_t r = 0; ok && r < rows.size(); ++r) {
    const int rec = static_cast<int>(r);
    for (std::size_t c = 0; ok && c < fields.size(); ++c) {
      const int field = static_cast<int>(c);
      const std::string v = c < rows[r].size() ? rows[r][c] : std::string();
      switch (fields[c].type) {
        case 'N':
          ok = v.empty() ? DBFWriteNULLAttribute(dbf, rec, field) != 0
                         : DBFWriteDoubleAttribute(dbf, rec, field, std::strtod(v.c_str(), nullptr)) != 0;
          break;
        case 'D': {
          std::string d = v;
          d.resize(8, ' ');
          ok = DBFWriteAttributeDirectly(dbf, rec, field, d.data()) != 0;
          break;
        }
        default:
          ok = DBFWriteStringAttribute(dbf, rec, field, To852(v).c_str()) != 0;
          break;
      }
    }
  }
  DBFClose(dbf);
  if (!ok) *err = "Błąd zapisu "_w + Utf8ToWin(native_path);
  return ok;
}

std::vector<DbfField> ChartDbfFields() {
  std::vector<DbfField> f = {{"SYMBOL", 'C', 25, 0}, {"NAZWA", 'C', 50, 0}, {"SKROT", 'C', 15, 0},
                             {"NIP", 'C', 15, 0},    {"TYP", 'C', 1, 0},    {"DOD1", 'C', 25, 0},
                             {"DOD2", 'C', 24, 0}};
  for (int i = 8; i <= 17; ++i) f.push_back({Concat({"POLE", std::to_string(i)}), 'C', 5, 0});
  f.push_back({"ADRES", 'C', 50, 0});
  return f;
}

std::vector<DbfField> TurnoverDbfFields() {
  return {{"DOKUMENT", 'C', 8, 0}, {"POZ", 'C', 3, 0},   {"DATA", 'D', 8, 0},
          {"KONTO", 'C', 25, 0},   {"WN", 'N', 15, 2},   {"MA", 'N', 15, 2},
          {"TRANS", 'C', 20, 0},   {"KOD", 'C', 5, 0}};
}

std::vector<std::vector<std::string>> DemoChartDbfRows() {
  struct A {
    const char* symbol;
    const char* name;
    const char* address;
    const char* extra1;
    const char* extra2;
  };
  const A accounts[] = {
      {"100", "Kasa złotówkowa", "", "gotówka", "PLN"},
      {"130", "Rachunek bieżący", "", "Bank Śląski", "mBank"},
      {"201", "Rozrachunki z odbiorcami", "", "", ""},
      {"201-01", "Żabka Polska sp. z o.o.", "Poznań, ul. Ćwiklińskiej 5", "", ""},
      {"201-02", "Łódzkie Młyny S.A.", "Łódź, ul. Źródlana 12", "", ""},
      {"202", "Rozrachunki z dostawcami", "", "", ""},
      {"202-01", "Gęślarz Bogdan", "Kraków, ul. Ogórkowa 3", "", ""},
      {"402", "Usługi obce", "", "koszty", ""},
      {"700", "Sprzedaż towarów", "", "przychody", ""},
      {"730", "Sprzedaż usług", "", "przychody", ""},
      {"751", "Koszty finansowe", "", "", ""},
      {"860", "Wynik finansowy", "", "", ""},
  };
  std::vector<std::vector<std::string>> rows;
  for (const A& a : accounts) {
    std::vector<std::string> r(18);
    r[0] = a.symbol;
    r[1] = Utf8ToWin(a.name);
    r[5] = Utf8ToWin(a.extra1);
    r[6] = Utf8ToWin(a.extra2);
    r[17] = Utf8ToWin(a.address);
    rows.push_back(r);
  }
  return rows;
}

std::vector<std::vector<std::string>> DemoTurnoverDbfRows(int count) {
  const char* pairs[][2] = {{"201-01", "700"}, {"201-02", "730"}, {"130", "201-01"},
                            {"402", "202-01"}, {"202-01", "130"}, {"100", "730"}};
  std::vector<std::vector<std::string>> rows;
  rows.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const int doc = i / 2 + 1;
    const auto& p = pairs[static_cast<std::size_t>(doc % 6)];
    const int month = 1 + (doc % 3);
    const int day = 1 + (doc % 28);
    char date[16];
    std::snprintf(date, sizeof date, "2024%02d%02d", month, day);
    char amount[32];
    std::snprintf(amount, sizeof amount, "%d.%02d", 100 + (doc * 37) % 9000, doc % 100);
    const bool debit = i % 2 == 0;
    const std::string key = Concat({Utf8ToWin("Faktura źródłowa "), std::to_string(doc % 1000)});
    std::vector<std::string> r{Concat({"FV", std::to_string(doc % 100000)}),
                               std::string(1, debit ? '1' : '2'),
                               std::string(date),
                               std::string(debit ? p[0] : p[1]),
                               std::string(debit ? amount : "0"),
                               std::string(debit ? "0" : amount),
                               key,
                               std::string(debit ? "WN" : "MA")};
    rows.push_back(r);
  }
  return rows;
}

bool WriteDemoImportDbfs(const std::string& native_folder, int turnover_rows, std::string* err) {
  return WriteDbf(native_folder + "/Konta.dbf", ChartDbfFields(), DemoChartDbfRows(), err) &&
         WriteDbf(native_folder + "/Ksiega.dbf", TurnoverDbfFields(),
                  DemoTurnoverDbfRows(turnover_rows), err);
}

}  // namespace zel
