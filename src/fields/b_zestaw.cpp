#include "fields/b_zestaw.hpp"

#include "common/cp1250.hpp"
#include "fields/dekret_window.hpp"
#include "fields/field_catalogue.hpp"
#include "fields/option_dispatch.hpp"
#include "fields/option_field_hooks.hpp"
#include "fields/shell_field_sets.hpp"
#include "fields/zestaw.hpp"
#include "menu/current_option.hpp"

namespace zel {

namespace {

// Declaration helpers over one field set: catalogue fields by number, with
// the catalogue's caption or the one this option shows.
struct Declare {
  FieldSet& fs;

  static FieldDecl C(std::int16_t number) { return CatalogueField(number); }
  static FieldDecl C(std::int16_t number, const char* caption, int width = -1) {
    return CatalogueField(number, caption, width);
  }
  // A caption standing on a line after a field.
  static FieldDecl Text(const char* caption) { return FieldDecl{Utf8ToWin(caption), "", 0, 0}; }

  void L(std::int16_t number) { fs.Line({C(number)}); }
  void L(std::int16_t number, const char* caption, int width = -1) {
    fs.Line({C(number, caption, width)});
  }
  void L(const std::vector<FieldDecl>& fields) { fs.Line(fields); }
  void Sep() { fs.Separator(); }

  void Std() {
    L(42, "Zbiór z dekretami");
    L(71);
  }
  void Period() { L({C(65, "Wybrany okres"), C(66, "-")}); }
  void Depth() { L({C(62), C(63, ""), C(64, "")}); }
  void Style() { L(80, "Pełny, Opis, Nazwa, Hasło, Bez"); }

