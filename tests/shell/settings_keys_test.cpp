#include "shell/settings_keys.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "platform/zel_test_folder.hpp"
#include "shell/settings.hpp"
#include "shell/state.hpp"
#include "shell/status_recorder.hpp"

namespace zel {
namespace {

using testing::StatusRecorder;
using testing::ZelTestFolder;

class SettingsKeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StationExt = ".xxx";
    DbDir = "FIRMA\\";
    ChartName = "PLAN";
    ForWhom = "Kelto-Soft";
    BoDate = DayFromDdMmYy("010118");
    BzDate = DayFromDdMmYy("311218");
    NetworkMode = false;
    FirmName = "";
    FirmId = "";
    mkdir(dir.Native("#").c_str(), 0777);
    mkdir(dir.Native("FIRMA").c_str(), 0777);
  }
  void TearDown() override {
    StationExt = "";
    DbDir = "";
    ChartName = "";
    ChartPath = "";
    ForWhom = "Kelto-Soft";
    NetworkMode = false;
  }

  ZelTestFolder dir;
  StatusRecorder rec;
};

TEST_F(SettingsKeysTest, MissingFilesKeepEveryDefault) {
  WorkstationSettings ws;
  DatabaseSettings db;
  NetworkMode = true;
  ReadAllSettings(ws, db);
  EXPECT_EQ(ws.window_font.font.view(), "c Consolas");
  EXPECT_EQ(ws.window_font.style.view(), "Bold");
  EXPECT_EQ(ws.window_sizes[0], 11);
  EXPECT_EQ(ws.report_font.style.view(), "----");
  EXPECT_EQ(ws.report_font.number1, 600);
  EXPECT_TRUE(ws.report_font1_used);
  EXPECT_EQ(ws.report_font1.size, 10);
  EXPECT_EQ(ForWhom.view(), "Kelto-Soft");
  EXPECT_EQ(DayToText10(BoDate), "01-01-2018");
  EXPECT_EQ(FromDate, BoDate + 1);
  EXPECT_EQ(ToDate, BzDate);
  EXPECT_EQ(db.depths[1], 1);
  EXPECT_FALSE(NetworkMode) << "FirmUsSi field 3 defaults to no";
  EXPECT_EQ(db.pcnd.view(), "12");
  EXPECT_TRUE(db.prwa);
  EXPECT_EQ(db.loiz.view(), "EFGHPR");
  EXPECT_EQ(db.rdup.view(), "WN IM IU JU OO");
  EXPECT_EQ(db.wspv, 77);
  EXPECT_EQ(db.opis_kont, 'N');
  EXPECT_EQ(db.wn_ma_sa_ld, 'W');
  EXPECT_EQ(db.horizon, ToDate);
  EXPECT_EQ(ChartPath.view(), "FIRMA\\PLAN.PFX");
  EXPECT_TRUE(rec.shown.empty());
}

