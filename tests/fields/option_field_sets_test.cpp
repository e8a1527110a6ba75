#include <gtest/gtest.h>

#include <map>
#include <string>

#include "declaration_fixture.hpp"
#include "fields/b_zestaw.hpp"
#include "fields/option_dispatch.hpp"
#include "shell/state.hpp"

namespace zel {
namespace {

using test::Declaring;
using test::ShellHostRecorder;
using test::StatusRecorder;

std::string SlotName(const FieldSlot& slot) {
  if (!slot.code.empty()) return slot.code.str();
  if (slot.panel_width == 0) return "'" + WinToUtf8(slot.label.view()) + "'";
  return "~" + WinToUtf8(slot.label.view());
}

// The field set in the notation of the option table: lines separated by
// "; ", fields of one line by " | ", separators as "—", and a table block as
// "table(first row's codes)x rows".
std::string Render(const FieldSet& fs) {
  std::string out;
  auto emit = [&](const std::string& text) {
    if (!out.empty()) out += "; ";
    out += text;
  };
  const auto& seps = fs.Separators();
  std::size_t sep = 0;
  int s = 1;
  while (s <= fs.SlotCount()) {
    const FieldSlot& slot = fs.Slot(s);
    for (; sep < seps.size() && seps[sep] <= slot.top; ++sep) emit("—");
    const TableBlock& tb = fs.Table();
    if (tb.header_slot == s) {
      std::string codes;
      for (int c = 1; c <= tb.columns; ++c) codes += (c > 1 ? " " : "") + SlotName(fs.Slot(s + c));
      emit("table(" + codes + ")x" + std::to_string(tb.visible_rows));
      s = tb.footer_slot + 1;
      continue;
    }
    std::string line;
    for (int n = slot.line; s <= fs.SlotCount() && fs.Slot(s).line == n; ++s)
      line += (line.empty() ? "" : " | ") + SlotName(fs.Slot(s));
    emit(line);
  }
  for (; sep < seps.size(); ++sep) emit("—");
  return out;
}

const char* const kJournalsByDocument = "Robo; DowW; DoOd | DoDo; DaOd | DaDo";
const char* const kTrialBalance = "Rocz; KonW; DaBO | DaOd | DaDo; Pod1 | Pod3 | Pod7; OpKo";
const char* const kStdPeriodDepth = "Rocz; KonW; DaOd | DaDo; Pod1 | Pod3 | Pod7";

// Every option index with a field set, transcribed from the option table.
const std::map<int, std::string> kExpected = {
    {1, "Logi; Hasl"},
    {2, ""},
    {10, ""},
    {11, "Robo | DekL | DekP; NDow | DatD | DatF; table(LiPo KoWn KoMa Kwot NrTr ReVa Term Opis)x6"},
    {12, "Ka; Kc; —; KonE; —; KonX | '[zmienić, skasować na]'; KNip | KHas; KNaz; KAdr; KDod; —; Kx; Kz"},
    {13, "'przyśpiesza start programu'"},
    {14, "KoOd; KoDo; KonW; Pod1 | Pod3 | Pod7"},
    {15, "KoOd; KoDo; KonW; Pod1 | Pod3 | Pod7"},
    {16, "ZmPl"},
    {17, "DoPl; ZaOp"},
    {18, "KonW; PlZg; PlPo"},
    {19, "KoPl"},
    // The listing of new accounts takes the field set of the other listings.
    {23, "KoOd; KoDo; KonW; Pod1 | Pod3 | Pod7"},
    {25, "LisZ; LisZ; LisZ; LisZ; LisZ; LisZ; LisZ; LisZ; LisZ; LixZ; LiZb; Biez"},
    {26, "LiZb"},
    {27, "Rocz; Zrod; Rob1; Rob2"},
    {28, "Rocz; KonW; Rob1; Rob2"},
    {29, "Rocz; DowW; DoOd | DoDo; Rob1; Rob2"},
    {30, "Rocz; DaOd | DaDo; Rob1; Rob2"},
    {31, "Rocz; Text; Rob1; Rob2"},
    {32, "Robo; DowW; DoOd | DoDo; DoNo"},
    {33, "Robo; DowW; DoOd | DoDo; DowF; DowG"},
    {34, "Robo; DowW; DoOd | DoDo; DatD"},
    {35, "Robo; DowW; DoOd | DoDo; TeWn | 'dni'; TeMa | 'dni'"},
    {36, "Robo"},
    {37, "~Nazwa wzorca"},
    {38, "Rocz"},
    {39, "Rocz; DaOd | DaDo"},
    {40, kJournalsByDocument},
    {41, kJournalsByDocument},
    {42, kJournalsByDocument},
    {43, "ReGr | ReZS; DaOd | DaDo; ReWD | ReZD"},
    {44, "RejV; Robo"},
    {45, "OLDz; ODDz; OWDz; OMDz; '..'; Robo; DaOd | DaDo; Text"},
    {46, "OLDz; ODDz; OWDz; OMDz; '..'; Robo; DaOd | DaDo; Text"},
    {47, "OLDz; ODDz; OWDz; OMDz; '..'; Robo; DaOd | DaDo; Text"},
    {48, "DaOd | DaDo; Biez | DaZa"},
    {49, ""},
    {50, ""},
    {51, ""},
    {52, ""},
    {53, ""},
    {54, "Mies"},
    {55, std::string("JPKo; ") + kTrialBalance},
    {56, "Rocz; KonW; DaOd | DaDo; Pod1 | Pod3 | Pod7; OpKo"},
    {57, kStdPeriodDepth},
    {58, kTrialBalance},
    {59, kStdPeriodDepth},
    {60, kStdPeriodDepth},
    {61, kStdPeriodDepth},
    {62, "Rocz; KonW; DaDo; Pod1 | Pod3 | Pod7"},
    {63, std::string(kStdPeriodDepth) + "; WalJ"},
    {64, std::string(kStdPeriodDepth) + "; WalJ"},
    {65, kTrialBalance},
    {66, std::string(kStdPeriodDepth) + "; Loka | OpKo | WalJ"},
    {67, "Rocz; KonW; DaDo; DaHo; DatD | WalJ"},
    {68, "Rocz; KonW; DaDo; DatD | WalJ"},
    {69, "Rocz; KonJ"},
    {70, "Rocz; KonW; DaHo; D030 | D060 | D090; D120 | D150 | D180; ZaDK; Pod3; ZaZo; ZaKo; ZaZ1; "
         "DaDo; ZaKZ"},
    {71, "Rocz; KonW; DaDo; BiOd | BiDo; WalJ"},
    {72, "Rocz; KonW; DaDo; BiOd | BiDo; WalJ"},
    {73, "Rocz; KonW; BiOd | BiDo; BiSu"},
    {75, "Rocz; KonW; DaOd | DaDo; Pod1 | Pod3 | Pod7; OpKo; WMSL"},
    {76, "Rocz; KonW; DaOd | DaDo; WnMa"},
    {77, "Rocz; KonW; DaOd | DaDo"},
    {78, "Rocz; KonW; DaOd | DaDo"},
    {79, "WPDf; —; WPPl | Rocz; KonW; WPKP | WPPr; WPDD | WPDP; WPRD | WPRP; nWPPD | WPPP; "
         "WPZD | WPZP; WPSP | WPSW; WPOP | WPOK | DaOd | DaDo"},
    {80, "Rocz; WPTx; KonW; WPDD | WPPD; WPRe"},
    {81, "PreP; PreW; PreO"},
    {82, "Plan"},
    {83, "FoRo; DaOd | DaDo"},
    {85, "vOpi; vRok | vMie | vNum | vCel; vSu7 | vVa7; vNad; vSu4 | vVa4; vSyg | vSyD | vWer | vStr"},
    {87, "PrZb; PrKw; DaOd | DaDo"},
    {88, "Rocz; KonW; NoPr; NoKw; NoKO | NoKD; NoDz; NoOd; NoZO | NoZD; NoMN; NoKU"},
    {89, "Rocz; KonW; PSNa; PSBZ"},
    {90, "Rocz; KonW; PSNa"},
    {91, "'dla potwierdzeń sald i not'"},
    {92, "NKUz | NKNr | NKDn; table(NKOp NKKw)x6"},
    {94, "ImpZ; RobN; NrDN; DatN"},
    {95, "ImpZ"},
    {96, "MaZb"},
    {97, "ReoN; table(ReoK ReoJ)x6"},
    {105, "WIPX"},
    {106, "KaNr; table(KaDt KaDd KaDN KaKo KaTr KaPr KaRo KaOp)x6"},
    {107, "KaNr"},
    {108, "KaNr; RobN; KaND"},
    {109, "KaNr; table(KaDt KaDd KaDN KaKo KaTr KaPr KaRo KaOp)x6"},
    {110, "KaNr"},
    {111, "KaNr; RobN; KaND"},
    {112, "RKZb; RKNr; RKNN; RKMe | RKNo; table(RKPr RKCo RKCS RKWg RKWS RKNa RKKo)x6"},
    {113, "RKZb"},
    {114, "Rocz; DaOd | DaDo; RKZb; RKWy; RKDo"},
    {115, "Rocz; CzK5; DaOd | DaDo; CzZb; CzPo"},
    {116, "Rocz"},
    {117, "Ko3 | KoM; Ko7 | Ko_ | KoA; Ko8 | Ko0 | Ko4; KoN | Ko1 | Ko5; Ko2 | KoZS | KoZN; "
          "KoZK | KoK | KoS; KoX | Robo"},
    {118, ""},
    {119, "Rocz"},
    {131, ""},
    {133, ""},
    {134, "FVmu; PCND | ZKK6; ZZwA | PRwA; LOiZ | LZwo; RDup | ScaV; WspV | RwgS; FPla | Dla; "
          "BazE | Rocz; DaBO | DaBZ; Pod1 | Pod3 | Pod7 | OpKo"},
    {135, "OkFo | OkBo | OkWi; OkMx | OkDx; OkMy | OkDy; OkEz | OkEm; —; RaFo | RaBo | RaWi; "
          "RaPo | RaMa | RaWy; —; RzN2 | RzWi | RzBo | RzFo; RzPo | RzMa | RzWy"},
    {136, "'Drukarka laserowa  HP'; PrFo | PrBo"},
    {138, "DirJ; BazJ"},
    {139, "BazJ"},
    {140, "HasS; HasN; HasP"},
    {142, "DirJ; BazJ"},
    {143, "Scie"},
};

TEST(OptionFieldSets, EveryIndexDeclaresItsFieldsInOrder) {
  StatusRecorder status;
  ShellHostRecorder host;
  ChosenForm = PreparedForm{};
  bZestaw module;
  for (int index = 1; index <= 144; ++index) {
    SCOPED_TRACE(index);
    Declaring d;
    Declaring::Open(index, "XY", "nazwa");
    bool declared = DeclareOptionFields(d.fields, module);
    auto expected = kExpected.find(index);
    if (expected == kExpected.end()) {
      EXPECT_FALSE(declared);
      EXPECT_EQ(d.fields.SlotCount(), 0);
      EXPECT_EQ(OptionKey.view(), "..");
      EXPECT_EQ(WinToUtf8(OptionCaption.view()), "opcja niedostępna");
      EXPECT_EQ(WinToUtf8(d.fields.Title()), ".. - opcja niedostępna");
      EXPECT_EQ(GoCaption(d.fields.Go()), "Zamknij");
      continue;
    }
    EXPECT_TRUE(declared);
    EXPECT_TRUE(d.fields.Begun());
    EXPECT_EQ(Render(d.fields), expected->second);
  }
  EXPECT_TRUE(status.shown.empty());
}

// Captions and widths an index gives differently from the catalogue.
TEST(OptionFieldSets, CaptionsAndWidthsOfTheOption) {
  struct Row {
    int index;
    const char* code;
    int occurrence;
    const char* caption;
    int width;
  } rows[] = {
      {11, "Robo", 1, "Nazwa zbioru na dowody księgowe", 8},
      {32, "DowW", 1, "W wybranych dowodach", 12},
      {29, "DowW", 1, "Wybrane dowody", 12},
      {34, "DatD", 1, "Nowa data księgowania dowodu", 6},
      {45, "Text", 1, "Wpr.do dziennika przez", 20},
      {31, "Text", 1, "Poszukać", 25},
      {48, "DaOd", 1, "Analiza rejestrów od", 6},
      {48, "Biez", 1, "Zapłaty w zbiorze", 8},
      {55, "DaBO", 1, "Data BO", 6},
      {55, "DaOd", 1, "okres", 6},
      {55, "DaDo", 1, "-", 6},
      {55, "OpKo", 1, "Pełny, Opis, Nazwa, Hasło, Bez", 1},
      {55, "Rocz", 1, "Zbiór z dekretami", 8},
      {57, "DaOd", 1, "Wybrany okres", 6},
      {62, "DaDo", 1, "Data końcowa", 6},
      {63, "WalJ", 1, "Wybrana waluta", 3},
      {66, "OpKo", 1, "Opis", 1},
      {66, "WalJ", 1, "Waluta", 3},
      {67, "DatD", 1, "\"Dni\" do", 6},
      {67, "DaHo", 1, "Pokazać tylko płatne do", 6},
      {70, "DaHo", 1, "Licząc od dnia (wstecz)", 6},
      {70, "Pod3", 1, "Z podsumowaniem kont syntetycznych", 2},
      {70, "DaDo", 1, "Uwzględniać zapłaty do", 2},
      {71, "BiOd", 1, "Pokazać płatne do", 6},
      {72, "BiOd", 1, "Pokazać płatne od", 6},
      {71, "WalJ", 1, "Wybrana waluta ( puste=PLN )", 3},
      {79, "Rocz", 1, "Z.roczny", 8},
      {79, "nWPPD", 1, "Paragraf ma znaków", 1},
      {79, "DaOd", 1, "Okres", 6},
      {80, "WPDD", 1, "Dział ma", 1},
      {80, "WPPD", 1, "znaków i zaczyna się na znaku", 2},
      {94, "ImpZ", 1, "Import dokumentów ze zbioru", 8},
      {95, "ImpZ", 1, "Podaj nazwę zbioru", 8},
      {108, "RobN", 1, "Raport zapisać do zbioru", 8},
      {109, "KaNr", 1, "Raport bankowy numer", 8},
      {106, "KaNr", 1, "Raport kasowy numer", 8},
      {112, "RKWg", 1, "×", 15},
      {117, "Robo", 1, "Nazwa zbioru", 8},
      {117, "Ko3", 1, "Wyłączenia", 21},
      {134, "Rocz", 1, "Nazwa zbioru rocznego np. N2020", 8},
      {134, "DaBO", 1, "Data bilansu otwarcia - data BO", 6},
      {134, "OpKo", 1, "Pełny, Opis, Nazwa, Hasło, Bez niczego", 1},
      {25, "LisZ", 9, "9", 8},
      {25, "LiZb", 1, "Lista zbiorów", 8},
      {26, "LiZb", 1, "Sprawdzamy listę", 8},
      {1, "Hasl", 1, "Hasło", 12},
      {135, "RzFo", 1, "", 15},
      {140, "HasP", 1, "Powtórz hasło", 8},
  };
  ShellHostRecorder host;
  bZestaw module;
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.index) + " " + row.code);
    Declaring d;
    Declaring::Open(row.index);
    ASSERT_TRUE(DeclareOptionFields(d.fields, module));
    int found = 0, seen = 0;
    for (int s = 1; s <= d.fields.SlotCount() && !found; ++s)
      if (d.fields.Slot(s).code.view() == row.code && ++seen == row.occurrence) found = s;
    ASSERT_NE(found, 0);
    EXPECT_EQ(WinToUtf8(d.fields.Slot(found).label.view()), row.caption);
    EXPECT_EQ(d.fields.Slot(found).max_length, row.width);
  }
}

