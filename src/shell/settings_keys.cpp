#include "shell/settings_keys.hpp"

#include <string>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "platform/file.hpp"
#include "platform/folders.hpp"
#include "shell/file_access.hpp"
#include "shell/settings.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"

namespace zel {

WorkstationSettings StationSettings;
DatabaseSettings DbSettings;

namespace {

constexpr bool kStation = false;
constexpr bool kDatabase = true;

// Reads a record; true when it is present (its fields are then taken).
bool Read(bool database_file, std::string_view key) {
  ReadSetting(database_file, key);
  return SettingFound();
}

std::string Join(std::initializer_list<std::string> parts) {
  std::string out;
  bool first = true;
  for (const std::string& p : parts) {
    if (!first) out += ';';
    out += p;
    first = false;
  }
  return out;
}

std::string Yes(bool b) {
  return std::string(1, YesNoChar(b));
}
std::string Num(std::int64_t v) {
  return IntTextOrEmpty(v);
}

void ReadReportFont(ReportFont& f, int first) {
  f.font = SettingField(first);
  f.style = SettingField(first + 1);
  f.size = SettingNumber(first + 2);
  f.letters = SettingField(first + 3);
  f.number1 = SettingNumber(first + 4);
  f.number2 = SettingNumber(first + 5);
}

std::string ReportFontText(const ReportFont& f) {
  return Join(
      {f.font.str(), f.style.str(), Num(f.size), f.letters.str(), Num(f.number1), Num(f.number2)});
}

char LetterOr(std::string_view field, char fallback) {
  return field.empty() ? fallback : field.front();
}

}  // namespace

void ReadDatabaseFolder(WorkstationSettings& ws) {
  if (Read(kStation, "DirxBaza")) {
    ws.dirx_folder = SettingFieldWide(1);
    ws.dirx_chart = SettingFieldWide(2);
  }
  if (Read(kStation, "sDirBaza")) {
    ws.short_folder = SettingField(1);
    ws.short_chart = SettingField(2);
  }
}

void ReadForWhom() {
  ForWhom = "Kelto-Soft";
  if (Read(kDatabase, "Dla kogo")) ForWhom = SettingField(1);
}

void ReadFonts(WorkstationSettings& ws) {
  if (Read(kStation, "KonOkien")) {
    ws.window_font.font = SettingField(1);
    ws.window_font.style = SettingField(2);
    for (int i = 0; i < 7; ++i) ws.window_sizes[i] = SettingNumber(3 + i);
  }
  if (Read(kStation, "KonRapE0")) ReadReportFont(ws.report_font, 1);
  ws.report_font1_used = true;
  ws.report_font1 = ws.report_font;
  if (Read(kStation, "KonRapE1")) {
    ws.report_font1_used = SettingYes(1);
    ReadReportFont(ws.report_font1, 2);
  }
  if (Read(kStation, "KonPrint")) {
    ws.print_font.font = SettingField(1);
    ws.print_font.style = SettingField(2);
  }
}

void ReadBookYear() {
  if (Read(kDatabase, "DatyBOBZ")) {
    const std::string bo = SettingField(1);
    const std::string bz = SettingField(2);
    if (const DayNo d = DayFromInput(bo); d != 0) BoDate = d;
    if (const DayNo d = DayFromInput(bz); d != 0) BzDate = d;
  }
  FromDate = static_cast<DayNo>(BoDate + 1);
  ToDate = BzDate;
}

void ReadFirmSettings(DatabaseSettings& db) {
  if (Read(kDatabase, "GlebPods")) {
    for (int i = 0; i < 3; ++i) db.depths[i] = SettingNumber(1 + i);
  }
  if (Read(kDatabase, "FirmUsSi")) {
    FirmName = SettingField(1);
    FirmId = SettingField(2);
    db.firm_network = SettingYes(3);
    db.firm_flag = SettingYes(4);
  }
  NetworkMode = NetworkMode && db.firm_network;
  const std::string import_folder = ReadSetting(kDatabase, "FolderIE.xxx");
  if (SettingFound()) db.import_folder = import_folder;
}

void ReadOptionSettings(DatabaseSettings& db) {
  if (Read(kDatabase, "ZRoboczy")) db.working_journal = SettingField(1);
  if (Read(kDatabase, "ZbRoczny")) db.annual_journal = SettingField(1);
  if (Read(kDatabase, "FoldeVmu")) db.sibling_folder = SettingField(1);
  if (Read(kDatabase, "PCNDZKK6")) {
    db.pcnd = SettingField(1);
    db.zkk6 = SettingYes(2);
  }
  if (Read(kDatabase, "ZZwAPRwA")) {
    db.zzwa = SettingYes(1);
    db.prwa = SettingYes(2);
  }
  if (Read(kDatabase, "LOiZLZwo")) {
    db.loiz = SettingField(1);
    db.lzwo = SettingField(2);
  }
  if (Read(kDatabase, "RDupScaV")) {
    db.rdup = SettingField(1);
    db.scav = SettingYes(2);
  }
  if (Read(kDatabase, "WspVRwgS")) {
    db.wspv = SettingNumber(1);
    db.rwgs = SettingYes(2);
  }
  if (Read(kDatabase, "FoldPlan")) db.chart_dir = SettingField(1);
  if (Read(kDatabase, "ZbRoczny")) db.annual_journal = SettingField(1);
  if (Read(kDatabase, "OpisKont")) db.opis_kont = LetterOr(SettingField(1), db.opis_kont);
  if (Read(kDatabase, "WnMaSaLd")) db.wn_ma_sa_ld = LetterOr(SettingField(1), db.wn_ma_sa_ld);
  db.horizon = ToDate;
  if (Read(kDatabase, "DatHoryz")) {
    if (const DayNo d = DayFromDdMmYy(SettingField(1)); d != 0) db.horizon = d;
  }
  if (Read(kDatabase, "ForPrzyg")) {
    db.forms_key = SettingField(1);
    db.forms_choice2 = SettingField(2);
    db.forms_choice3 = SettingField(3);
  }
  if (Read(kDatabase, "Kontrola")) db.audit_choices = SettingField(1);
  if (Read(kDatabase, "DeklVat7")) db.vat7_header = SettingField(1);
  ReadParamFile(db);
}

void ReadAllSettings(WorkstationSettings& ws, DatabaseSettings& db) {
  ReadDatabaseFolder(ws);
  ReadForWhom();
  ReadFonts(ws);
  ReadBookYear();
  ReadFirmSettings(db);
  ReadOptionSettings(db);
}

void WriteFonts(const WorkstationSettings& ws) {
  std::string okien = Join({ws.window_font.font.str(), ws.window_font.style.str()});
  for (std::int16_t v : ws.window_sizes) {
    okien += ';';
    okien += Num(v);
  }
  WriteSetting(kStation, "KonOkien", okien);
  WriteSetting(kStation, "KonRapE0", ReportFontText(ws.report_font));
  WriteSetting(kStation, "KonRapE1",
               Yes(ws.report_font1_used) + ";" + ReportFontText(ws.report_font1));
  WriteSetting(kStation, "KonPrint", Join({ws.print_font.font.str(), ws.print_font.style.str()}));
}

void AdjustBookYear() {
  const std::string from = DayToText10(FromDate).substr(0, 6);
  if (from == "01-01-") {
    BoDate = FromDate;
  } else if (from == "02-01-") {
    BoDate = static_cast<DayNo>(FromDate - 1);
  }
  if (DayToText10(ToDate).substr(0, 6) == "31-12-") BzDate = ToDate;
}

void WriteFirmSettings(const DatabaseSettings& db) {
  WriteSetting(kDatabase, "Dla kogo", ForWhom.view());
  WriteSetting(kDatabase, "DatyBOBZ", Join({DayToText10(BoDate), DayToText10(BzDate)}));
  WriteSetting(kDatabase, "GlebPods",
               Join({Num(db.depths[0]), Num(db.depths[1]), Num(db.depths[2])}));
  WriteSetting(kDatabase, "FolderIE.xxx", db.import_folder.view());
}

void WriteOptionSettings(const DatabaseSettings& db) {
  WriteSetting(kDatabase, "ZRoboczy", db.working_journal.view());
  WriteSetting(kDatabase, "ZbRoczny", db.annual_journal.view());
  WriteSetting(kDatabase, "DatHoryz", DayToDdMmYy(db.horizon));
  WriteSetting(kDatabase, "ForPrzyg",
               Join({db.forms_key.str(), db.forms_choice2.str(), db.forms_choice3.str()}));
  WriteSetting(kDatabase, "Kontrola", db.audit_choices.view());
  WriteParamFile(db);
}

void WriteAllSettingsAtClose(const WorkstationSettings& ws, const DatabaseSettings& db) {
  WriteFonts(ws);
  AdjustBookYear();
  WriteFirmSettings(db);
  WriteOptionSettings(db);
}

void WriteSettingsWindow(const DatabaseSettings& db) {
  WriteSetting(kDatabase, "FoldeVmu", db.sibling_folder.view());
  WriteSetting(kDatabase, "PCNDZKK6", Join({db.pcnd.str(), Yes(db.zkk6)}));
  WriteSetting(kDatabase, "ZZwAPRwA", Join({Yes(db.zzwa), Yes(db.prwa)}));
  WriteSetting(kDatabase, "LOiZLZwo", Join({db.loiz.str(), db.lzwo.str()}));
  WriteSetting(kDatabase, "RDupScaV", Join({db.rdup.str(), Yes(db.scav)}));
  WriteSetting(kDatabase, "WspVRwgS", Join({Num(db.wspv), Yes(db.rwgs)}));
  WriteSetting(kDatabase, "FoldPlan", db.chart_dir.view());
  WriteSetting(kDatabase, "ZbRoczny", db.annual_journal.view());
  WriteSetting(kDatabase, "DatyBOBZ", Join({DayToText10(BoDate), DayToText10(BzDate)}));
  WriteSetting(kDatabase, "GlebPods",
               Join({Num(db.depths[0]), Num(db.depths[1]), Num(db.depths[2])}));
  WriteSetting(kDatabase, "OpisKont", std::string(1, db.opis_kont));
  WriteSetting(kDatabase, "WnMaSaLd", std::string(1, db.wn_ma_sa_ld));
}

std::string ParamFilePath() {
  return std::string(DbDir.view()) + "!FX!" + std::string(StationExt.view());
}

namespace {

// The recognisable form of a parameter line: upper-cased without spaces;
// a "USLU" line only loses the spaces around its "=" and keeps its case.
std::string ParamLineKey(std::string_view line) {
  std::string_view t = line;
  while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
  if (t.size() >= 4 && UpperPl(t.substr(0, 4)) == "USLU") {
    std::string_view rest = t.substr(4);
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    if (!rest.empty() && rest.front() == '=') {
      rest.remove_prefix(1);
      while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
      return "USLU=" + std::string(rest);
    }
  }
  std::string out;
  for (char c : UpperPl(line)) {
    if (c != ' ') out += c;
  }
  return out;
}

std::string From6(const std::string& line, std::size_t n) {
  return line.size() > 5 ? line.substr(5, n) : std::string();
}

}  // namespace

void ReadParamFile(DatabaseSettings& db) {
  const std::string path = ParamFilePath();
  std::string text;
  if (IsFile(path)) {
    File f;
    if (ProtectedOpen(f, path, Access::kRead, Share::kDenyWrite, Disposition::kOpenExisting,
                      "aPulpit:zRej") &&
        !f.ReadAll(&text, 1u << 20)) {
      text.clear();
    }
  }
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t j = text.find('\n', i);
    if (j == std::string::npos) j = text.size();
    std::string_view raw(text.data() + i, j - i);
    i = j + 1;
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    const std::string line = ParamLineKey(raw);
    const std::string_view head = std::string_view(line).substr(0, 5);
    if (head == "DK-1=") {
      db.depths[0] = ParseSmall(From6(line, 2));
    } else if (head == "DK-3=") {
      db.depths[1] = ParseSmall(From6(line, 2));
    } else if (head == "DK-7=") {
      db.depths[2] = ParseSmall(From6(line, 2));
    } else if (head == "OP-K=") {
      db.opis_kont = LetterOr(From6(line, 1), db.opis_kont);
    } else if (head == "WMSL=") {
      db.wn_ma_sa_ld = LetterOr(From6(line, 1), db.wn_ma_sa_ld);
    } else if (head == "USLU=") {
      ForWhom = From6(line, 50);
    } else if (head == "FOPK=") {
      db.chart_dir = From6(line, 8);
    }
  }
  FormChartPath(db);
}

