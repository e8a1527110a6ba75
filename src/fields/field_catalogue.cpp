#include "fields/field_catalogue.hpp"

#include "common/cp1250.hpp"

namespace zel {

namespace {

constexpr bool U = true;
constexpr bool L = false;

// number, code, first caption, width, upper case, F4 list, file extension, F3 window
const std::vector<FieldInfo> kCatalogue = {
    // Shared by many options.
    {41, "WalJ", "Wybrana waluta", 3, U, 87, "", false},
    {42, "Rocz", "Zbiór z dekretami", 8, U, 90, "DFX", false},
    {43, "DaHo", "Pokazać tylko płatne do", 6, L, 0, "", false},
    {44, "JPKo", "Czy przygotować Jednolity Plik Kontrolny", 1, U, 0, "", false},
    {62, "Pod1", "Głębokość podsumowań", 2, L, 0, "", false},
    {63, "Pod3", "", 2, L, 0, "", false},
    {64, "Pod7", "", 2, L, 0, "", false},
    {65, "DaOd", "Wybrany okres", 6, L, 68, "", false},
    {66, "DaDo", "-", 6, L, 68, "", false},
    {69, "Robo", "Zbiór z dekretami", 8, U, 90, "DFX", false},
    {70, "DatD", "Data dekretacji", 6, L, 68, "", false},
    {71, "KonW", "Wybrane konta", 25, L, 107, "", false},
    {76, "DowW", "Wybrane dowody", 12, U, 0, "", false},
    {77, "DoOd", "Dowody od", 12, U, 0, "", false},
    {78, "DoDo", "do", 12, U, 0, "", false},
    {80, "OpKo", "Pełny, Opis, Nazwa, Hasło, Bez", 1, L, 111, "", false},
    {83, "NDow", "Numer dowodu", 12, U, 100, "", false},
    {84, "DatF", "Data dowodu księgowego", 6, L, 68, "", false},
    {116, "DaBO", "Data BO", 6, L, 0, "", false},
    {119, "DaBZ", "Data bilansu zamknięcia - data BZ", 6, L, 0, "", false},
    {115, "Mies", "Zabezpieczyć miesiąc", 2, L, 109, "", false},
    {180, "DatN", "Ew.data dekretacji", 6, L, 0, "", false},
    // Document entry.
    {81, "DekL", "W zbiorze jest ", 6, L, 0, "", false},
    {82, "DekP", "dekretów, wolnej pamięci zostało", 3, L, 0, "", false},
    {85, "LiPo", "", 4, L, 0, "", false},
    {86, "KoWn", "", 16, U, 107, "", false},
    {87, "KoMa", "", 16, U, 107, "", false},
    {88, "Kwot", "", 15, L, 0, "", false},
    {89, "NrTr", "", 20, L, 0, "", false},
    {90, "ReVa", "", 2, L, 0, "", false},
    {91, "Term", "", 6, L, 68, "", false},
    {92, "Opis", "", 30, L, 0, "", false},
    // Account card.
    {45, "Ka", "Dwa wstecz", 50, L, 0, "", false},
    {46, "Kc", "Poprzednie", 50, L, 0, "", false},
    {47, "KonE", "Podaj symbol konta", 25, U, 107, "", false},
    {48, "KonX", "Nowy symbol", 25, U, 107, "", false},
    {49, "KNaz", "Nazwa konta", 50, L, 0, "", false},
    {50, "KAdr", "Kod i adres", 50, L, 0, "", false},
    {51, "KDod", "Dodatkowo", 50, L, 0, "", false},
    {52, "KNip", "-NIP- konta", 15, U, 0, "", false},
    {54, "KHas", "Skrót, hasło ", 15, L, 0, "", false},
    {55, "Kx", "Następne", 50, L, 0, "", false},
    {56, "Kz", "i dalsze", 50, L, 0, "", false},
    // Chart-of-accounts maintenance.
    {93, "KoOd", "Od konta", 25, U, 107, "", false},
    {94, "KoDo", "Do konta", 25, U, 107, "", false},
    {95, "ZmPl", "Od teraz będzie plan", 8, U, 90, "PFX", false},
    {96, "DoPl", "Ze zbioru", 8, L, 90, "PFX", false},
    {97, "ZaOp", "W wypadku kolizji opisy zachować", 1, L, 0, "", false},
    {98, "PlZg", "Zbiór na zgodne", 8, L, 0, "", false},
    {99, "PlPo", "Zbiór na ", 8, L, 0, "", false},
    {100, "KoPl", "Zbiór na kopię planu", 8, L, 0, "", false},
    {37, "BazE", "Nazwa zbioru .PFX z planem kont", 8, L, 0, "", false},
    // Journal files.
    {101, "LisZ", "1", 8, L, 0, "", false},
    {102, "LixZ", "W s z y s t k i c h    z b i o r ó w", 3, L, 0, "", false},
    {72, "LiZb", "Lista zbiorów", 8, L, 90, "ZFX", false},
    {73, "Biez", "Do zbioru", 8, L, 0, "", false},
    {103, "Zrod", "Nazwa zbioru źródłowego", 8, U, 0, "", false},
    {74, "Rob1", "Dekrety zgodne do zbioru", 8, U, 0, "", false},
    {75, "Rob2", "Dekrety pozostałe do", 8, U, 0, "", false},
    {104, "Text", "Poszukać", 25, L, 0, "", false},
    {105, "DoNo", "Zmienić na inny numer dowodu", 12, L, 0, "", false},
    {106, "DowF", "Wskazany fragment [...]", 12, L, 0, "", false},
    {107, "DowG", "Przesunąć o wartość", 8, L, 0, "", false},
    {108, "TeWn", "Termin dla WN przesunąć o", 3, L, 0, "", false},
    {109, "TeMa", "Termin dla MA przesunąć o", 3, L, 0, "", false},
    {191, "MaZb", "Jakie zbiory", 8, L, 0, "", false},
    // VAT registers.
    {57, "ReGr", "Z grupy rejestrów", 5, L, 0, "", false},
    {58, "ReZS", "Zakup/Sprzedaż", 1, U, 0, "", false},
    {59, "ReWD", "Sortować wg dat", 1, L, 0, "", false},
    {60, "ReZD", "Do VAT-7 (Zapisz/Dosumuj/Nic)", 1, L, 0, "", false},
    {79, "RejV", "Nazwa rejestru vat", 8, U, 90, "VAT", false},
    {110, "DaZa", "do", 6, L, 0, "", false},
    // Journals.
    {111, "OLDz", "Ostatnia L.Dz. sprzed dziennika", 6, L, 0, "", false},
    {112, "ODDz", "Ostatnia data sprzed dziennika", 6, L, 0, "", false},
    {113, "OWDz", "Obroty WN sprzed dziennika", 12, L, 0, "", false},
    {114, "OMDz", "Obroty MA sprzed dziennika", 12, L, 0, "", false},
    // Statements.
    {61, "WMSL", "obr.Wn, obr.Ma, Sal.wn, saL.ma", 1, U, 0, "", false},
    {117, "Loka", "Lok.", 5, L, 0, "", false},
    {118, "WnMa", "transakcje Wn ew. Ma", 1, U, 0, "", false},
    {233, "KonJ", "Zapisy na koncie", 3, L, 0, "", false},
    {168, "PSNa", "Na dzień", 6, L, 0, "", false},
    {169, "PSBZ", "Bez sald zerowych", 1, L, 0, "", false},
    // Settlements.
    {120, "D030", "Po terminie", 3, L, 0, "", false},
    {121, "D060", "", 3, L, 0, "", false},
    {122, "D090", "", 3, L, 0, "", false},
    {123, "D120", "oraz (c.d.)", 3, L, 0, "", false},
    {124, "D150", "", 3, L, 0, "", false},
    {125, "D180", "", 3, L, 0, "", false},
    {126, "ZaDK", "Z wykazaniem kont o długości", 2, L, 0, "", false},
    {127, "ZaZo", "(T)Zobowiązania, (N)Naleźności", 2, L, 0, "", false},
    {128, "ZaKo", "(T)Z kompensatą, (N)Nie myśleć", 2, L, 0, "", false},
    {129, "ZaZ1", "(T)Z pierwszym okresem, (N)Nie", 2, L, 0, "", false},
    {130, "ZaKZ", "(T)Z kompensatami, (N)Nie", 2, L, 0, "", false},
    {131, "BiOd", "Pokazać płatne do", 6, L, 0, "", false},
    {132, "BiDo", "do", 6, L, 0, "", false},
    {133, "BiSu", "Odstępy i podsumowania konta", 1, L, 0, "", false},
    // Interest.
    {156, "PrZb", "Nazwa zbioru ze stopami", 8, L, 0, "", false},
    {157, "PrKw", "Kwota zapłaty", 15, L, 0, "", false},
    {158, "NoPr", "Nazwa zbioru ze stopami", 8, L, 0, "", false},
    {159, "NoKw", "Czy pokazywać kwoty do zapłaty", 1, L, 0, "", false},
    {160, "NoKO", "- do zapłaty w okresie", 6, L, 0, "", false},
    {161, "NoKD", "do", 6, L, 0, "", false},
    {162, "NoDz", "- oraz potencjalne odsetki na", 6, L, 0, "", false},
    {163, "NoOd", "Czy pokazywać naliczone odsetki", 1, L, 0, "", false},
    {164, "NoZO", "- dla zapłat w okresie", 6, L, 0, "", false},
    {165, "NoZD", "do", 6, L, 0, "", false},
    {166, "NoMN", "Odrzucić odsetki mniejsze niż", 6, L, 0, "", false},
    {167, "NoKU", "Doliczyć koszty upomnienia", 6, L, 0, "", false},
    // Accounting notes.
    {170, "NKUz", "Nota księgowa uznaniowa (T) czy obciążeniowa (N)", 1, L, 0, "", false},
    {171, "NKNr", "numer", 9, L, 0, "", false},
    {172, "NKDn", "z dnia", 6, L, 0, "", false},
    {173, "NKOp", "", 60, L, 0, "", false},
    {174, "NKKw", "", 15, L, 0, "", false},
    // Imports and cash or bank reports.
    {177, "ImpZ", "Import dokumentów ze zbioru", 8, L, 0, "", false},
    {178, "RobN", "Dekretować do zbioru", 8, L, 0, "", false},
    {179, "NrDN", "Początkowy numer dowodu", 12, L, 0, "", false},
    {181, "KaNr", "Raport kasowy numer", 8, L, 0, "", false},
    {190, "KaND", "Nadać numer dowodu", 12, L, 0, "", false},
    {195, "WIPX", "Podaj wersję importu", 1, L, 0, "", false},
    {182, "KaDt", "", 4, L, 0, "", false},
    {183, "KaDd", "", 2, L, 0, "", false},
    {184, "KaDN", "", 4, L, 0, "", false},
    {185, "KaKo", "", 15, L, 0, "", false},
    {186, "KaTr", "", 15, L, 0, "", false},
    {187, "KaPr", "", 12, L, 0, "", false},
    {188, "KaRo", "", 12, L, 0, "", false},
    {189, "KaOp", "", 30, L, 0, "", false},
    // Reorganisation.
    {192, "ReoN", "Definicja reorganizacji", 8, L, 0, "", false},
    {193, "ReoK", "", 5, L, 0, "", false},
    {194, "ReoJ", "-", 25, L, 0, "", false},
    // Automatic cost allocation.
    {196, "RKZb", "Zbiór z tablicami ARK", 8, L, 0, "", false},
    {197, "RKNr", "Numer etapu", 2, L, 0, "", false},
    {198, "RKNN", "Nowy numer etapu", 2, L, 0, "", false},
    {199, "RKMe", "Numer metody", 1, L, 0, "", false},
    {200, "RKNo", "zapis do nowego zbioru", 1, L, 0, "", false},
    {208, "RKWy", "Dekrety ARK zapisać do zbioru", 8, L, 0, "", false},
    {209, "RKDo", "Początkowy numer dowodu", 12, L, 0, "", false},
    {201, "RKPr", "", 5, L, 0, "", false},
    {202, "RKCo", "", 15, L, 0, "", false},
    {203, "RKCS", "", 1, L, 0, "", false},
    {204, "RKWg", "", 15, L, 0, "", false},
    {205, "RKWS", "", 1, L, 0, "", false},
    {206, "RKNa", "", 15, L, 0, "", false},
    {207, "RKKo", "", 15, L, 0, "", false},
    // Account-number rewriting.
    {210, "CzK5", "Konta zaczynające się od cyfry", 1, L, 0, "", false},
    {211, "CzZb", "Zapisać do zbioru", 8, L, 0, "", false},
    {212, "CzPo", "Kolejne znaki z pozycji", 25, L, 0, "", false},
    // Plan execution.
    {134, "WPDf", "Zbiór z definicją", 8, L, 0, "", false},
    {135, "WPPl", "Zbiór z planem", 8, L, 0, "", false},
    {136, "WPKP", "Konto synt.planu", 11, L, 0, "", false},
    {137, "WPPr", "przesunięcie", 2, L, 0, "", false},
    {138, "WPDD", "Dział ma znaków", 1, L, 0, "", false},
    {139, "WPDP", "i zaczyna się na znaku", 2, L, 0, "", false},
    {140, "WPRD", "Rozdział ma znaków", 1, L, 0, "", false},
    {141, "WPRP", "i zaczyna się na znaku", 2, L, 0, "", false},
    {142, "WPPD", "znaków i zaczyna się na znaku", 2, L, 0, "", false},
    {143, "WPPP", "i zaczyna się na znaku", 2, L, 0, "", false},
    {144, "WPZD", "Zadanie ma znaków", 1, L, 0, "", false},
    {145, "WPZP", "i zaczyna się na znaku", 2, L, 0, "", false},
    {146, "WPSP", "Strona planu: W, M, x", 1, L, 0, "", false},
    {147, "WPSW", "strona wykonania: W, M", 1, L, 0, "", false},
    {148, "WPOP", "P", 6, L, 0, "", false},
    {149, "WPOK", "-", 6, L, 0, "", false},
    {150, "WPTx", "Dowody zapisać do zbioru", 8, L, 0, "", false},
    {151, "WPRe", "Reorganizacja", 25, L, 0, "", false},
    {152, "PreP", "Zbiór z planem", 8, L, 0, "", false},
    {153, "PreW", "Zbiór wieloletni", 8, L, 0, "", false},
    {154, "PreO", "Obiekt", 4, L, 0, "", false},
    {155, "Plan", "Zbiór z planem (puste=wyłącz)", 8, L, 0, "", false},
    // Prepared forms.
    {214, "FoRo", "Rodzaj formularza", 8, L, 90, "FFX", false},
    {215, "FoDz", "Wybrana działalność", 2, L, 32, "FFX\\Lokaliz.TFX", false},
    {216, "FoOs", "Wybrany ośrodek", 2, L, 243, "", false},
    {217, "LiPr", "Liczba przeszkolonych", 3, L, 0, "", false},
    {218, "LiNa", "narast.", 4, L, 0, "", false},
    // VAT-7 declaration.
    {219, "vOpi", "Podatnik", 50, L, 0, "", true},
    {220, "vRok", "Rok", 4, L, 82, "", false},
    {221, "vMie", "miesiąc", 2, L, 77, "", false},
    {222, "vNum", "#", 1, L, 0, "", false},
    {223, "vCel", "cel", 8, L, 99, "", false},
    {224, "vSu7", "Podstawa i podatek należny", 15, L, 0, "", true},
    {225, "vVa7", "", 15, L, 0, "", true},
    {226, "vNad", "Nadwyżka z poprzedniej deklaracji VAT-7", 15, L, 0, "", false},
    {227, "vSu4", "Podstawa i podatek naliczony", 15, L, 0, "", true},
    {228, "vVa4", "", 15, L, 0, "", true},
    {229, "vSyg", "Sygn.", 28, L, 0, "", true},
    {230, "vSyD", "Data", 6, L, 0, "", false},
    {231, "vWer", "VAT-7", 2, L, 0, "", false},
    {232, "vStr", "str", 1, L, 0, "", false},
    // Company parameters.
    {236, "FVmu", "Folder Vmu", 70, L, 0, "", false},
    {237, "PCND", "Pierwsza cyfra ND dla walutowyc wn=ma", 5, L, 0, "", false},
    {238, "ZKK6", "Czy konta \"6.\" wchodzą do kontroli ZKK", 1, L, 0, "", false},
    {239, "ZZwA", "Czy zmiana źródła w opcji A", 1, L, 0, "", false},
    {240, "PRwA", "Przeglądanie zbioru rocznego w opcji A", 1, L, 0, "", false},
    {241, "LOiZ", "Litery zakupów w opod.i zwoln.", 12, L, 0, "", false},
    {242, "LZwo", "Litery zakupów w zwolnionej", 12, L, 0, "", false},
    {243, "RDup", "Rejestry dupleksowe", 20, L, 0, "", false},
    {244, "ScaV", "Czy scalać kwoty w automat. dekretacji", 1, L, 0, "", false},
    {245, "WspV", "Współczynnik odliczania strukturą", 4, L, 0, "", false},
    {246, "RwgS", "Rejestr zakupów vat według sceniaruszy", 1, L, 0, "", false},
    {247, "FPla", "Folder z planem kont", 8, L, 0, "", false},
    {38, "Dla", "Opis \"dla\"", 41, L, 0, "", false},
    // Control exclusions of the annual-file audit.
    {249, "Ko3", "Wyłączenia", 21, L, 0, "", false},
    {250, "KoM", "", 21, L, 0, "", false},
    {251, "Ko7", "", 21, L, 0, "", false},
    {252, "Ko_", "", 21, L, 0, "", false},
    {253, "KoA", "", 21, L, 0, "", false},
    {254, "Ko8", "", 21, L, 0, "", false},
    {255, "Ko0", "", 21, L, 0, "", false},
    {256, "Ko4", "", 21, L, 0, "", false},
    {257, "KoN", "", 21, L, 0, "", false},
    {258, "Ko1", "", 21, L, 0, "", false},
    {259, "Ko5", "", 21, L, 0, "", false},
    {260, "Ko2", "", 21, L, 0, "", false},
    {261, "KoZS", "", 21, L, 0, "", false},
    {262, "KoZN", "", 21, L, 0, "", false},
    {263, "KoZK", "", 21, L, 0, "", false},
    {264, "KoK", "", 21, L, 0, "", false},
    {265, "KoS", "", 21, L, 0, "", false},
    {266, "KoX", "Z wyłączeniem kontroli", 20, L, 0, "", false},
    // Other.
    {213, "Scie", "Początek ścieżki", 20, L, 0, "", false},
};

}  // namespace

const std::vector<FieldInfo>& FieldCatalogue() { return kCatalogue; }

const FieldInfo* FindField(std::int16_t number) {
  for (const FieldInfo& f : kCatalogue)
    if (f.number == number) return &f;
  return nullptr;
}

const FieldInfo* FindFieldByCode(std::string_view code) {
  for (const FieldInfo& f : kCatalogue)
    if (code == f.code) return &f;
  return nullptr;
}

FieldDecl CatalogueField(std::int16_t number) { return CatalogueField(number, nullptr, -1); }

FieldDecl CatalogueField(std::int16_t number, const char* caption_utf8, int width) {
  FieldDecl decl;
  decl.number = number;
  const FieldInfo* info = FindField(number);
  if (info) {
    decl.code = info->code;
    decl.caption = Utf8ToWin(info->caption);
    decl.width = info->width;
  }
  if (caption_utf8) decl.caption = Utf8ToWin(caption_utf8);
  if (width >= 0) decl.width = width;
  return decl;
}

}  // namespace zel