TEST(OptionFieldSets, GoButtonsActionSetsInitialSlotsAndDisplayOnly) {
  struct Row {
    int index;
    const char* go;
    int flags;  // -1: no action set
    const char* key;
    int initial;
    std::vector<const char*> display_only;
  } rows[] = {
      {11, "Zapisz", 3, "P-K", 1, {"DekL", "DekP"}},
      {12, "Zapisz", -1, "", 1, {"Ka", "Kc", "Kx", "Kz"}},
      {13, "Wykonaj", -1, "", 1, {}},
      {25, "Wykonaj", -1, "", 1, {"LisZ", "LixZ"}},
      {37, "Zapisz", -1, "", 1, {}},
      {40, "Wykonaj", 1, "PoKs", 1, {}},
      {41, "Wykonaj", -1, "", 1, {}},
      {43, "Wykonaj", -1, "", 2, {}},
      {55, "Wykonaj", -1, "", 2, {}},
      {79, "Wykonaj", 1, "SzWP", 1, {}},
      {81, "Wykonaj", 1, "prel", 1, {}},
      {85, "Wykonaj", 1, "Vat7", 1, {}},
      {89, "Wykonaj", 2, "PoSa", 1, {}},
      {97, "Zapisz", -1, "", 1, {}},
      {106, "Zamknij", -1, "", 1, {}},
      {109, "Zamknij", -1, "", 1, {}},
      {110, "Wykonaj", -1, "", 1, {}},
      {117, "Wykonaj", -1, "", 19,
       {"Ko3", "KoM", "Ko7", "Ko_", "KoA", "Ko8", "Ko0", "Ko4", "KoN", "Ko1", "Ko5", "Ko2", "KoZS",
        "KoZN", "KoZK", "KoK", "KoS"}},
      {134, "Zapisz", -1, "", 1, {}},
      {135, "Zapisz", -1, "", 1, {}},
      {139, "Wykonaj", -1, "", 1, {}},
  };
  ShellHostRecorder host;
  bZestaw module;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.index);
    Declaring d;
    Declaring::Open(row.index);
    ASSERT_TRUE(DeclareOptionFields(d.fields, module));
    EXPECT_EQ(GoCaption(d.fields.Go()), row.go);
    EXPECT_EQ(d.fields.Actions().declared, row.flags >= 0);
    if (row.flags >= 0) {
      EXPECT_EQ(d.fields.Actions().flags, row.flags);
      EXPECT_EQ(d.fields.Actions().key.view(), row.key);
    }
    EXPECT_EQ(d.fields.InitialSlot(), row.initial);
    int display_only = 0;
    for (int s = 1; s <= d.fields.SlotCount(); ++s) {
      const FieldSlot& slot = d.fields.Slot(s);
      if (!slot.display_only) continue;
      ++display_only;
      EXPECT_NE(std::find_if(row.display_only.begin(), row.display_only.end(),
                             [&](const char* c) { return slot.code.view() == c; }),
                row.display_only.end())
          << slot.code.view();
    }
    int expected = 0;
    for (const char* code : row.display_only)
      for (int s = 1; s <= d.fields.SlotCount(); ++s) expected += d.fields.Slot(s).code.view() == code;
    EXPECT_EQ(display_only, expected);
  }
}