bool WriteParamFile(const DatabaseSettings& db) {
  std::string out = "\r\n";
  auto line = [&out](std::string_view key, std::string_view value) {
    out += ' ';
    out += key;
    out += " = ";
    out += value;
    out += "\r\n";
  };
  if (db.depths[0] != 0) line("DK-1", Num(db.depths[0]));
  if (db.depths[1] != 1) line("DK-3", Num(db.depths[1]));
  if (db.depths[2] != 3) line("DK-7", Num(db.depths[2]));
  if (std::string_view("POHB").find(db.opis_kont) != std::string_view::npos) {
    line("OP-K", std::string(1, db.opis_kont));
  }
  if (std::string_view("WMSL").find(db.wn_ma_sa_ld) != std::string_view::npos) {
    line("WMSL", std::string(1, db.wn_ma_sa_ld));
  }
  if (!ForWhom.empty()) line("USLU", ForWhom.view());
  if (!db.chart_dir.empty()) line("FoPK", db.chart_dir.view());
  if (!db.annual_journal.empty()) line("Rocz", db.annual_journal.view());
  line("DatB", DayToDdMmYy(BoDate));
  line("DatK", DayToDdMmYy(BzDate));
  if (WriteFileAtomically(ParamFilePath(), out, std::string(StationExt.view()) + "~")) return true;
  ShowStatus("Błąd zapisu "_w + ParamFilePath(), kWarning);
  return false;
}

void FormChartPath(const DatabaseSettings& db) {
  std::string path;
  if (!db.chart_dir.empty()) {
    path = db.chart_dir.str() + "\\" + ChartName.str() + ".PFX";
  } else {
    path = DbDir.str() + ChartName.str() + ".PFX";
  }
  ChartPath = path;
}

}  // namespace zel
