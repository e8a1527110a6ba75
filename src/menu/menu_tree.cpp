#include "menu/menu_tree.hpp"

#include <algorithm>
#include <map>

#include "common/cp1250.hpp"

namespace zel {

namespace {

const std::vector<MainLine> kMainLines = {
    {'@', "Esc - koniec pracy z programem", MainAction::kEnding, 0, ""},
    {'A', "A - wprowadzanie-korekta dowodów", MainAction::kOption, 11, "Dekret"},
    {'B', "B - zakładowy plan kont", MainAction::kSubList, 0, ""},
    {'C', "C - księgowanie i wybieranie", MainAction::kSubList, 0, ""},
    {'D', "D - dzienniki i rejestry", MainAction::kSubList, 0, ""},
    {'E', "E - syntetyka i analityka", MainAction::kSubList, 0, ""},
    {'F', "F - analiza kont rozrachunkowych", MainAction::kSubList, 0, ""},
    {'G', "G - plan, budżet, preliminarze", MainAction::kSubList, 0, ""},
    {'H', "H - korespondencja z kontrahentami", MainAction::kSubList, 0, ""},
    {'I', "I - instalacja i ustawienia Zel", MainAction::kSubList, 0, ""},
    {'J', "J - konserwacja bazy danych", MainAction::kSubList, 0, ""},
    {'K', "K - raporty kasowe i bankowe", MainAction::kSubList, 0, ""},
    {'L', "L - formularze przygotowane .FFX", MainAction::kOption, 83, "WyFor"},
    {'M', "M - automat. rozliczenie kosztów", MainAction::kSubList, 0, ""},
    {'N', "N - kontrola zbioru rocznego", MainAction::kOption, 117, "KonZR"},
    {'O', "O - wyszukiwarka dokumentów", MainAction::kOption, 118, "WyDok"},
};

const std::map<char, std::vector<MenuItem>> kSubLists = {
    {'B',
     {
         {'A', "A - zakładanie i korekta planu", "PlaEd", 12},
         {'B', "B - sortowanie planu kont", "PlaSo", 13},
         {'C', "C - zestawienie planu kont", "PlaZS", 14},
         {'D', "D - pełne zestawienie planu", "PlaZP", 15},
         {'E', "E - zmiana obowiązującego planu F5", "PlaZm", 16},
         {'F', "F - dołączenie planu kont", "PlaDo", 17},
         {'G', "G - rozdzielenie planu kont", "PlaRo", 18},
         {'H', "H - kopia obowiązującego planu", "PlaKo", 19},
         {'I', "I - wdrukowywanie adresów do pism", "PlaAd", 20},
         {'J', "J - kasowanie opisów kont zerowych", "PlaZe", 21},
         {'K', "K - kasowanie dzikich podstruktur", "PlaDz", 22},
         {'L', "L - zestawienie nowych kont", "PlaNo", 23},
         {'M', "M - zestawienie zmian kont", "PlaZZ", 24},
     }},
    {'C',
     {
         {'A', "A - łączenie zbiorów - księgowanie", "LacZb", 25},
         {'B', "B - łączenie zbiorów - weryfikacja", "LacWe", 26},
         {'C', "C - wybór według nazwy zbioru", "WWgZb", 27},
         {'D', "D - wybór według symboli kont", "WWgSK", 28},
         {'E', "E - wybór według numerów dowodu", "WWgND", 29},
         {'F', "F - wybór według dat księgowych", "WWgDK", 30},
         {'G', "G - wybór według nazwy konta", "WWgNK", 31},
         {'H', "H - zmiana numeru dowodu", "ZmiND", 32},
         {'I', "I - przesuw numeru dowodów", "PrzND", 33},
         {'J', "J - zmiana daty księgowania", "ZmiDK", 34},
         {'K', "K - zmiana terminu zapłaty", "ZmiTe", 35},
         {'L', "L - zmiana zbioru źródłowego", "ZmiZZ", 36},
         {'M', "M - definiowanie wzorców kont", "DeWzo", 37},
         {'N', "N - zapis pliku rocznego jako XLS", "ZaXLS", 38},
         {'O', "O - jednolite pliki kontrolne XSD", "ZaXSD", 39},
     }},
    {'D',
     {
         {'A', "A - wydruk polecenia księgowania", "PoKsi", 40},
         {'B', "B - dziennik pełny według dowodów", "DzieP", 41},
         {'C', "C - dziennik skrócony w/g dowodów", "DzieS", 42},
         {'D', "D - rejestr zakupów/sprzedaży VAT", "ReVat", 43},
         {'E', "E - usuwanie pozycji rejestru VAT", "UsVat", 44},
         {'F', "F - ustawowy dziennik dniami", "UsDzD", 45},
         {'G', "G - ustawowy dziennik skrócony", "UsDzS", 46},
         {'H', "H - ustawowy dziennik pełny", "UsDzP", 47},
         {'I', "I - stary rej.zakupów/sprzed. VAT", "SRVat", 48},
         {'J', "J - weryfikacja rejestrów VAT", "VeVat", 49},
         {'K', "K - rejestr faktur zapłaconych", "ReFaZ", 50},
         {'L', "L - informacja podsumowująca o wwt", "ReWWT", 51},
         {'M', "M - książka przychodów i rozchodów", "PKPiR", 52},
         {'N', "N - rozliczenie roczne dla PIT-36", "Pit36", 53},
         {'O', "O - zamknięcie dostępu do zbiorów", "Zamkn", 54},
     }},
    {'E',
     {
         {'A', "A - zestawienie obrotów i sald", "ZOiSa", 55},
         {'B', "B - syntetyka b/bilansu otwarcia", "SyBBO", 56},
         {'C', "C - syntetyka", "Synte", 57},
         {'D', "D - syntetyka miesięczna", "SynMi", 58},
         {'E', "E - analityka", "Anali", 59},
         {'F', "F - analityka miesięczna", "AnaMi", 60},
         {'G', "G - analityka z saldami dziennymi", "AnaSD", 61},
         {'H', "H - salda kont analitycznych", "SKoAn", 62},
         {'I', "I - syntetyka walutowa", "SynWa", 63},
         {'J', "J - analityka walutowa", "AnaWa", 64},
         {'K', "K - zes.obrotów i sald niezerowych", "ZOiSN", 65},
         {'L', "L - analityka uzupełniająca", "AnaUz", 66},
     }},
    {'F',
     {
         {'A', "A - rozrachunki nierozliczone", "RoNie", 67},
         {'B', "B - rozrachunki rozliczone", "RoRoz", 68},
         {'C', "C - punktowanie rozrachunków", "Punkt", 69},
         {'D', "D - zaległości 30/60/90/120/.. dni", "Zaleg", 70},
         {'E', "E - płatności bieżące", "Platn", 71},
         {'F', "F - należności bieżące", "Nalez", 72},
         {'G', "G - należności i płatności datami", "JakSu", 73},
         {'H', "H - homebanking - polecenie zapłat", "PoZap", 74},
         {'I', "I - ranking kontrahentów", "Ranki", 75},
         {'J', "J - ranking transakcji", "Trans", 76},
         {'K', "K - rozrachunki dla banków", "RoBan", 77},
         {'L', "L - analiza jednostek powiązanych", "NatJP", 78},
     }},
    {'G',
     {
         {'A', "A - analiza wykonania planu", "AnWyP", 79},
         {'B', "B - analiza i naliczenie odsetek", "AnOds", 80},
         {'C', "C - wydruk preliminarza", "WyPre", 81},
         {'D', "D - kontrolę planu włącz/wyłącz", "Kontr", 82},
         {'E', "E - formularze przygotowane .FFK", "WyFor", 83},
         {'F', "F - analizy ekonomiczne", "RBiPo", 84},
         {'G', "G - deklaracja podatkowa VAT-7", "DeVa7", 85},
     }},
    {'H',
     {
         {'A', "A - kontrola i edytor odsetek", "EdOds", 87},
         {'B', "B - analiza należności i noty", "NotyO", 88},
         {'C', "C - potwierdzenia salda", "PotSa", 89},
         {'D', "D - prośba o zapłatę należności", "ProZa", 90},
         {'E', "E - import zbioru ADRESY.TIE", "ImpAd", 91},
         {'F', "F - emisja noty księgowej", "NotaK", 92},
     }},
    {'I',
     {
         {'A', "A - aktualizacja programu [F10]", "AkKvv", 133},
         {'B', "B - ustawienia programu    [F9]", "UsKvv", 134},
         {'C', "C - ustawienia okienek     [F1]", "UsOki", 135},
         {'D', "D - ustawienia drukarki    [F2]", "UsDru", 136},
         {'F', "F - zmiana katalogu / roku [F4]", "ZmKat", 138},
         {'G', "G - zmiana bazy danych     [F5]", "ZmBaz", 139},
         {'H', "H - zmiana hasła logowania [F6]", "ZmHas", 140},
         {'I', "I - instalacja dokumentów  [F7]", "InDok", 141},
         {'J', "J - uruchom z inną bazą    [F8]", "UrKvv", 142},
     }},
    {'J',
     {
         {'A', "A - import dokumentów", "", 0},
         {'B', "B - podstawa importu", "", 0},
         {'C', "C - analiza katalogu roboczego", "", 96},
         {'D', "D - reorganizacja - definicja", "", 97},
         {'E', "E - reorganizacja - wydruk", "", 98},
         {'F', "F - reorganizacja w zbiorach", "", 99},
         {'G', "G - reorganizacja w planie", "", 100},
         {'H', "H - scalenie obrotów", "", 101},
         {'I', "I - import dokumentów SAP-BO", "", 102},
         {'J', "J - wyszukiwanie dzikich kont", "", 103},
         {'K', "K - eksport planu kont do pliku", "", 104},
         {'L', "L - import planu z PlanKont.XLS", "ImpPlX", 105},
     }},
    {'K',
     {
         {'A', "A - obsługa kasy gotówkowej", "", 0},
         {'B', "B - raport kasowy", "", 0},
         {'C', "C - zamknięcie raportu kasowego", "", 0},
         {'D', "D - obsługa wyciągów bankowych", "", 0},
         {'E', "E - raport bankowy", "", 0},
         {'F', "F - zamknięcie raportu banku", "", 0},
     }},
    {'M',
     {
         {'A', "A - aut.roz.kosz. - definicja", "", 0},
         {'B', "B - aut.roz.kosz. - wydruk", "", 0},
         {'C', "C - aut.roz.kosz. - wykonanie", "", 0},
         {'D', "D - utworzenie księgowań na 4", "", 0},
         {'E', "E - utworzenie planów kont RZ", "", 0},
     }},
};

const std::vector<FunctionKey> kFunctionKeys = {
    {1, 135, "ustawienia okienek"},
    {2, 136, "ustawienia drukarki"},
    {4, 138, "zmiana katalogu"},
    {5, 139, "zmiana bazy danych"},
    {6, 140, "zmiana hasła logowania"},
    {7, 141, "instalacja dokumentów"},
    {8, 142, "start z inną bazą danych"},
    {9, 134, "ustawienia programu Zel"},
    {10, 133, "aktualizacja programu Zel"},
    {11, 135, "na razie nie ma"},
};

// Options that no menu line opens with their settings code, and the codes
// of the J items that open their option without one.
const std::map<std::uint8_t, const char*> kOtherCodes = {
    {1, "LHa"},      {2, "FTP"},      {93, "SzyBO"},   {94, "ImpDok"},  {95, "ImpPod"},
    {96, "AnKaRo"},  {97, "ReoDef"},  {98, "ReoWyd"},  {99, "ReoZbi"},  {100, "ReoPla"},
    {101, "ScaObr"}, {102, "ImpSAP"}, {103, "DziKon"}, {104, "ExpPla"}, {106, "KasRap"},
    {107, "KasWyd"}, {108, "KasZam"}, {109, "BanRap"}, {110, "BanWyd"}, {111, "BanZam"},
    {112, "ARKDef"}, {113, "ARKWyd"}, {114, "ARKWyk"}, {115, "Autom4"}, {116, "PlaTRZ"},
    {122, "DePla"},  {123, "DeWal"},  {124, "DeVat"},  {125, "KonWy"},  {126, "DowWy"},
    {127, "VPoda"},  {128, "VPrzy"},  {129, "VKosz"},  {130, "VSygn"},  {143, "SzDbf"},
};

const std::vector<MenuItem> kNoItems;

// The caption without its letter and dash ("A - x" gives "x").
std::string CaptionTail(const char* caption) {
  std::string_view c(caption);
  return Utf8ToWin(c.size() > 4 ? c.substr(4) : std::string_view());
}

}  // namespace

const std::vector<MainLine>& MainLines() { return kMainLines; }

const MainLine* FindMainLine(char letter) {
  for (const MainLine& line : kMainLines)
    if (line.letter == letter) return &line;
  return nullptr;
}

const std::vector<MenuItem>& SubListItems(char group) {
  auto it = kSubLists.find(group);
  return it == kSubLists.end() ? kNoItems : it->second;
}

const MenuItem* FindMenuItem(char group, char item) {
  for (const MenuItem& entry : SubListItems(group))
    if (entry.letter == item) return &entry;
  return nullptr;
}

const FunctionKey* FindFunctionKey(int n) {
  for (const FunctionKey& key : kFunctionKeys)
    if (key.key == n) return &key;
  return nullptr;
}

std::vector<std::uint8_t> MenuIndices() {
  std::vector<std::uint8_t> out;
  for (const MainLine& line : kMainLines)
    if (line.action == MainAction::kOption) out.push_back(line.index);
  for (const auto& [group, items] : kSubLists)
    for (const MenuItem& item : items)
      if (item.index != 0) out.push_back(item.index);
  for (const FunctionKey& key : kFunctionKeys) out.push_back(key.index);
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

std::string OptionSettingsCode(std::uint8_t index) {
  auto other = kOtherCodes.find(index);
  if (other != kOtherCodes.end()) return other->second;
  if (index == 11) return "Dekre";
  for (const auto& [group, items] : kSubLists)
    for (const MenuItem& item : items)
      if (item.index == index && item.code[0] != '\0') return item.code;
  for (const MainLine& line : kMainLines)
    if (line.action == MainAction::kOption && line.index == index) return line.code;
  return "";
}

std::optional<MenuPlace> FindMenuPlace(std::uint8_t index) {
  if (index == 0) return std::nullopt;
  for (const MainLine& line : kMainLines)
    if (line.action == MainAction::kOption && line.index == index)
      return MenuPlace{line.letter, ' ', CaptionTail(line.caption)};
  for (const auto& [group, items] : kSubLists)
    for (const MenuItem& item : items)
      if (item.index == index) return MenuPlace{group, item.letter, CaptionTail(item.caption)};
  return std::nullopt;
}

}  // namespace zel