  void Documents(const char* selection_caption) {
    L(76, selection_caption);
    L({C(77), C(78)});
  }
};

bool DeclareFieldSet(std::uint8_t index, FieldSet& fs) {
  Declare d{fs};
  using D = Declare;
  switch (index) {
    case 11:
      fs.Begin(kGoSave);
      fs.SetActionSet(3, "P-K");
      d.L({D::C(69, "Nazwa zbioru na dowody księgowe"), D::C(81), D::C(82)});
      d.L({D::C(83), D::C(70, "Data dekretacji"), D::C(84)});
      fs.AddTableBlock("Lp;Konto winien;Konto ma;Kwota pozycji;Numer faktury;RejV;Termin;Opis pozycji"_w,
                       {D::C(85), D::C(86), D::C(87), D::C(88), D::C(89), D::C(90), D::C(91), D::C(92)},
                       false);
      fs.DisplayOnly({81, 82});
      return true;
    case 12:
      fs.Begin(kGoSave);
      d.L(45);
      d.L(46);
      d.Sep();
      d.L(47);
      d.Sep();
      d.L({D::C(48), D::Text("[zmienić, skasować na]")});
      d.L({D::C(52), D::C(54)});
      d.L(49);
      d.L(50);
      d.L(51);
      d.Sep();
      d.L(55);
      d.L(56);
      fs.DisplayOnly({45, 46, 55, 56});
      return true;
    case 13:
      fs.Begin(kGoRun);
      fs.Caption("przyśpiesza start programu"_w);
      return true;
    case 14:
    case 15:
    case 23:
      fs.Begin(kGoRun);
      d.L(93);
      d.L(94);
      d.L(71);
      d.Depth();
      return true;
    case 16:
      fs.Begin(kGoRun);
      d.L(95);
      return true;
    case 17:
      fs.Begin(kGoRun);
      d.L(96);
      d.L(97);
      return true;
    case 18:
      fs.Begin(kGoRun);
      d.L(71);
      d.L(98);
      d.L(99);
      return true;
    case 19:
      fs.Begin(kGoRun);
      d.L(100);
      return true;
    case 25:
      fs.Begin(kGoRun);
      for (char n = '1'; n <= '9'; ++n) fs.Line({FieldDecl{std::string(1, n), "LisZ", 101, 8}});
      d.L(102);
      d.L(72, "Lista zbiorów");
      d.L(73, "Do zbioru");
      fs.DisplayOnly({101, 102});
      return true;
    case 26:
      fs.Begin(kGoRun);
      d.L(72, "Sprawdzamy listę");
      return true;
    case 27:
      fs.Begin(kGoRun);
      d.L(42);
      d.L(103);
      d.L(74);
      d.L(75);
      return true;
    case 28:
      fs.Begin(kGoRun);
      d.Std();
      d.L(74);
      d.L(75);
      return true;
    case 29:
      fs.Begin(kGoRun);
      d.L(42);
      d.Documents("Wybrane dowody");
      d.L(74);
      d.L(75);
      return true;
    case 30:
      fs.Begin(kGoRun);
      d.L(42);
      d.Period();
      d.L(74);
      d.L(75);
      return true;
    case 31:
      fs.Begin(kGoRun);
      d.L(42);
      d.L(104, "Poszukać");
      d.L(74);
      d.L(75);
      return true;
    case 32:
    case 33:
    case 34:
    case 35:
      fs.Begin(kGoRun);
      d.L(69);
      d.Documents("W wybranych dowodach");
      if (index == 32) {
        d.L(105);
      } else if (index == 33) {
        d.L(106);
        d.L(107);
      } else if (index == 34) {
        d.L(70, "Nowa data księgowania dowodu");
      } else {
        d.L({D::C(108), D::Text("dni")});
        d.L({D::C(109), D::Text("dni")});
      }
      return true;
    case 36:
      fs.Begin(kGoRun);
      d.L(69);
      return true;
    case 37:
      fs.Begin(kGoSave);
      fs.Line({FieldDecl{"Nazwa wzorca", "", 0, 8}});
      return true;
    case 38:
      fs.Begin(kGoSave);
      d.L(42);
      return true;
    case 39:
      fs.Begin(kGoRun);
      d.L(42);
      d.Period();
      return true;
    case 40:
    case 41:
    case 42:
      fs.Begin(kGoRun);
      if (index == 40) fs.SetActionSet(1, "PoKs");
      d.L(69);
      d.Documents("Wybrane dowody");
      d.Period();
      return true;
    case 43:
      fs.Begin(kGoRun);
      d.L({D::C(57), D::C(58)});
      d.Period();
      d.L({D::C(59), D::C(60)});
      fs.SetInitialSlot(2);
      return true;
    case 44:
      fs.Begin(kGoRun);
      d.L(79);
      d.L(69);
      return true;
    case 45:
    case 46:
    case 47:
      fs.Begin(kGoRun);
      d.L(111);
      d.L(112);
      d.L(113);
      d.L(114);
      fs.Caption("..");
      d.L(69);
      d.Period();
      d.L(104, "Wpr.do dziennika przez", 20);
      return true;
    case 48:
      fs.Begin(kGoRun);
      d.L({D::C(65, "Analiza rejestrów od"), D::C(66, "do")});
      d.L({D::C(73, "Zapłaty w zbiorze"), D::C(110)});
      return true;
    case 54:
      fs.Begin(kGoRun);
      d.L(115);
      return true;
    case 55:
    case 58:
    case 65:
      fs.Begin(kGoRun);
      if (index == 55) d.L(44);
      d.Std();
      d.L({D::C(116, "Data BO"), D::C(65, "okres"), D::C(66, "-")});
      d.Depth();
      d.Style();
      fs.SetInitialSlot(2);
      return true;
    case 56:
      fs.Begin(kGoRun);
      d.Std();
      d.Period();
      d.Depth();
      d.Style();
      return true;
    case 57:
    case 59:
    case 60:
    case 61:
      fs.Begin(kGoRun);
      d.Std();
      d.Period();
      d.Depth();
      return true;
    case 62:
      fs.Begin(kGoRun);
      d.Std();
      d.L(66, "Data końcowa");
      d.Depth();
      return true;
    case 63:
    case 64:
      fs.Begin(kGoRun);
      d.Std();
      d.Period();
      d.Depth();
      d.L(41, "Wybrana waluta");
      return true;
    case 66:
      fs.Begin(kGoRun);
      d.Std();
      d.Period();
      d.Depth();
      d.L({D::C(117), D::C(80, "Opis"), D::C(41, "Waluta")});
      return true;
    case 67:
    case 68:
      fs.Begin(kGoRun);
      d.Std();
      d.L(66, "Analizować dowody do");
      if (index == 67) d.L(43, "Pokazać tylko płatne do");
      d.L({D::C(70, "\"Dni\" do"), D::C(41, "Waluta")});
      return true;
    case 69:
      fs.Begin(kGoSave);
      d.L(42);
      d.L(233);
      return true;
    case 70:
      fs.Begin(kGoRun);
      d.Std();
      d.L(43, "Licząc od dnia (wstecz)");
      d.L({D::C(120), D::C(121), D::C(122)});
      d.L({D::C(123), D::C(124), D::C(125)});
      d.L(126);
      d.L(63, "Z podsumowaniem kont syntetycznych");
      d.L(127);
      d.L(128);
      d.L(129);
      d.L(66, "Uwzględniać zapłaty do", 2);
      d.L(130);
      return true;
    case 71:
    case 72:
      fs.Begin(kGoRun);
      d.Std();
      d.L(66, "Analizować dowody do");
      d.L({D::C(131, index == 71 ? "Pokazać płatne do" : "Pokazać płatne od"), D::C(132)});
      d.L(41, "Wybrana waluta ( puste=PLN )");
      return true;
    case 73:
      fs.Begin(kGoRun);
      d.Std();
      d.L({D::C(131, "Pokazać płatne od"), D::C(132)});
      d.L(133);
      return true;
    case 75:
      fs.Begin(kGoRun);
      d.Std();
      d.Period();
      d.Depth();
      d.Style();
      d.L(61);
      return true;
    case 76:
      fs.Begin(kGoRun);
      d.Std();
      d.Period();
      d.L(118);
      return true;
    case 77:
    case 78:
      fs.Begin(kGoRun);
      d.Std();
      d.Period();
      return true;
    case 79: {
      fs.Begin(kGoRun);
      fs.SetActionSet(1, "SzWP");
      d.L(134);
      d.Sep();
      d.L({D::C(135), D::C(42, "Z.roczny")});
      d.L(71);
      d.L({D::C(136), D::C(137)});
      d.L({D::C(138), D::C(139)});
      d.L({D::C(140), D::C(141)});
      FieldDecl paragraph = D::C(142, "Paragraf ma znaków", 1);
      paragraph.code = "nWPPD";
      d.L({paragraph, D::C(143)});
      d.L({D::C(144), D::C(145)});
      d.L({D::C(146), D::C(147)});
      d.L({D::C(148), D::C(149), D::C(65, "Okres"), D::C(66, "-")});
      return true;
    }
    case 80:
      fs.Begin(kGoRun);
      d.L(42);
      d.L(150);
      d.L(71);
      d.L({D::C(138, "Dział ma"), D::C(142)});
      d.L(151);
      return true;
    case 81:
      fs.Begin(kGoRun);
      fs.SetActionSet(1, "prel");
      d.L(152);
      d.L(153);
      d.L(154);
      return true;
    case 82:
      fs.Begin(kGoSave);
      d.L(155);
      return true;
    case 83:
      fs.Begin(kGoRun);
      fs.SetActionSet(2, ChosenForm.key.view());
      d.L(214);
      if (ChosenForm.kind == PreparedFormKind::kActivity) d.L(215);
      if (ChosenForm.kind == PreparedFormKind::kCentre) d.L(216);
      d.Period();
      if (!ChosenForm.key.empty() && ChosenForm.key[0] == 'G') d.L({D::C(217), D::C(218)});
      return true;
    case 85:
      fs.Begin(kGoRun);
      fs.SetActionSet(1, "Vat7");
      d.L(219);
      d.L({D::C(220), D::C(221), D::C(222), D::C(223)});
      d.L({D::C(224), D::C(225)});
      d.L(226);
      d.L({D::C(227), D::C(228)});
      d.L({D::C(229), D::C(230), D::C(231), D::C(232)});
      return true;
    case 87:
      fs.Begin(kGoSave);
      d.L(156);
      d.L(157);
      d.Period();
      return true;
    case 88:
      fs.Begin(kGoRun);
      d.Std();
      d.L(158);
      d.L(159);
      d.L({D::C(160), D::C(161)});
      d.L(162);
      d.L(163);
      d.L({D::C(164), D::C(165)});
      d.L(166);
      d.L(167);
      return true;
    case 89:
    case 90:
      fs.Begin(kGoRun);
      if (index == 89) fs.SetActionSet(2, "PoSa");
      d.Std();
      d.L(168);
      if (index == 89) d.L(169);
      return true;
    case 91:
      fs.Begin(kGoRun);
      fs.Caption("dla potwierdzeń sald i not"_w);
      return true;
    case 92:
      fs.Begin(kGoRun);
      d.L({D::C(170), D::C(171), D::C(172)});
      fs.AddTableBlock("Treść noty;Kwota pozycji"_w, {D::C(173), D::C(174)}, false);
      return true;
    case 94:
      fs.Begin(kGoRun);
      d.L(177, "Import dokumentów ze zbioru");
      d.L(178, "Dekretować do zbioru");
      d.L(179);
      d.L(180);
      return true;
    case 95:
      fs.Begin(kGoRun);
      d.L(177, "Podaj nazwę zbioru");
      return true;
    case 96:
      fs.Begin(kGoRun);
      d.L(191);
      return true;
    case 97:
      fs.Begin(kGoSave);
      d.L(192);
      fs.AddTableBlock("Lp;Obroty konta;na konto", {D::C(193), D::C(194, "-")}, true);
      return true;
    case 105:
      fs.Begin(kGoRun);
      d.L(195);
      return true;
    case 106:
    case 107:
    case 108:
    case 109:
    case 110:
    case 111: {
      bool cash = index <= 108;
      int kind = index - (cash ? 106 : 109);  // 0 report, 1 print, 2 close
      fs.Begin(kind == 0 ? kGoClose : kGoRun);
      d.L(181, cash ? "Raport kasowy numer" : "Raport bankowy numer");
      if (kind == 0) {
        fs.AddTableBlock(" Lp;Data;Dd;numer;Symbol konta;Transakcja;Przychód;Rozchód;Opis pozycji"_w,
                         {D::C(182), D::C(183), D::C(184), D::C(185), D::C(186), D::C(187),
                          D::C(188), D::C(189)},
                         true);
      } else if (kind == 2) {
        d.L(178, "Raport zapisać do zbioru");
        d.L(190);
      }
      return true;
    }
    case 112:
      fs.Begin(kGoSave);
      d.L(196);
      d.L(197);
      d.L(198);
      d.L({D::C(199), D::C(200)});
      fs.AddTableBlock("ile%;zespołu kont;wm;×;wg (podstawa);wm;wyksięgować na;komentarz"_w,
                       {D::C(201), D::C(202), D::C(203), D::C(204, "×"), D::C(205), D::C(206),
                        D::C(207)},
                       false);
      return true;
    case 113:
      fs.Begin(kGoRun);
      d.L(196);
      return true;
    case 114:
      fs.Begin(kGoRun);
      d.L(42);
      d.Period();
      d.L(196);
      d.L(208);
      d.L(209);
      return true;
    case 115:
      fs.Begin(kGoRun);
      d.L(42);
      d.L(210);
      d.Period();
      d.L(211);
      d.L(212);
      return true;
    case 116:
    case 119:
      fs.Begin(kGoRun);
      d.L(42);
      return true;
    case 117: {
      fs.Begin(kGoRun);
      d.L({D::C(249, "Wyłączenia"), D::C(250)});
      for (std::int16_t first = 251; first <= 263; first += 3)
        d.L({D::C(first), D::C(static_cast<std::int16_t>(first + 1)),
             D::C(static_cast<std::int16_t>(first + 2))});
      fs.DisplayOnly({249, 250, 251, 252, 253, 254, 255, 256, 257, 258, 259, 260, 261, 262, 263,
                      264, 265});
      d.L({D::C(266), D::C(69, "Nazwa zbioru")});
      int journal = fs.FindSlot(69);
      if (journal != 0) fs.SetInitialSlot(static_cast<std::uint16_t>(journal));
      return true;
    }
    case 134:
      fs.Begin(kGoSave);
      d.L(236);
      d.L({D::C(237), D::C(238)});
      d.L({D::C(239), D::C(240)});
      d.L({D::C(241), D::C(242)});
      d.L({D::C(243), D::C(244)});
      d.L({D::C(245), D::C(246)});
      d.L({D::C(247), D::C(38)});
      d.L({D::C(37), D::C(42, "Nazwa zbioru rocznego np. N2020")});
      d.L({D::C(116, "Data bilansu otwarcia - data BO"), D::C(119)});
      d.L({D::C(62), D::C(63, ""), D::C(64, ""), D::C(80, "Pełny, Opis, Nazwa, Hasło, Bez niczego")});
      return true;
    case 140:
      fs.Begin(kGoSave);
      fs.Line({FieldDecl{"Dotychczasowe", "", 0, 8}});
      fs.Line({FieldDecl{"Nowe hasło"_w, "", 0, 8}});
      return true;
    case 143:
      fs.Begin(kGoRun);
      d.L(213);
      return true;
    case 10:
    case 49:
    case 50:
    case 51:
    case 52:
    case 53:
    case 118:
    case 131:
      fs.Begin(kGoRun);
      return true;
    default:
      return false;
  }
}

}  // namespace

bool bZestaw::nieMaOpcji(std::string_view owner, FieldSet& fields) {
  CheckOwner(owner, "nieMaOpcji");
  return DeclareFieldSet(OptionIndex, fields);
}

void bZestaw::WykonaOpc(std::string_view owner, OptionServices& window, FieldSet& fields) {
  CheckOwner(owner, "WykonaOpc");
  RunOptionProcedure(window, fields);
  // An option with field hooks may have changed its fields while it ran.
  if (OptionFieldHooksOf(OptionIndex) != nullptr && &fields == fields_) ShowOptionTexts();
  // The document window shows what storing changed: the counts, the number
  // and the emptied rows (the table stays where a refusal scrolled it).
  if (OptionIndex == kDocumentOptionIndex && form_) form_->ShowValuesAgain(false);
}

bool DeclareOptionFields(FieldSet& fields, bZestaw& module) {
  if (IsShellFieldSet(OptionIndex)) return DeclareShellFields(OptionIndex, fields, module);
  if (module.nieMaOpcji("bZestaw", fields)) return true;
  OptionKey = "..";
  OptionCaption = "opcja niedostępna"_w;
  fields.Begin(kGoClose);
  return false;
}

}  // namespace zel
