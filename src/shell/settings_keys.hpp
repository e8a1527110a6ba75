// Every settings key the shell reads at start and writes at close, with its
// defaults, and the parameter file ParamFile (DbDir + "!FX!" + StationExt).
//
// The values live in two global records: StationSettings (workstation file
// "#\Zel.BAL") and DbSettings (database file DbDir + "Zel.BAL"); the values
// the shell's global state holds (DbDir, ChartName, ForWhom, BoDate, BzDate,
// FirmName, FirmId, NetworkMode) are read into state.hpp's variables. The
// start-up calls the Read functions in the order below, the close the Write
// functions; the settings window (UsKvv) calls WriteSettingsWindow. A missing
// file or record keeps the default; a record present gives all its fields.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "common/fixed_text.hpp"
#include "common/types.hpp"

namespace zel {

struct FontSetting {
  FixedText<30> font = "c Consolas";  // a leading letter + space is the font-list key
  FixedText<4> style = "Bold";        // "Bold" or "----"
};

struct ReportFont {
  FixedText<30> font = "c Consolas";
  FixedText<4> style = "----";
  std::int16_t size = 10;
  FixedText<2> letters = "CG";
  std::int16_t number1 = 600;
  std::int16_t number2 = 1;
};

struct WorkstationSettings {
  FixedText<250> dirx_folder;                                         // DirxBaza 1
  FixedText<250> dirx_chart;                                          // DirxBaza 2
  FixedText<8> short_folder;                                          // sDirBaza 1
  FixedText<8> short_chart;                                           // sDirBaza 2
  FontSetting window_font;                                            // KonOkien 1, 2
  std::array<std::int16_t, 7> window_sizes = {11, 9, 6, 6, 4, 3, 2};  // KonOkien 3..9
  ReportFont report_font;                                             // KonRapE0
  bool report_font1_used = true;                                      // KonRapE1 1
  ReportFont report_font1;  // KonRapE1 2..7 (defaults: the KonRapE0 values read)
  FontSetting print_font;   // KonPrint
};

struct DatabaseSettings {
  std::array<std::int16_t, 3> depths = {0, 1, 3};  // GlebPods: Pod1, Pod3, Pod7
  bool firm_network = false;                       // FirmUsSi 3
  bool firm_flag = false;                          // FirmUsSi 4
  FixedText<50> import_folder;                     // "FolderIE.xxx", whole value
  FixedText<8> working_journal;                    // ZRoboczy
  FixedText<8> annual_journal;                     // ZbRoczny
  FixedText<70> sibling_folder;                    // FoldeVmu (FVmu)
  FixedText<6> pcnd = "12";                        // PCNDZKK6 1
  bool zkk6 = false;                               // PCNDZKK6 2
  bool zzwa = false;                               // ZZwAPRwA 1
  bool prwa = true;                                // ZZwAPRwA 2
  FixedText<12> loiz = "EFGHPR";                   // LOiZLZwo 1
  FixedText<12> lzwo = "IJKLST";                   // LOiZLZwo 2
  FixedText<20> rdup = "WN IM IU JU OO";           // RDupScaV 1
  bool scav = true;                                // RDupScaV 2
  std::int16_t wspv = 77;                          // WspVRwgS 1
  bool rwgs = false;                               // WspVRwgS 2
  FixedText<80> chart_dir;                         // FoldPlan: ChartDir
  char opis_kont = 'N';                            // OpisKont: P, O, N, H, B
  char wn_ma_sa_ld = 'W';                          // WnMaSaLd: W, M, S, L
  DayNo horizon = 0;                               // DatHoryz (0 until read: ToDate)
  FixedText<8> forms_key;                          // ForPrzyg 1
  FixedText<2> forms_choice2;                      // ForPrzyg 2
  FixedText<2> forms_choice3;                      // ForPrzyg 3
  FixedText<20> audit_choices;                     // Kontrola
  FixedText<15> vat7_header;                       // DeklVat7
};

extern WorkstationSettings StationSettings;
extern DatabaseSettings DbSettings;

// ---- reading at start, in this order ----
// DirxBaza and sDirBaza into ws (the start-up derives DbDir and ChartName).
void ReadDatabaseFolder(WorkstationSettings& ws);
// "Dla kogo": ForWhom = "Kelto-Soft", replaced by field 1 when present.
void ReadForWhom();
// KonOkien, KonRapE0, KonRapE1, KonPrint.
void ReadFonts(WorkstationSettings& ws);
// DatyBOBZ (DayFromInput; a field that gives no date keeps the default):
// BoDate, BzDate, FromDate = BoDate + 1, ToDate = BzDate.
void ReadBookYear();
// GlebPods, FirmUsSi (FirmName, FirmId; NetworkMode and-ed with field 3),
// "FolderIE.xxx".
void ReadFirmSettings(DatabaseSettings& db);
// The settings hook's keys (ZRoboczy .. DeklVat7), then ReadParamFile.
void ReadOptionSettings(DatabaseSettings& db);
// All of the above in order.
void ReadAllSettings(WorkstationSettings& ws, DatabaseSettings& db);

// ---- writing at close, in this order ----
void WriteFonts(const WorkstationSettings& ws);
// FromDate "01-01-" gives BoDate = FromDate, "02-01-" BoDate = FromDate - 1;
// ToDate "31-12-" gives BzDate = ToDate.
void AdjustBookYear();
// "Dla kogo", DatyBOBZ, GlebPods, "FolderIE.xxx".
void WriteFirmSettings(const DatabaseSettings& db);
// ZRoboczy, ZbRoczny, DatHoryz, ForPrzyg, Kontrola, then WriteParamFile.
void WriteOptionSettings(const DatabaseSettings& db);
void WriteAllSettingsAtClose(const WorkstationSettings& ws, const DatabaseSettings& db);
// The settings window's save: FoldeVmu .. WnMaSaLd to the database file.
void WriteSettingsWindow(const DatabaseSettings& db);

// ---- the parameter file ----
std::string ParamFilePath();  // DbDir + "!FX!" + StationExt
// Reads the recognised lines over db and ForWhom, then forms ChartPath.
void ReadParamFile(DatabaseSettings& db);
// Creates the file anew (atomically) with the lines its values call for.
bool WriteParamFile(const DatabaseSettings& db);

// ChartPath = DbDir + ChartName + ".PFX", or ChartDir + "\" + ChartName +
// ".PFX" when ChartDir is set.
void FormChartPath(const DatabaseSettings& db);

}  // namespace zel