TEST_F(SettingsKeysTest, RecordsPresentGiveTheirFields) {
  dir.Put(
      "#/Zel.BAL",
      Utf8ToWin(
          "\r\n DirxBaza.xxx = C:\\DANE\\2024\\;PLAN1\r\n sDirBaza.xxx = FIRMA;KONTA\r\n"
          " KonOkien.xxx = c Mono;----;10;8;5;5;3;2;1\r\n KonRapE0.xxx = Arial;Bold;9;XY;500;2\r\n"
          " KonPrint.xxx = Times;----"));
  dir.Put(
      "FIRMA/Zel.BAL",
      Utf8ToWin(
          "\r\n Dla kogo.xxx = Biuro Łódź\r\n DatyBOBZ.??? = 01-04-2024;31-03-2025\r\n"
          " GlebPods.xxx = 1;;5\r\n FirmUsSi.xxx = Firma;PL123;T;N\r\n FolderIE.xxx = D:\\TIE\r\n"
          " ZbRoczny.xxx = N2024\r\n PCNDZKK6.xxx = ;T\r\n ZZwAPRwA.xxx = T;N\r\n"
          " WspVRwgS.xxx = ;T\r\n FoldPlan.xxx = PLANY\r\n OpisKont.xxx = Pełny\r\n"
          " DatHoryz.xxx = 300625\r\n ForPrzyg.xxx = FORM;AB;CD\r\n DeklVat7.xxx = nagłówek"));
  WorkstationSettings ws;
  DatabaseSettings db;
  NetworkMode = true;
  ReadAllSettings(ws, db);
  EXPECT_EQ(ws.dirx_folder.view(), "C:\\DANE\\2024\\");
  EXPECT_EQ(ws.dirx_chart.view(), "PLAN1");
  EXPECT_EQ(ws.short_folder.view(), "FIRMA");
  EXPECT_EQ(ws.short_chart.view(), "KONTA");
  EXPECT_EQ(ws.window_font.font.view(), "c Mono");
  EXPECT_EQ(ws.window_sizes[6], 1);
  EXPECT_EQ(ws.report_font.letters.view(), "XY");
  EXPECT_TRUE(ws.report_font1_used);
  EXPECT_EQ(ws.report_font1.font.view(), "Arial") << "KonRapE1 missing: the KonRapE0 read";
  EXPECT_EQ(ws.print_font.font.view(), "Times");
  EXPECT_EQ(ForWhom.view(), "Biuro Łódź"_w);
  EXPECT_EQ(DayToText10(BoDate), "01-04-2024");
  EXPECT_EQ(DayToText10(BzDate), "31-03-2025");
  EXPECT_EQ(db.depths[0], 1);
  EXPECT_EQ(db.depths[1], 0) << "an empty field is 0, as 0 is written";
  EXPECT_EQ(FirmName.view(), "Firma");
  EXPECT_EQ(FirmId.view(), "PL123");
  EXPECT_TRUE(NetworkMode);
  EXPECT_FALSE(db.firm_flag);
  EXPECT_EQ(db.import_folder.view(), "D:\\TIE");
  EXPECT_EQ(db.annual_journal.view(), "N2024");
  EXPECT_EQ(db.pcnd.view(), "");
  EXPECT_TRUE(db.zkk6);
  EXPECT_TRUE(db.zzwa);
  EXPECT_FALSE(db.prwa);
  EXPECT_EQ(db.wspv, 0);
  EXPECT_TRUE(db.rwgs);
  EXPECT_EQ(db.chart_dir.view(), "PLANY");
  EXPECT_EQ(db.opis_kont, 'P');
  EXPECT_EQ(DayToText10(db.horizon), "30-06-2025");
  EXPECT_EQ(db.forms_key.view(), "FORM");
  EXPECT_EQ(db.forms_choice3.view(), "CD");
  EXPECT_EQ(db.vat7_header.view(), "nagłówek"_w);
}

TEST_F(SettingsKeysTest, CloseWritesWhatTheNextStartReadsBack) {
  WorkstationSettings ws;
  ws.window_font.font = "Arial";
  ws.window_sizes = {12, 8, 0, 6, 4, 3, 2};
  ws.report_font1_used = false;
  ws.print_font.style = "----";
  DatabaseSettings db;
  db.depths = {2, 0, 3};
  db.import_folder = "TIE";
  db.working_journal = "R2024";
  db.annual_journal = "N2024";
  db.horizon = DayFromDdMmYy("150624");
  db.forms_key = "F1";
  db.audit_choices = "ABC";
  ForWhom = "Biuro";
  FromDate = DayFromDdMmYy("020124");
  ToDate = DayFromDdMmYy("311224");
  WriteAllSettingsAtClose(ws, db);
  EXPECT_EQ(DayToText10(BoDate), "01-01-2024");
  EXPECT_EQ(DayToText10(BzDate), "31-12-2024");

  const std::string station = dir.Get("#/Zel.BAL");
  EXPECT_NE(station.find(" KonOkien.xxx = Arial;Bold;12;8;;6;4;3;2"), std::string::npos) << station;
  EXPECT_NE(station.find(" KonRapE1.xxx = N;c Consolas;----;10;CG;600;1"), std::string::npos);
  const std::string database = dir.Get("FIRMA/Zel.BAL");
  EXPECT_NE(database.find(" DatyBOBZ.xxx = 01-01-2024;31-12-2024"), std::string::npos) << database;
  EXPECT_NE(database.find(" GlebPods.xxx = 2;;3"), std::string::npos);
  EXPECT_NE(database.find(" DatHoryz.xxx = 150624"), std::string::npos);

  WorkstationSettings ws2;
  DatabaseSettings db2;
  BoDate = BzDate = 1;
  ForWhom = "";
  ReadAllSettings(ws2, db2);
  EXPECT_EQ(ws2.window_font.font.view(), "Arial");
  EXPECT_EQ(ws2.window_sizes, ws.window_sizes);
  EXPECT_FALSE(ws2.report_font1_used);
  EXPECT_EQ(ws2.print_font.style.view(), "----");
  EXPECT_EQ(db2.depths, db.depths);
  EXPECT_EQ(db2.import_folder.view(), "TIE");
  EXPECT_EQ(db2.working_journal.view(), "R2024");
  EXPECT_EQ(db2.horizon, db.horizon);
  EXPECT_EQ(db2.audit_choices.view(), "ABC");
  EXPECT_EQ(ForWhom.view(), "Biuro");
  EXPECT_EQ(DayToText10(BoDate), "01-01-2024");
}