TEST(OptionFieldSets, PreparedFormFieldsFollowTheChosenForm) {
  struct Row {
    const char* name;
    PreparedFormKind kind;
    const char* key;
    const char* fields;
  } rows[] = {
      {"none chosen", PreparedFormKind::kNone, "", "FoRo; DaOd | DaDo"},
      {"activity", PreparedFormKind::kActivity, "ZWF1", "FoRo; FoDz; DaOd | DaDo"},
      {"centre", PreparedFormKind::kCentre, "SDD2", "FoRo; FoOs; DaOd | DaDo"},
      {"training", PreparedFormKind::kCentre, "GSZK", "FoRo; FoOs; DaOd | DaDo; LiPr | LiNa"},
  };
  bZestaw module;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ChosenForm.kind = row.kind;
    ChosenForm.key = row.key;
    Declaring d;
    Declaring::Open(83);
    ASSERT_TRUE(DeclareOptionFields(d.fields, module));
    EXPECT_EQ(Render(d.fields), row.fields);
    EXPECT_EQ(d.fields.Actions().flags, 2);
    EXPECT_EQ(d.fields.Actions().key.view(), row.key);
  }
  ChosenForm = PreparedForm{};
}

TEST(OptionFieldSets, ShellFieldSetsTellTheShell) {
  ShellHostRecorder host;
  bZestaw module;
  std::string saved_dir = DbDir.str(), saved_chart = ChartName.str();
  DbDir = "C:\\FIRMA\\2024\\";
  ChartName = "PlanKont";
  {
    Declaring d;
    Declaring::Open(138, "IF", "zmiana katalogu / roku [F4]");
    ASSERT_TRUE(DeclareOptionFields(d.fields, module));
    EXPECT_EQ(host.folder, "C:\\FIRMA\\2024");
    EXPECT_EQ(host.chart, "PlanKont");
    EXPECT_EQ(WinToUtf8(d.fields.Title()), "I.F - zmiana katalogu / roku [F4]");
  }
  host.folder.clear();
  {
    Declaring d;
    Declaring::Open(139);
    ASSERT_TRUE(DeclareOptionFields(d.fields, module));
    EXPECT_EQ(host.folder, "C:\\FIRMA\\2024");
  }
  {
    Declaring d;
    Declaring::Open(1, "", "logowanie -");
    ASSERT_TRUE(DeclareOptionFields(d.fields, module));
    EXPECT_EQ(host.lock_closes, 1);
    EXPECT_EQ(d.fields.Title(), "logowanie");
    EXPECT_EQ(GoCaption(d.fields.Go()), "Wykonaj");
  }
  {
    Declaring d;
    Declaring::Open(2);
    ASSERT_TRUE(DeclareOptionFields(d.fields, module));
    EXPECT_EQ(d.fields.Title(), "Test bazy danych");
  }
  DbDir = saved_dir;
  ChartName = saved_chart;
}

TEST(OptionFieldSets, WrongOwnerOfTheFieldSetHookIsReported) {
  StatusRecorder status;
  bZestaw module;
  Declaring d;
  Declaring::Open(54);
  EXPECT_TRUE(module.nieMaOpcji("aZestaw", d.fields));
  ASSERT_EQ(status.shown.size(), 1u);
  EXPECT_EQ(status.shown[0], std::make_pair(std::string("nieMaOpcji ma być w bZestaw a nie w aZestaw"), 0));
  EXPECT_EQ(Render(d.fields), "Mies");
}

}  // namespace
}  // namespace zel
