// The parameter window driven as a user drives it: typing, keys, clicks and
// runs, with the option procedures stood in for by recording lambdas.
#include "fields/zestaw_fixture.hpp"

#include "output/report_document.hpp"

namespace zel::test {
namespace {

void BuildReport() {
  RapStart("TEST", "Raport", 1);
  RapKol('l', 10, "Konto", "");
  RapNag("");
  RapWiersz("201", "");
}

// Option 39: Rocz; DaOd | DaDo (the last field is a date).
// Option 55: JPKo; Rocz; KonW; DaBO | DaOd | DaDo; Pod1 | Pod3 | Pod7; OpKo;
//            the cursor starts in slot 2.

TEST_F(ZestawTest, DayAloneTakesMonthAndYearFromTheFieldsDate) {
  Open(39);
  Click("DaOd");
  EXPECT_EQ(Editor(), "010624");
  Type("15");
  Enter();
  EXPECT_EQ(form.CurrentSlot(), Slot("DaOd"));  // the completed date waits for a second Enter
  EXPECT_EQ(Editor(), "150624");
  EXPECT_EQ(FromDate, Day("010624"));
  Enter();
  EXPECT_EQ(form.CurrentSlot(), Slot("DaDo"));
  EXPECT_EQ(FromDate, Day("150624"));
  EXPECT_EQ(Panel(Slot("DaOd")), "15-06-24");
}

TEST_F(ZestawTest, ImpossibleDateIsOfferedRolledOver) {
  Open(39);
  Click("DaOd");
  Type("3102");
  Enter();
  EXPECT_TRUE(status.Saw("Błędna postać daty", kWarning));
  EXPECT_EQ(Editor(), "020324");  // 2024 is a leap year: 31 February is 2 March
  EXPECT_EQ(form.CurrentSlot(), Slot("DaOd"));
  Enter();
  EXPECT_EQ(FromDate, Day("020324"));
  EXPECT_EQ(form.CurrentSlot(), Slot("DaDo"));
}

TEST_F(ZestawTest, EnterOnTheLastDateFieldRunsInsideTheBracket) {
  std::string period;
  int runs = 0;
  Procedure p(39, [&](OptionServices& w) {
    ++runs;
    period = WinToUtf8(w.PeriodText());
    EXPECT_EQ(form.State(), kZesRunning);
    EXPECT_TRUE(form.MemoShown());
    BuildReport();
  });
  Open(39);
  Click("DaDo");
  Enter();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(period, " za 06-2024");
  EXPECT_TRUE(status.Saw("Proszę czekać", kInfo));
  EXPECT_TRUE(status.Saw("Wykonuję -> e", kInfo));
  EXPECT_TRUE(status.Saw("Wykonane.", kInfo));
  EXPECT_EQ(host.previews, 1);
  // A finished run closes the window and brings the menu back.
  EXPECT_FALSE(form.Shown());
  EXPECT_EQ(desktop.kinds.back(), std::make_pair(3, 2));
}

TEST_F(ZestawTest, ReportIsFinishedOnceAndOnlyWhenTheRunBuiltOne) {
  bool finish_itself = false;
  bool build = true;
  Procedure p(39, [&](OptionServices&) {
    if (!build) return;
    BuildReport();
    if (finish_itself) RapKoniec();
  });
  struct Row {
    const char* name;
    bool build;
    bool finish_itself;
    int previews;
  } rows[] = {
      {"the window finishes the report", true, false, 1},
      {"the option finished it itself", true, true, 1},
      {"nothing was built", false, false, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    build = row.build;
    finish_itself = row.finish_itself;
    host.previews = 0;
    std::uint32_t before = CurrentReport().Generation();
    Open(39);
    form.ClickGo();
    EXPECT_EQ(host.previews, row.previews);
    if (!row.build) {
      EXPECT_EQ(CurrentReport().Generation(), before);
      continue;
    }
    const ReportDocument& doc = CurrentReport();
    ASSERT_EQ(doc.RowCount(), 2);  // the row and one closing "=" rule
    EXPECT_EQ(doc.RowKind(2), '3');
  }
}

TEST_F(ZestawTest, TabStaysOnSlotOneAndSkipsDisplayOnlySlots) {
  Open(55);
  EXPECT_EQ(form.CurrentSlot(), 2);
  Key(kKeyTab);
  EXPECT_EQ(form.CurrentSlot(), 1);
  EXPECT_EQ(form.MoveReason(), kMoveTab);
  Key(kKeyTab);
  EXPECT_EQ(form.CurrentSlot(), 1);

  Open(11);  // Robo | DekL | DekP (display-only); NDow | DatD | DatF; ...
  Click("NDow");
  ASSERT_EQ(form.CurrentSlot(), 4);
  Key(kKeyTab);
  EXPECT_EQ(form.CurrentSlot(), 1);
}

TEST_F(ZestawTest, EndDateBeforeStartIsFilledWithTheStartDate) {
  FromDate = Day("100624");
  ToDate = 0;
  Open(39);
  Click("DaDo");
  EXPECT_EQ(Editor(), "100624");

  // A typed end date before the start keeps its text but takes the start
  // date as its template (F6 completes from it).
  ToDate = Day("050624");
  Open(39);
  Click("DaDo");
  EXPECT_EQ(Editor(), "050624");
  form.SetEditorText("");
  Key(kKeyF6);
  EXPECT_EQ(Editor(), "100624");
}

TEST_F(ZestawTest, SummaryDepthsMustDeepen) {
  int runs = 0;
  Procedure p(55, [&](OptionServices&) { ++runs; });
  Open(55);
  ASSERT_EQ(form.EnterField("Pod1", "3"), EnterResult::kAccepted);
  ASSERT_EQ(form.EnterField("Pod3", "2"), EnterResult::kAccepted);
  ASSERT_EQ(form.EnterField("Pod7", "0"), EnterResult::kAccepted);
  form.ClickGo();
  EXPECT_EQ(runs, 0);
  EXPECT_EQ(form.CurrentSlot(), Slot("Pod1"));

  ASSERT_EQ(form.EnterField("Pod3", "0"), EnterResult::kAccepted);
  form.ClickGo();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(DbSettings.depths[0], 3);
  EXPECT_EQ(DbSettings.depths[1], 0);
}

TEST_F(ZestawTest, DepthsAreForcedIntoTheirRange) {
  Open(55);
  Click("Pod7");
  Type("99");
  Enter();
  EXPECT_EQ(Editor(), "25");
  EXPECT_EQ(form.CurrentSlot(), Slot("Pod7"));
}

int EntryIndex(const FZestaw& form, const std::string& utf8) {
  const auto& a = form.Actions();
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (WinToUtf8(a[i].text) == utf8) return static_cast<int>(i);
  }
  return -1;
}

TEST_F(ZestawTest, ActionChoiceSetsTheGoCaption) {
  Open(11);  // action set 3 / "P-K" with the print bar
  ASSERT_TRUE(form.PrintBarShown());
  ASSERT_EQ(form.Actions().size(), 12u);
  EXPECT_EQ(WinToUtf8(form.Actions()[0].text), " Podgląd");

  struct Row {
    const char* entry;
    const char* caption;
    const char* code;
  } rows[] = {
      {" Oryginał + kopia", "Druk: Oryginał + kopia", "ok"},
      {" 2 egzemplarze", "Wykonaj:  2 egzemplarze", "ee"},
      {" Podgląd", "Wykonaj:  Podgląd", "p"},
      {" 3 kopie", "Druk: 3 kopie", "klm"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.entry);
    int i = EntryIndex(form, row.entry);
    ASSERT_GE(i, 0);
    form.ChooseAction(i);
    EXPECT_EQ(Go(), row.caption);
    EXPECT_EQ(WinToUtf8(form.Actions()[static_cast<std::size_t>(i)].code.str()), row.code);
  }
}

TEST_F(ZestawTest, RememberedChoiceAndSavingTheDefault) {
  host.choices["P-K"] = 7;  // 1-based: "Oryginał + kopia"
  Open(11);
  EXPECT_EQ(form.SelectedAction(), 6);
  EXPECT_EQ(Go(), "Druk: Oryginał + kopia");
  EXPECT_FALSE(form.DefaultChoiceEnabled());
  form.ChooseAction(2);
  EXPECT_TRUE(form.DefaultChoiceEnabled());
  form.ClickDefaultChoice();
  EXPECT_EQ(host.choices["P-K"], 3);
  EXPECT_FALSE(form.DefaultChoiceEnabled());

  host.choices["P-K"] = 99;  // out of range: the first entry
  Open(11);
  EXPECT_EQ(form.SelectedAction(), 0);
}

TEST_F(ZestawTest, PrintBarWithoutActionSetWarnsTheDeveloper) {
  Open(92);
  EXPECT_TRUE(form.PrintBarShown());
  ASSERT_EQ(form.Actions().size(), 1u);
  EXPECT_EQ(host.developer_messages, std::vector<std::string>{"Wykonaj Shift-Ins w bZestaw.nieMaOpcji"});
  EXPECT_EQ(host.developer_texts,
            std::vector<std::string>{"Wymaga się ustawienia Czyn i Dok w bZestaw przed FZestaw.Jo (...);"});

  Open(39);  // no print bar: the single entry "Zapis" and the Go caption of the field set
  EXPECT_FALSE(form.PrintBarShown());
  ASSERT_EQ(form.Actions().size(), 1u);
  EXPECT_EQ(form.ActionCode(), "");
  EXPECT_EQ(Go(), "Wykonaj");
}

TEST_F(ZestawTest, PdfNeedsAPdfPrinter) {
  int runs = 0;
  std::string printer_in_run;
  Procedure p(39, [&](OptionServices&) {
    ++runs;
    printer_in_run = host.current;
  });
  host.printers = {"HP LaserJet"};
  host.current = "HP LaserJet";
  Open(39);
  EXPECT_FALSE(form.PdfEnabled());
  form.Run(kRunPdf);
  EXPECT_EQ(runs, 0);
  EXPECT_EQ(form.CurrentSlot(), 3);
  EXPECT_EQ(form.State(), kZesWaiting);

  host.printers = {"HP LaserJet", "Microsoft Print to PDF", "PDF24", "Brother"};
  EXPECT_TRUE(form.PdfEnabled());
  form.Run(kRunPdfOriginal);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(printer_in_run, "PDF24");
  EXPECT_EQ(host.current, "HP LaserJet");
  EXPECT_TRUE(status.Saw("Wykonuję -> o"));
}

TEST_F(ZestawTest, RunModesGiveTheirActionCodes) {
  std::string code;
  Procedure p(39, [&](OptionServices&) { code = std::string(form.ActionCode()); });
  struct Row {
    std::uint8_t mode;
    const char* code;
  } rows[] = {{kRunSave, ""}, {kRunPreview, "p"}, {kRunPdfRight, "d"}, {kRunGo, "e"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.code);
    Open(39);
    form.Run(row.mode);
    EXPECT_EQ(code, row.code);
  }
  Open(39);
  form.RunFromViewer("ok");
  EXPECT_EQ(code, "ok");
}

TEST_F(ZestawTest, EmptyWindowShowsTheCaptionLineAndRunsFromGo) {
  Open(10);
  ASSERT_EQ(form.SlotCount(), 1);
  EXPECT_EQ(WinToUtf8(form.Fields().Slot(1).label.str()), "Enter, Wykonaj = TAK,  Esc, Anuluj = NIE");
  EXPECT_EQ(form.CurrentSlot(), 0);
  Enter();
  EXPECT_FALSE(status.Saw("Proszę czekać"));
  EXPECT_TRUE(form.Shown());

  form.ClickGo();
  EXPECT_TRUE(status.Saw("Wykonuję -> e"));

  Open(10);
  form.ClickEsc();
  EXPECT_FALSE(form.Shown());
  EXPECT_EQ(OptionIndex, 0);
  EXPECT_EQ(desktop.kinds.back(), std::make_pair(3, 2));
}

TEST_F(ZestawTest, UnavailableOptionGetsTheClosingButtonOnly) {
  Open(86);
  EXPECT_EQ(WinToUtf8(form.Title()), ".. - opcja niedostępna");
  EXPECT_EQ(Go(), "Zamknij");
  EXPECT_EQ(form.SlotCount(), 1);  // the caption line
}

TEST_F(ZestawTest, PanelsDoubleTheAmpersandAndAlignLeadingSpaces) {
  Open(31);  // Rocz; Text "Poszukać"; Rob1; Rob2
  Click("Text");
  Type("A&B");
  Enter();
  EXPECT_EQ(Panel(Slot("Text")), "A&&B");
  EXPECT_EQ(OptionText(104), "A&B");
  Key(kKeyTab);
  EXPECT_EQ(Editor(), "A&B");

  int rocz = Slot("Rocz");
  form.PutValue(rocz, "   12  345 ");
  EXPECT_EQ(Panel(rocz), "12 345");
  EXPECT_TRUE(form.PanelRight(rocz));
  form.PutValue(rocz, "N2024");
  EXPECT_FALSE(form.PanelRight(rocz));
}

TEST_F(ZestawTest, TypingFiltersByField) {
  Open(55);
  Click("DaOd");  // digits only; the caret follows the deletions
  form.SetEditorText("1a5-0");
  EXPECT_EQ(Editor(), "150");
  EXPECT_EQ(form.Editor().caret, 3);
  form.SetEditorText("150624");
  Click("Rocz");  // typed in upper case; a leading space is dropped
  Type(" n2024");
  EXPECT_EQ(Editor(), "N2024");
  Type("XYZW");  // eight characters at most
  EXPECT_EQ(Editor(), "N2024XYZ");
}

TEST_F(ZestawTest, F3AndF4AnswerWhereTheFieldHasNone) {
  Open(55);
  Click("DaOd");
  Key(kKeyF3);
  EXPECT_TRUE(status.Saw("Tu  F3  nie działa !", kInfo));
  Key(kKeyF4);
  ASSERT_EQ(desktop.lists.size(), 1u);
  EXPECT_EQ(desktop.lists[0].return_kind, 55);
  EXPECT_EQ(desktop.lists[0].list, 68);
  EXPECT_EQ(desktop.lists[0].key, kKeyF4);

  Click("Pod1");
  Key(kKeyF5);
  EXPECT_TRUE(status.Saw("Tu  F4 i F5  nie działa !", kInfo));
  EXPECT_EQ(desktop.lists.size(), 1u);

  Click("Rocz");
  Key(kKeyF5);
  ASSERT_EQ(desktop.lists.size(), 2u);
  EXPECT_EQ(desktop.lists[1].list, 90);
  EXPECT_EQ(desktop.lists[1].key, kKeyF5);
  EXPECT_EQ(form.LastListPattern(), "DFX");
}

TEST_F(ZestawTest, HintListAnswersComeBackIntoTheEditor) {
  Open(55);
  Click("DaOd");
  Type("12");
  Key(kKeyF4);
  EXPECT_EQ(WinToUtf8(form.SavedEditorText()), "12");
  form.SetReturnText("200624");
  form.Go(4);
  EXPECT_EQ(form.CurrentSlot(), Slot("DaOd"));
  EXPECT_EQ(FromDate, Day("200624"));

  Type("13");
  Key(kKeyF4);
  form.SetReturnText("");
  form.Go(5);  // Esc in the list: the typed text comes back
  EXPECT_EQ(Editor(), "13");
}

TEST_F(ZestawTest, F3WindowReturnsItsValue) {
  Open(31);  // Rocz; Text; Rob1; Rob2
  Click("Text");
  form.SetReturnText("SZUKANE");
  form.Go(2);
  EXPECT_EQ(form.CurrentSlot(), Slot("Text"));
  EXPECT_EQ(OptionText(104), "SZUKANE");

  // The placeholder handed back moves the cursor on.
  form.SetReturnText(std::string(kPlaceholder));
  form.Go(2);
  EXPECT_EQ(form.CurrentSlot(), Slot("Rob1"));

  form.SetReturnText("");
  form.Go(3);  // Esc in the F3 window: the same slot again
  EXPECT_EQ(form.CurrentSlot(), Slot("Rob1"));
}

TEST_F(ZestawTest, ClickOnAPanelEntersItsSlot) {
  Open(55);
  const FieldSlot& pod3 = form.Fields().Slot(Slot("Pod3"));
  form.ClickAt(pod3.left + 2, pod3.top + 2);
  EXPECT_EQ(form.CurrentSlot(), Slot("Pod3"));
  EXPECT_EQ(form.MoveReason(), kMoveClick);
  form.ClickAt(0, 0);  // outside every panel: the same slot again
  EXPECT_EQ(form.CurrentSlot(), Slot("Pod3"));

  form.RightClickEsc();
  EXPECT_FALSE(form.Shown());
  EXPECT_EQ(form.RememberedPosition(55).top, 0);
}

TEST_F(ZestawTest, FieldErrorShowsOnGoUntilTheCursorMoves) {
  Procedure p(55, [&](OptionServices& w) {
    w.FieldError(116, "Popraw datę BO"_w);
  });
  Open(55);
  form.ClickGo();
  EXPECT_EQ(Go(), "Popraw datę BO");
  EXPECT_TRUE(form.GoRed());
  EXPECT_EQ(form.CurrentSlot(), Slot("DaBO"));
  EXPECT_EQ(host.previews, 0);
  EXPECT_TRUE(form.Shown());
  EXPECT_FALSE(status.Saw("Wykonane."));
  Click("Rocz");
  EXPECT_EQ(Go(), "Wykonaj");
  EXPECT_FALSE(form.GoRed());
}

TEST_F(ZestawTest, ProgressShowsTheFirstFiveAndEveryHundredth) {
  Procedure p(55, [&](OptionServices& w) {
    for (int i = 1; i <= 1234; ++i) w.Progress("Czytam", i, 1234);
  });
  Open(55);
  form.ClickGo();
  ASSERT_EQ(host.progress.size(), 17u);
  EXPECT_EQ(host.progress[0], "Czytam|        1 z     1.234");
  EXPECT_EQ(host.progress[5], "Czytam|      100 z     1.234");
  EXPECT_EQ(host.progress[16], "Czytam|    1.200 z     1.234");
}

TEST_F(ZestawTest, EscDuringARunAbortsAndReturnsToTheLastSlot) {
  int read = 0;
  Procedure p(55, [&](OptionServices& w) {
    for (int i = 1; i <= 1000 && !w.AbortRequested(); ++i) {
      ++read;
      w.Progress("Czytam", i, 1000);
    }
  });
  host.on_messages = [&] { form.PressKey(kKeyEsc); };
  Open(55);
  form.ClickGo();
  EXPECT_EQ(read, 1);
  EXPECT_EQ(form.CurrentSlot(), Slot("OpKo"));
  EXPECT_EQ(form.State(), kZesWaiting);
  EXPECT_EQ(host.previews, 0);
  EXPECT_TRUE(form.Shown());
}

TEST_F(ZestawTest, ProcedureWithoutImplementationKeepsTheWindow) {
  Open(55);  // nothing registered for 55 in this test
  Click("Rocz");
  form.ClickGo();
  EXPECT_TRUE(form.Shown());
  EXPECT_EQ(form.CurrentSlot(), Slot("OpKo"));
  EXPECT_FALSE(status.Saw("Wykonane."));
}

TEST_F(ZestawTest, TrialBalanceFieldsStoreIntoTheOptionValues) {
  Open(55);
  EXPECT_EQ(form.EnterField("JPKo", "t"), EnterResult::kAccepted);
  EXPECT_EQ(form.EnterField("Rocz", "n2024"), EnterResult::kAccepted);
  EXPECT_EQ(form.EnterField("KonW", "20*"), EnterResult::kAccepted);
  EXPECT_EQ(form.EnterField("DaBO", "311223"), EnterResult::kAccepted);
  EXPECT_EQ(form.EnterField("DaOd", "15"), EnterResult::kCorrected);
  EXPECT_EQ(form.EnterField("DaDo", "3102"), EnterResult::kRefused);
  EXPECT_EQ(form.EnterField("OpKo", "h"), EnterResult::kCorrected);
  EXPECT_EQ(form.EnterField("Nope", "1"), EnterResult::kNoField);
  EXPECT_EQ(form.EnterField("Rocz", "N2024ABCD"), EnterResult::kCorrected);  // eight characters
  EXPECT_EQ(form.EnterField("Rocz", "n2024"), EnterResult::kAccepted);

  EXPECT_TRUE(Options.with_jpk);
  EXPECT_EQ(DbSettings.annual_journal.view(), "N2024");
  ASSERT_EQ(Options.masks.count, 1);
  EXPECT_EQ(Options.masks.masks[0].view(), "20*");
  EXPECT_EQ(BoDate, Day("311223"));
  EXPECT_EQ(FromDate, Day("150624"));
  EXPECT_EQ(ToDate, Day("300624"));  // the impossible date was not taken
  EXPECT_EQ(DbSettings.opis_kont, 'H');

  EXPECT_EQ(form.EnterField("KonW", ""), EnterResult::kAccepted);
  EXPECT_EQ(Options.masks.count, 0);
}

TEST_F(ZestawTest, HorizonDateCompletesLikeTheWindowsDates) {
  Open(67);  // Std; DaDo; DaHo; DatD | WalJ
  Click("DaHo");
  EXPECT_EQ(Editor(), "300624");  // no stored horizon: the period's end
  Type("1a2");
  EXPECT_EQ(Editor(), "12");
  Enter();
  EXPECT_EQ(Editor(), "120624");
  Enter();
  EXPECT_EQ(DbSettings.horizon, Day("120624"));
  EXPECT_EQ(OptionText(43), "120624");
  EXPECT_EQ(form.EnterField("DaHo", "3002"), EnterResult::kRefused);
  EXPECT_EQ(DbSettings.horizon, Day("120624"));
}

TEST_F(ZestawTest, SeveralMasksShowThePlaceholderThatOpensTheirWindow) {
  Options.masks.Add("20*");
  Options.masks.Add("40*");
  Open(55);
  Click("KonW");
  EXPECT_EQ(form.Editor().text, std::string(kPlaceholder));
  Enter();
  EXPECT_EQ(desktop.kinds.back(), std::make_pair(125, 1));
  EXPECT_EQ(form.CurrentSlot(), Slot("KonW"));
  Click("Rocz");  // leaving keeps the list
  EXPECT_EQ(Options.masks.count, 2);
}

TEST_F(ZestawTest, LoginNameSetsTheGoCaptionAndPasswordsAreMasked) {
  Open(1);
  ASSERT_EQ(form.CurrentSlot(), 1);
  Type("jan");
  Enter();
  EXPECT_EQ(Go(), "Zaloguj");
  EXPECT_EQ(form.CurrentSlot(), 2);
  EXPECT_TRUE(form.Editor().password);
  Type("tajne");
  Key(kKeyTab);
  EXPECT_EQ(Panel(2), "@@@@@");
  EXPECT_EQ(ShellFields.password.view(), "tajne");
}

TEST_F(ZestawTest, UpAndDownStepTheAppearanceFields) {
  Open(135);
  int size = Slot("OkWi");
  form.ClickSlot(size);
  EXPECT_EQ(Editor(), "11");
  Key(kKeyUp);
  EXPECT_EQ(Editor(), "12");
  Key(kKeyDown);
  Key(kKeyDown);
  EXPECT_EQ(Editor(), "10");
  form.SetEditorText("16");
  Key(kKeyUp);
  EXPECT_EQ(Editor(), "16");

  Click("OkBo");
  EXPECT_EQ(Editor(), "Bold");
  Key(kKeyDown);
  EXPECT_EQ(Editor(), "----");

  Click("OkFo");
  Key(kKeyDown);
  EXPECT_EQ(Editor(), "d Courier New");
  Key(kKeyUp);
  Key(kKeyUp);
  EXPECT_EQ(Editor(), "b Comic Sans MS");
}

TEST_F(ZestawTest, SystemFieldsCompleteOnLeaving) {
  Open(135);
  struct Row {
    const char* code;
    const char* typed;
    const char* completed;
  } rows[] = {
      {"OkFo", "ver", "v Verdana"}, {"OkBo", "b", "Bold"},  {"OkWi", "40", "16"},
      {"OkMx", "1", "3"},           {"OkEm", "9", "4"},     {"RaPo", "p", "PG"},
      {"RaPo", "xs1", "CS1"},       {"RzN2", "x", "T"},     {"RaWy", "9999", "765"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.code);
    Click(row.code);
    form.SetEditorText(row.typed);
    Enter();
    EXPECT_EQ(Editor(), row.completed);
    EXPECT_EQ(form.CurrentSlot(), Slot(row.code));
    EXPECT_EQ(form.MoveReason(), kMoveCorrected);
  }
}

TEST_F(ZestawTest, EmptySystemFieldsOpenTheirListsOrTakeDefaults) {
  Open(135);
  struct Row {
    const char* code;
    std::uint16_t key;
    int list;           // list opened, 0 none
    const char* editor;  // editor text afterwards
  } rows[] = {
      {"OkFo", kKeyEnter, 70, ""},  {"OkBo", kKeyEnter, 66, ""}, {"OkWi", kKeyEnter, 67, ""},
      {"RaPo", kKeyEnter, 80, ""},  {"RaWy", kKeyEnter, 81, ""}, {"RzMa", kKeyF4, 79, ""},
      {"OkMx", kKeyEnter, 0, "1"},  {"OkMx", kKeyF4, 0, "15"},   {"OkEm", kKeyF4, 0, "2"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.code);
    Click(row.code);
    form.SetEditorText("");
    std::size_t lists = desktop.lists.size();
    Key(row.key);
    EXPECT_EQ(form.CurrentSlot(), Slot(row.code));
    EXPECT_EQ(Editor(), row.editor);
    if (row.list == 0) {
      EXPECT_EQ(desktop.lists.size(), lists);
    } else {
      ASSERT_EQ(desktop.lists.size(), lists + 1);
      EXPECT_EQ(desktop.lists.back().list, row.list);
    }
    form.SetEditorText(form.SlotValue(form.CurrentSlot()));  // leave the field as it was
  }
  Click("RaMa");  // field 17 has no list at all
  Key(kKeyF4);
  EXPECT_TRUE(status.Saw("Tu  F4 i F5  nie działa !", kInfo));
}

TEST_F(ZestawTest, FolderAndChartAreCheckedBeforeTheRun) {
  ShortFolder dir;  // the folder field takes eight characters
  Open(138);  // DirJ 31; BazJ 32
  ASSERT_EQ(form.EnterField("DirJ", dir.Path()), EnterResult::kAccepted);
  ASSERT_EQ(form.EnterField("BazJ", "Plan.24"), EnterResult::kCorrected);
  EXPECT_EQ(ShellFields.edit_chart.view(), "Plan24");
  form.ClickGo();
  EXPECT_EQ(form.CurrentSlot(), 1);  // no chart file at all in the folder
  EXPECT_TRUE(host.shell_runs.empty());

  dir.Touch("Inny.PFX");
  form.ClickGo();
  EXPECT_EQ(form.CurrentSlot(), 2);  // the named chart is missing
  EXPECT_TRUE(host.shell_runs.empty());

  dir.Touch("Plan24.PFX");
  form.ClickGo();
  EXPECT_EQ(host.shell_runs, std::vector<std::uint8_t>{138});
}

TEST_F(ZestawTest, WorkingFileOnTheLastSlotRunsWhenItExists) {
  TempFolder dir;
  DbDir = dir.Path() + "\\";
  dir.Touch("DOK.DFX");
  Open(36);  // only Robo
  Type("DOK");
  Enter();
  EXPECT_EQ(DbSettings.working_journal.view(), "DOK");
  EXPECT_TRUE(status.Saw("Wykonuję -> e"));
}

// Option 92: NKUz | NKNr | NKDn (slots 1-3); the table header (4); six rows
// of NKOp, NKKw (5..16); the footer "Suma" (17).
TEST_F(ZestawTest, TableBlockScrollsWithEnterWhileTheFirstRowIsBelowSix) {
  Open(92);
  ASSERT_EQ(form.SlotCount(), 17);
  form.ClickSlot(15);
  Type("ostatni");
  Enter();
  ASSERT_EQ(form.CurrentSlot(), 16);
  for (int expected = 2; expected <= 6; ++expected) {
    SCOPED_TRACE(expected);
    Enter();
    EXPECT_EQ(form.FirstShownRow(), expected);
    EXPECT_EQ(form.CurrentSlot(), 15);
    EXPECT_EQ(form.MoveReason(), kMoveScrollDown);
    Enter();
    EXPECT_EQ(form.CurrentSlot(), 16);
  }
  EXPECT_EQ(Options.rows[5][0].view(), "ostatni");
  EXPECT_EQ(Panel(5), "ostatni");  // row 6 now shows on the first visible line
  Enter();  // first shown row 6: no more scrolling, the option runs
  EXPECT_EQ(form.FirstShownRow(), 6);
  EXPECT_TRUE(status.Saw("Wykonuję -> p"));
}

TEST_F(ZestawTest, TableBlockScrollsWithDownUpToRowForty) {
  Open(92);
  form.ClickSlot(15);
  for (int i = 0; i < 39; ++i) Key(kKeyDown);
  EXPECT_EQ(form.FirstShownRow(), 40);
  EXPECT_EQ(form.CurrentSlot(), 15);
  EXPECT_EQ(form.CurrentRow(), 45);
  EXPECT_FALSE(status.Saw("Proszę czekać"));
  Key(kKeyDown);  // leaves the block forwards: past the last slot the option runs
  EXPECT_TRUE(status.Saw("Proszę czekać"));
}

TEST_F(ZestawTest, TableBlockScrollsBackWithUpAndTab) {
  Open(92);
  form.ClickSlot(15);
  Key(kKeyDown);
  Key(kKeyDown);
  ASSERT_EQ(form.FirstShownRow(), 3);
  form.ClickSlot(6);  // first visible row, second column
  Key(kKeyUp);
  EXPECT_EQ(form.FirstShownRow(), 2);
  EXPECT_EQ(form.MoveReason(), kMoveScrollUp);
  EXPECT_EQ(form.CurrentSlot(), 6);
  form.ClickSlot(5);
  Key(kKeyTab);
  EXPECT_EQ(form.FirstShownRow(), 1);
  EXPECT_EQ(form.CurrentSlot(), 6);
  Key(kKeyUp);  // first row shown is 1: the cursor leaves the block
  EXPECT_EQ(form.CurrentSlot(), 3);
}

TEST_F(ZestawTest, PageKeys) {
  int runs = 0;
  Procedure p(55, [&](OptionServices&) { ++runs; });
  Open(55);
  Click("OpKo");
  Key(kKeyPageUp);
  EXPECT_EQ(form.CurrentSlot(), 1);
  Key(kKeyPageDown);
  EXPECT_EQ(runs, 1);
}

TEST_F(ZestawTest, TemplateKeysCompleteFromTheCaret) {
  Open(55);
  Click("DaOd");  // template 010624
  form.SetEditorText("15");
  Key(kKeyF7);
  EXPECT_EQ(Editor(), "150624");
  EXPECT_EQ(form.Editor().caret, 6);
}

TEST_F(ZestawTest, WindowIsCentredOrClampedIntoTheDesktop) {
  Open(55);
  EXPECT_EQ(form.Frame().left, (host.DesktopWidth() - form.Frame().width) / 2);
  form.ClickEsc();
  EXPECT_EQ(form.RememberedPosition(55).left, form.Frame().left);
  form.SetRememberedPosition(55, Point16{5000, -50});
  Open(55);
  EXPECT_EQ(form.Frame().left, host.DesktopWidth() - form.Frame().width - 4);
  EXPECT_EQ(form.Frame().top, -1);
}

TEST_F(ZestawTest, LinesAreRightAligned) {
  Open(55);
  const FieldSet& fs = form.Fields();
  int right = fs.Slot(Slot("OpKo")).right;
  for (const char* code : {"JPKo", "Rocz", "KonW", "DaDo", "Pod7"}) {
    SCOPED_TRACE(code);
    EXPECT_EQ(fs.Slot(Slot(code)).right, right);
  }
  EXPECT_GE(form.AreaWidth(), right + 15);
}

TEST_F(ZestawTest, TableHeaderTitlesStandAboveTheirColumns) {
  Open(92);
  const FieldSet& fs = form.Fields();
  const FieldSlot& header = fs.Slot(4);
  std::string label = WinToUtf8(header.label.str());
  EXPECT_EQ(label.rfind(" Treść noty", 0), 0u);
  std::string win = header.label.str();
  std::size_t at = win.find(" Kwota pozycji");
  ASSERT_NE(at, std::string::npos);
  int target = fs.Slot(6).left - header.label_left - form.Look().spacing_x - 5;
  EXPECT_NEAR(static_cast<int>(at) * 8, target, 8);
  EXPECT_EQ(fs.Slot(17).label_left, fs.Slot(5).left);  // "Suma" under the first column
}

TEST_F(ZestawTest, HooksReportAWrongOwner) {
  std::string value = "x";
  Open(55);
  module.nUzupeEdit("aZestaw", Slot("Rocz"), value);
  EXPECT_TRUE(status.Saw("nUzupeEdit ma być w bZestaw a nie w aZestaw", kWarning));
  EXPECT_EQ(value, "x");
}

TEST_F(ZestawTest, MemoTakesTheKeysDuringABracketedRun) {
  Procedure p(55, [&](OptionServices& w) {
    form.PressKey(kKeyF4);
    for (int i = 0; i < 3 && !w.AbortRequested(); ++i) {
      if (i == 1) form.PressKey(kKeyEsc);
    }
  });
  Open(55);
  form.ClickGo();
  EXPECT_TRUE(status.Saw("Key = #115", kInfo));
  EXPECT_EQ(form.CurrentSlot(), Slot("OpKo"));
}

}  // namespace
}  // namespace zel::test