TEST_F(SettingsKeysTest, TheSettingsWindowSavesItsKeys) {
  DatabaseSettings db;
  db.pcnd = "7";
  db.zkk6 = true;
  db.wspv = 50;
  db.opis_kont = 'H';
  WriteSettingsWindow(db);
  DatabaseSettings back;
  ReadOptionSettings(back);
  EXPECT_EQ(back.pcnd.view(), "7");
  EXPECT_TRUE(back.zkk6);
  EXPECT_TRUE(back.prwa);
  EXPECT_EQ(back.wspv, 50);
  EXPECT_EQ(back.opis_kont, 'H');
  EXPECT_EQ(back.loiz.view(), "EFGHPR");
}

TEST_F(SettingsKeysTest, TheParameterFileOverridesWhatWasRead) {
  dir.Put("FIRMA/!FX!.xxx",
          "\r\n dk-1 = 2\r\n Dk-3=0\r\n DK - 7 = 45\r\n op-k = b\r\n WMSL = L\r\n"
          " USLU = Biuro Rachunkowe\r\n fopk = plany\r\n Rocz = N2024\r\n nonsense\r\n");
  DatabaseSettings db;
  ReadParamFile(db);
  EXPECT_EQ(db.depths[0], 2);
  EXPECT_EQ(db.depths[1], 0);
  EXPECT_EQ(db.depths[2], 45);
  EXPECT_EQ(db.opis_kont, 'B');
  EXPECT_EQ(db.wn_ma_sa_ld, 'L');
  EXPECT_EQ(ForWhom.view(), "Biuro Rachunkowe") << "keeps its case";
  EXPECT_EQ(db.chart_dir.view(), "PLANY");
  EXPECT_EQ(db.annual_journal.view(), "") << "Rocz is only written";
  EXPECT_EQ(ChartPath.view(), "PLANY\\PLAN.PFX");
}

TEST_F(SettingsKeysTest, TheParameterFileIsWrittenWithTheLinesItsValuesCallFor) {
  DatabaseSettings db;
  ForWhom = "Biuro";
  BoDate = DayFromDdMmYy("010124");
  BzDate = DayFromDdMmYy("311224");
  ASSERT_TRUE(WriteParamFile(db));
  EXPECT_EQ(dir.Get("FIRMA/!FX!.xxx"),
            "\r\n WMSL = W\r\n USLU = Biuro\r\n DatB = 010124\r\n DatK = 311224\r\n");
  db.depths = {1, 2, 4};
  db.opis_kont = 'P';
  db.chart_dir = "PLANY";
  db.annual_journal = "N2024";
  ForWhom = "";
  ASSERT_TRUE(WriteParamFile(db));
  EXPECT_EQ(dir.Get("FIRMA/!FX!.xxx"),
            "\r\n DK-1 = 1\r\n DK-3 = 2\r\n DK-7 = 4\r\n OP-K = P\r\n WMSL = W\r\n"
            " FoPK = PLANY\r\n Rocz = N2024\r\n DatB = 010124\r\n DatK = 311224\r\n");
  DatabaseSettings back;
  ReadParamFile(back);
  EXPECT_EQ(back.depths, db.depths);
  EXPECT_EQ(back.opis_kont, 'P');
}

}  // namespace
}  // namespace zel
