// zel-batch: the start-up, the option's parameter window driven without a
// view, and the outputs of the run.
#include "app/batch.hpp"

#include "app/batch_extras.hpp"
#include "books/journal_file_procedures.hpp"
#include "shell/questions.hpp"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>
#include <vector>

#include "app/batch_output.hpp"
#include "app/batch_station.hpp"
#include "audit/annual_audit.hpp"
#include "books/chart_options.hpp"
#include "common/concat.hpp"
#include "books/imports.hpp"
#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/globals.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "fields/b_zestaw.hpp"
#include "fields/dekret_window.hpp"
#include "fields/option_values.hpp"
#include "fields/text_metrics.hpp"
#include "fields/zestaw.hpp"
#include "menu/baa_menu.hpp"
#include "menu/current_option.hpp"
#include "menu/menu_tree.hpp"
#include "output/report_document.hpp"
#include "output/report_text.hpp"
#include "output/viewer_document.hpp"
#include "platform/folders.hpp"
#include "platform/paths.hpp"
#include "shell/form_templates.hpp"
#include "shell/settings_keys.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "statements/statement_procedures.hpp"
#include "store/chart.hpp"
#include "vat/jpk_kr.hpp"
#include "vat/jpk_vat.hpp"
#include "vat/vat_procedures.hpp"

namespace zel {
namespace {

// The VAT-7 declaration's option index: its run hands a viewer document over.
constexpr std::uint8_t kDeclarationIndex = 85;

const char kHelpText[] =
    "zel-batch [--db DIR] [--station N | --login LOGIN:PASSWORD] [--today DD-MM-YYYY]\n"
    "          OPTION [CODE=VALUE ...]\n"
    "          [--out FILE.txt|FILE.pdf|FILE.xlsx|-] [--landscape] [--rows FIRST..LAST]\n"
    "          [--time HH:MM] [--printer NAME] [--jpk] [--answers TNP...] [--fields]\n"
    "zel-batch [--db DIR] Dekre Robo=FILE NDow=NUMBER DatD=DDMMYY [DatF=DDMMYY]\n"
    "          [--row \"KoWn;KoMa;Kwot;NrTr;ReVa;Term;Opis\" ...] [--delete] [--answers T]\n"
    "zel-batch [--db DIR] --list KIND[:PATTERN] [--typed TEXT] [--filter TEXT]\n"
    "zel-batch [--db DIR] --f3 CODE [FIELD=VALUE ...] [--go]\n"
    "zel-batch --view SCRIPT.txt [--action CODE] --out FILE.pdf|FILE.txt|-\n"
    "zel-batch --help | --version\n"
    "\n"
    "Runs one Zel option without windows. OPTION is an option code (ZOiSa) or a\n"
    "menu key (EA). Each CODE=VALUE is typed into the option's field with that\n"
    "code, as in the parameter window (values are completed and checked), then\n"
    "the option runs and its report is printed as text on standard output, or\n"
    "written to FILE by its extension: text, PDF pages (A4, --landscape across)\n"
    "or a workbook; --printer prints the pages on that queue instead. --rows\n"
    "takes only those rows of the report; --time sets the time of the stamps\n"
    "(with --today, so that outputs can be repeated). PDF and printer runs tell\n"
    "the rows per page and the page count on standard error. --jpk also\n"
    "assembles the JPK file from the run (JPKo=T\n"
    "unless given) and prints its path as the last line. The database folder\n"
    "comes from --db or the workstation settings of the Zel folder ($ZEL_HOME).\n"
    "--station N runs as workstation N of the folder: it holds the workstation's\n"
    "lock and takes part in the registry while it runs (refused while N runs).\n"
    "--login checks LOGIN:PASSWORD against !\\Login.txt and runs as that user's\n"
    "workstation, database and chart.\n"
    "Options whose result is their window (PlaEd, PlaZm) print their outcome\n"
    "and then every field as \"CODE = value\".\n"
    "--fields prints every field of the filled window that way instead of\n"
    "running the option (LacZb shows there the working files it would post).\n"
    "Warnings go to standard error. --answers answers the run's questions in\n"
    "order (T Tak, N Nie, P Powrót); a question with no answer left gets Powrót\n"
    "and is reported on standard error.\n"
    "--list prints the F4 hint list KIND (a number, or the code of a field with\n"
    "a list, e.g. KonW) for the database: the caption, then one entry a line,\n"
    "the entry the list opens at (--typed) marked \"> \". PATTERN is the file\n"
    "extension or name of the file lists. --filter lists only the entries\n"
    "containing the text, as F5 does.\n"
    "Dekre stores a document into the working file: each --row is one line of\n"
    "its table (debit account, credit account, amount, invoice number, VAT\n"
    "register, due date DDMMYY, description; empty parts allowed), checked as\n"
    "the window checks it. A NUMBER already stored is loaded: --row lines\n"
    "replace its lines (a correction), --delete removes it after the question\n"
    "\"Skasować dowód\" (answer with --answers T).\n"
    "--f3 types the values into the F3 window CODE (122 account card, with\n"
    "KonE=SYMBOL naming the account; 125 selected accounts; 127 taxpayer;\n"
    "128, 129, 130 the VAT-7 declaration's due tax, deductible tax and\n"
    "signature, for the month of vRok=YEAR vMie=MONTH), completing them as the\n"
    "window does, prints its fields and, with --go, saves it.\n"
    "DeVa7 vRok=YEAR vMie=MONTH writes the filled VAT-7 form (the document\n"
    "viewer's script) as text.\n"
    "--view draws a document viewer script (Windows-1250 text, one command a\n"
    "line) as PDF, each letter of --action CODE a copy (o original, k l m copies,\n"
    "e plain; default e) and each part between N lines a page of its own; a text\n"
    "--out gets the script with the copy names put in.\n"
    "\n"
    "Exit codes: 0 done, 2 a field, parameter or argument was refused, 1 other\n"
    "failures.\n";

// Warnings of the status line, held back by one message so that the message
// that refuses a field can be reported together with the field's code.
class BatchStatus final : public StatusSink {
 public:
  explicit BatchStatus(const BatchIo& io) : io_(io) {}
  ~BatchStatus() override { Flush(); }

  void Show(std::string_view text, std::uint8_t colour) override {
    if (colour == kInfo && text.substr(0, 12) == "Wykonuję -> "_w) ran_ = true;
    if (colour == kSuccess && ran_) {
      done_.emplace_back(text);
      ended_done_ = true;
    }
    if (colour != kWarning) return;
    if (ran_) warned_in_run_ = true;
    ended_done_ = false;
    Flush();
    pending_ = std::string(text);
    has_pending_ = true;
  }
  void Clear() override {}

  void Flush() {
    if (has_pending_) Line(pending_);
    has_pending_ = false;
  }
  // The held-back warning, taken (empty when none).
  std::string Take() {
    std::string t = has_pending_ ? pending_ : std::string();
    has_pending_ = false;
    return t;
  }
  void Line(std::string_view win) { io_.err("zel-batch: " + WinToUtf8(win) + "\n"); }
  bool Ran() const { return ran_; }
  // The success messages of the run (an option that writes files and makes
  // no report says so in them), and whether the run ended with one rather
  // than with a warning.
  const std::vector<std::string>& Done() const { return done_; }
  bool EndedDone() const { return ended_done_; }
  // Whether the run itself gave a warning (its own reason for a failure).
  bool WarnedInRun() const { return warned_in_run_; }

 private:
  const BatchIo& io_;
  std::string pending_;
  std::vector<std::string> done_;
  bool ended_done_ = false;
  bool has_pending_ = false;
  bool ran_ = false;
  bool warned_in_run_ = false;
};

// Keeps the previous sink and puts it back.
class SinkScope {
 public:
  explicit SinkScope(StatusSink* sink) : old_(SetStatusSink(sink)) {}
  ~SinkScope() { SetStatusSink(old_); }
  SinkScope(const SinkScope&) = delete;
  SinkScope& operator=(const SinkScope&) = delete;

 private:
  StatusSink* old_;
};

bool ParseDigits(std::string_view text, int lo, int hi, int* out) {
  if (text.empty() || text.size() > 9) return false;
  int v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (v < lo || v > hi) return false;
  *out = v;
  return true;
}

// "DD-MM-YYYY" into a day number; 0 for a text that is no such date or lies
// outside the years the program counts (1940..2039).
DayNo DayFromDdMmYyyy(std::string_view text) {
  int d = 0, m = 0, y = 0;
  if (text.size() != 10 || text[2] != '-' || text[5] != '-') return 0;
  if (!ParseDigits(text.substr(0, 2), 1, 31, &d) || !ParseDigits(text.substr(3, 2), 1, 12, &m) ||
      !ParseDigits(text.substr(6, 4), 1940, 2039, &y)) {
    return 0;
  }
  std::string six = std::string(text.substr(0, 2)) + std::string(text.substr(3, 2)) +
                    std::string(text.substr(8, 2));
  DayNo n = DayFromDdMmYy(six);
  return DayToDdMmYy(n) == six ? n : 0;
}

DayNo ClockToday() {
  DateTime now = Now();
  char six[16];
  std::snprintf(six, sizeof six, "%02d%02d%02d", now.day % 100, now.month % 100, now.year % 100);
  return DayFromDdMmYy(six);
}

std::string Absolute(const std::string& native) {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(native, ec);
  return ec ? native : p.lexically_normal().string();
}

// The option an argument names: a menu key ("EA", or a main line letter
// that opens an option directly) or an option code (compared without
// regard to letter case). 0 when none.
std::uint8_t OptionIndexOf(std::string_view name) {
  if (name.size() == 2 && std::isupper(static_cast<unsigned char>(name[0])) &&
      std::isupper(static_cast<unsigned char>(name[1]))) {
    if (const MenuItem* item = FindMenuItem(name[0], name[1]); item && item->index != 0) {
      return item->index;
    }
  }
  if (name.size() == 1) {
    const MainLine* line = FindMainLine(name[0]);
    if (line && line->action == MainAction::kOption) return line->index;
  }
  const std::string want = UpperPl(name);
  for (int i = 1; i <= 255; ++i) {
    std::string code = OptionSettingsCode(static_cast<std::uint8_t>(i));
    if (!code.empty() && UpperPl(code) == want) return static_cast<std::uint8_t>(i);
  }
  return 0;
}

// The shell state back to what a fresh program holds before its start-up.
void ResetState() {
  StationSettings = WorkstationSettings{};
  DbSettings = DatabaseSettings{};
  Options = OptionValues{};
  BoDate = DayFromDdMmYy("010118");
  BzDate = DayFromDdMmYy("311218");
  FromDate = static_cast<DayNo>(BoDate + 1);
  ToDate = BzDate;
  ForWhom.clear();
  FirmName.clear();
  FirmId.clear();
  OptionIndex = 0;
  OptionCode.clear();
  OptionKey.clear();
  OptionCaption.clear();
}

// The temporary folder: the workstation's pointer file "#\Temp" (with or
// without its suffix) when it names a folder, else "C:\Temp\".
bool ChooseTempDir() {
  for (std::string pointer : {"#\\Temp" + StationExt.str(), std::string("#\\Temp")}) {
    if (!IsFile(pointer)) continue;
    std::ifstream in(NativePath(pointer), std::ios::binary);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (!line.empty() && line.back() == '\\') line.pop_back();
    if (!line.empty() && IsFolder(line)) {
      TempDir = line + "\\";
      return true;
    }
    break;
  }
  if (!MakeFolders("C:\\Temp")) return false;
  TempDir = "C:\\Temp\\";
  return true;
}

// The start-up steps of the desktop that an option run needs.
int StartUp(const BatchRequest& r, BatchStatus& status) {
  ResetState();
  std::string err;
  std::string home = r.home.empty() ? DefaultZelFolder() : r.home;
  if (!SetZelFolder(home, &err)) {
    status.Line(err);
    return kBatchFailed;
  }
  MakeFolders(DriveRoot('C'));
  // The printed forms, as the program installs them at its start; without
  // the data folder only the forms are missing.
  std::string no_templates;
  InstallFormTemplates(&no_templates);

  BatchLogin login;
  if (!r.login.empty()) {
    if (!LoginForBatch(Utf8ToWin(r.login), &login, &err)) {
      status.Line(err);
      return kBatchRefused;
    }
  }
  const int station = login.station > 0 ? login.station : r.station;
  if (station > 0) {
    NetworkMode = true;
    RunMode = static_cast<std::uint8_t>(station);
    StationExt = "." + std::to_string(station + 1000).substr(1);
  } else {
    NetworkMode = false;
    RunMode = 220;
    StationExt = ".xxx";
  }

  ReadDatabaseFolder(StationSettings);
  std::string db = StationSettings.dirx_folder.str();
  ChartName = StationSettings.dirx_chart;
  if (!StationSettings.short_folder.empty()) db = StationSettings.short_folder.str() + "\\";
  if (!StationSettings.short_chart.empty()) ChartName = StationSettings.short_chart;
  // An empty chart name is the program's default chart, as the folder
  // fields of the settings take it.
  if (ChartName.empty()) ChartName = "PlanKont";
  if (!login.folder.empty()) db = login.folder;
  if (!login.chart.empty()) ChartName = login.chart;
  if (!r.db.empty()) db = Utf8ToWin(r.db);
  for (std::size_t p; (p = db.find("\\\\")) != std::string::npos;) db.erase(p, 1);
  if (db.empty()) {
    status.Line("Nie podano bazy danych (--db) ani nie ma jej w ustawieniach"_w);
    return kBatchRefused;
  }
  if (db.back() != '\\' && db.back() != '/') db += '\\';
  if (db.size() > 250 - 16) {
    status.Line("Za długa nazwa folderu bazy danych"_w);
    return kBatchRefused;
  }
  if (!IsFolder(db)) {
    status.Line("Nie ma folderu bazy danych "_w + db);
    return kBatchFailed;
  }
  DbDir = db;
  FormChartPath(DbSettings);
  ReadForWhom();
  ReadFonts(StationSettings);
  ReadBookYear();
  ReadFirmSettings(DbSettings);
  ReadOptionSettings(DbSettings);
  FormChartPath(DbSettings);
  TrashDir = "Kosz\\";
  if (!ChooseTempDir()) {
    status.Line("Nie ma folderu na pliki robocze (Temp)"_w);
    return kBatchFailed;
  }

  if (!r.today.empty()) {
    Today = DayFromDdMmYyyy(r.today);
    if (Today == 0) {
      status.Line("Błędna postać daty --today: "_w + Utf8ToWin(r.today));
      return kBatchRefused;
    }
  } else {
    Today = ClockToday();
  }

  if (station > 0 && !JoinWorkstations(&err)) {
    status.Line(err);
    return kBatchRefused;
  }

  RequestChartReload();
  EnsureChartLoaded();
  RegisterStatementProcedures([] { return MakeJpkKrWriter(); });
  RegisterAuditProcedures();
  RegisterVatProcedures();
  RegisterChartProcedures();
  RegisterJournalFileProcedures();
  RegisterDocumentProcedure();
  RegisterImportProcedures();
  return kBatchDone;
}

// The document lines given with --row, into the window's rows. False with a
// message for a line the table cannot hold.
bool PutBatchRows(const BatchRequest& r, BatchStatus& status) {
  static constexpr std::size_t kWidths[7] = {16, 16, 15, 20, 2, 6, 30};
  static constexpr const char* kCodes[7] = {"KoWn", "KoMa", "Kwot", "NrTr", "ReVa", "Term", "Opis"};
  if (r.rows.size() > static_cast<std::size_t>(kTableRows)) {
    status.Line("Dowód ma więcej pozycji niż tabela okna: "_w + std::to_string(kTableRows));
    return false;
  }
  Document d;
  for (std::size_t i = 0; i < r.rows.size(); ++i) {
    const std::string row = Utf8ToWin(r.rows[i]);
    std::vector<std::string> parts;
    std::size_t from = 0;
    // The description is the rest of the row: it may hold ';' itself.
    while (parts.size() < 6) {
      const std::size_t semi = row.find(';', from);
      if (semi == std::string::npos) break;
      parts.push_back(row.substr(from, semi - from));
      from = semi + 1;
    }
    parts.push_back(row.substr(from));
    parts.resize(7);
    for (std::size_t c = 0; c < 7; ++c) {
      if (parts[c].size() > kWidths[c]) {
        status.Line(Concat({"--row ", std::to_string(i + 1), ": ", kCodes[c], " dłuższe niż "_w,
                            std::to_string(kWidths[c]), " znaków"_w}));
        return false;
      }
    }
    d.lines.push_back(
        DocumentLine{parts[0], parts[1], parts[2], parts[3], parts[4], parts[5], parts[6]});
  }
  DekretPutLines(d);
  return true;
}

// The code of the field a run reported, by its field number.
std::string FieldCodeOf(const FZestaw& form, int number) {
  int slot = form.Fields().FindSlot(static_cast<std::int16_t>(number));
  return slot > 0 ? form.Fields().Slot(slot).code.str() : "#" + std::to_string(number);
}

// "CODE = value" for every field of the window that has a code, in the
// window's order.
std::string WindowFieldsText(const FZestaw& form) {
  std::string out;
  const FieldSet& fields = form.Fields();
  for (int s = 1; s <= fields.SlotCount(); ++s) {
    const FieldSlot& slot = fields.Slot(s);
    if (slot.number == 0 || slot.code.empty()) continue;
    out += WinToUtf8(slot.code.view()) + " = " + WinToUtf8(slot.value.view()) + "\n";
  }
  return out;
}

int RunOption(const BatchRequest& r, const BatchIo& io, BatchStatus& status) {
  int code = kBatchDone;
  const std::uint8_t index = OptionIndexOf(r.option);
  if (index == 0) {
    status.Line("Nie ma opcji "_w + Utf8ToWin(r.option));
    return kBatchRefused;
  }
  if (r.jpk && index != 55 && index != 43) {
    status.Line("JPK tylko z opcji EA (ZOiSa) i DD (ReVat)"_w);
    return kBatchRefused;
  }
  OpenMenuIndex(index);

  bZestaw module;
  FixedWidthMetrics metrics(8, 16);
  auto form = std::make_unique<FZestaw>(module, metrics);
  form->Bo();
  form->Go(1);

  // The values in the order of the window's fields (the order the user
  // would type them in); a code given twice keeps the later value.
  std::vector<std::pair<std::string, std::string>> values;
  bool jpko_given = false;
  for (const auto& [code, value] : r.values) {
    std::string wcode = Utf8ToWin(code);
    if (UpperPl(wcode) == "JPKO") jpko_given = true;
    values.emplace_back(wcode, Utf8ToWin(value));
  }
  if (r.jpk && !jpko_given && form->FindCode("JPKo") > 0) values.emplace_back("JPKo", "T");
  for (const auto& [code, value] : values) {
    if (form->FindCode(code) == 0) {
      status.Flush();
      status.Line("Nie ma pola "_w + code + " w opcji "_w + OptionCode.str());
      return kBatchRefused;
    }
  }
  std::stable_sort(values.begin(), values.end(), [&form](const auto& a, const auto& b) {
    return form->FindCode(a.first) < form->FindCode(b.first);
  });

  for (const auto& [code, value] : values) {
    EnterResult got = form->EnterField(code, value);
    if (got == EnterResult::kAccepted || got == EnterResult::kCorrected) continue;
    std::string why = status.Take();
    if (why.empty()) {
      why = got == EnterResult::kNotEditable ? "pole tylko do odczytu"_w : "wartość odrzucona"_w;
    }
    status.Line("pole "_w + code + ": " + why);
    return kBatchRefused;
  }

  if (r.show_fields) {
    status.Flush();
    io.out(WindowFieldsText(*form));
    return kBatchDone;
  }

  if (!r.rows.empty() || r.delete_document) {
    if (index != kDocumentOptionIndex) {
      status.Line("--row i --delete tylko z opcją Dekre"_w);
      return kBatchRefused;
    }
    if (!PutBatchRows(r, status)) return kBatchRefused;
  }

  ReportDocument& doc = CurrentReport();
  const std::uint32_t generation = doc.Generation();
  if (index == kDocumentOptionIndex) Dekret().last_done.clear();
  form->ClickGo();

  if (index == kDeclarationIndex) {
    // The declaration hands a viewer document over instead of a report; its
    // window always returns to its last field.
    if (!form->ResultText().empty()) {
      std::string why = status.Take();
      if (why.empty()) why = form->ResultText();
      status.Line("pole "_w + FieldCodeOf(*form, form->ReturnField()) + ": " + why);
      return kBatchRefused;
    }
    const ViewerDocument& viewer = CurrentViewerDocument();
    if (viewer.lines.empty()) {
      status.Flush();
      status.Line("Opcja nie utworzyła dokumentu"_w);
      return kBatchFailed;
    }
    code = WriteBatchViewerDocument(viewer, r, io, [&status](std::string_view line) {
      status.Flush();
      status.Line(line);
    });
    status.Flush();
    return code;
  }

  if (index == kDocumentOptionIndex && form->ResultText().empty() && !Dekret().last_done.empty()) {
    // A document was stored, corrected or deleted, or the deletion declined.
    status.Flush();
    io.out(WinToUtf8(Dekret().last_done) + "\n");
    return kBatchDone;
  }

  // A return field with a message is a refusal; without one the option only
  // chose where the cursor goes next.
  if (form->ReturnField() != 0 && !form->ResultText().empty()) {
    std::string why = status.Take();
    if (why.empty()) why = form->ResultText();
    status.Line("pole "_w + FieldCodeOf(*form, form->ReturnField()) + ": " + why);
    return kBatchRefused;
  }
  if (!status.Ran()) {
    // The window's checks before the run sent the cursor back to a field.
    int slot = form->CurrentSlot();
    std::string code = slot > 0 ? form->Fields().Slot(slot).code.str() : std::string();
    int number = slot > 0 ? form->Fields().Slot(slot).number : 0;
    std::string why = status.Take();
    if (why.empty()) why = number >= 62 && number <= 64 ? "Popraw głębokość"_w : "Popraw wartość"_w;
    status.Line("pole "_w + code + ": " + why);
    return kBatchRefused;
  }
  if (!form->ResultText().empty()) {
    // The option's message, once, after any other warning of the run.
    std::string pending = status.Take();
    if (!pending.empty() && pending != form->ResultText()) status.Line(pending);
    status.Line(form->ResultText());
    return kBatchFailed;
  }
  if (doc.Generation() == generation && !form->Outcome().empty()) {
    // An option whose result is the window itself (the account editor, the
    // chart switch): its outcome, then every field as the window shows it.
    status.Flush();
    io.out(WinToUtf8(form->Outcome()) + "\n");
    io.out(WindowFieldsText(*form));
    return kBatchDone;
  }
  if (doc.Generation() == generation && !status.Done().empty()) {
    // An option that writes files: what it wrote on the output, warnings
    // and the reason of a stop on the error stream.
    status.Flush();
    for (const std::string& line : status.Done()) io.out(WinToUtf8(line) + "\n");
    return status.EndedDone() ? kBatchDone : kBatchFailed;
  }
  if (doc.Generation() == generation) {
    // An option that said why it stopped needs no second line saying that
    // nothing was made.
    const bool explained = status.WarnedInRun();
    status.Flush();
    if (!explained) status.Line("Opcja nie utworzyła zestawienia"_w);
    return kBatchFailed;
  }

  code = WriteBatchReport(doc, r, io, form->PeriodText(), [&status](std::string_view line) {
    status.Flush();
    status.Line(line);
  });
  if (code != kBatchDone) return code;

  // Rows of kind "-" (check messages and warnings of a report) are kept in the report
  // but never drawn, printed or exported: a terminal user sees them here.
  int hidden = 0;
  for (std::int32_t row = 1; row <= doc.RowCount(); ++row) {
    if (doc.RowKind(row) != '-') continue;
    if (hidden++ == 0) status.Flush();
    io.err(WinToUtf8(doc.Cell(row, 1)) + "\n");
  }
  if (hidden > 0) status.Line("wierszy z uwagami: "_w + std::to_string(hidden));

  if (r.jpk) {
    const std::string file = XmlE();
    if (file.empty()) {
      status.Flush();
      return kBatchFailed;
    }
    io.out(NativePath(file) + "\n");
  }
  status.Flush();
  return kBatchDone;
}

}  // namespace

std::string BatchHelp() { return kHelpText; }

bool ParseBatchArgs(const std::vector<std::string>& args, BatchRequest* r, std::string* err) {
  *r = BatchRequest{};
  auto value_of = [&](std::size_t& i, std::string* out) {
    if (i + 1 >= args.size()) {
      *err = "brak wartości po " + args[i];
      return false;
    }
    *out = args[++i];
    return true;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      r->help = true;
    } else if (a == "--version") {
      r->version = true;
    } else if (a == "--db") {
      if (!value_of(i, &r->db)) return false;
      if (r->db.empty()) {
        *err = "pusta nazwa folderu po --db";
        return false;
      }
    } else if (a == "--station") {
      std::string v;
      if (!value_of(i, &v)) return false;
      if (!ParseDigits(v, 1, 197, &r->station)) {
        *err = "numer stanowiska musi leżeć w 1..197: " + v;
        return false;
      }
    } else if (a == "--login") {
      if (!value_of(i, &r->login)) return false;
      if (r->station > 0) {
        *err = "--login i --station wykluczają się";
        return false;
      }
    } else if (a == "--today") {
      if (!value_of(i, &r->today)) return false;
      if (DayFromDdMmYyyy(r->today) == 0) {
        *err = "błędna data --today (DD-MM-RRRR, lata 1940..2039): " + r->today;
        return false;
      }
    } else if (a == "--out") {
      if (!value_of(i, &r->out)) return false;
      if (BatchOutOf(r->out) == BatchOut::kUnknown) {
        *err = "--out zapisuje tekst (.txt), PDF (.pdf) albo arkusz (.xlsx); - to wyjście: " + r->out;
        return false;
      }
    } else if (a == "--landscape") {
      r->landscape = true;
    } else if (a == "--fields") {
      r->show_fields = true;
    } else if (a == "--rows") {
      std::string v;
      if (!value_of(i, &v)) return false;
      std::size_t dots = v.find("..");
      int a1 = 0, a2 = 0;
      if (dots == std::string::npos || !ParseDigits(v.substr(0, dots), 0, 999999999, &a1) ||
          !ParseDigits(v.substr(dots + 2), 0, 999999999, &a2)) {
        *err = "--rows oczekuje OD..DO (numery wierszy): " + v;
        return false;
      }
      r->first = a1;
      r->last = a2;
    } else if (a == "--time") {
      if (!value_of(i, &r->time)) return false;
      if (!ParseBatchTime(r->time)) {
        *err = "błędny czas --time (GG:MM): " + r->time;
        return false;
      }
    } else if (a == "--printer") {
      if (!value_of(i, &r->printer)) return false;
      if (r->printer.empty()) {
        *err = "pusta nazwa drukarki po --printer";
        return false;
      }
    } else if (a == "--jpk") {
      r->jpk = true;
    } else if (a == "--answers") {
      if (!value_of(i, &r->answers)) return false;
      if (!ValidAnswers(r->answers)) {
        *err = "--answers przyjmuje tylko litery T, N i P: " + r->answers;
        return false;
      }
    } else if (a == "--f3") {
      std::string v;
      if (!value_of(i, &v)) return false;
      if (!ParseDigits(v, 121, 130, &r->f3)) {
        *err = "kod okna F3 musi leżeć w 121..130: " + v;
        return false;
      }
    } else if (a == "--view") {
      if (!value_of(i, &r->view)) return false;
      if (r->view.empty()) {
        *err = "pusta nazwa pliku po --view";
        return false;
      }
    } else if (a == "--action") {
      if (!value_of(i, &r->action)) return false;
      if (r->action.empty() || r->action.size() > 8 ||
          r->action.find_first_not_of("eoklmp") != std::string::npos) {
        *err = "--action przyjmuje do 8 liter spośród e, o, k, l, m, p: " + r->action;
        return false;
      }
    } else if (a == "--row") {
      std::string v;
      if (!value_of(i, &v)) return false;
      r->rows.push_back(v);
    } else if (a == "--delete") {
      r->delete_document = true;
    } else if (a == "--go") {
      r->go = true;
    } else if (a == "--list") {
      if (!value_of(i, &r->list)) return false;
    } else if (a == "--typed") {
      if (!value_of(i, &r->typed)) return false;
    } else if (a == "--filter") {
      if (!value_of(i, &r->filter)) return false;
      r->filter_given = true;
    } else if (a.size() > 1 && a[0] == '-') {
      *err = "nieznana opcja " + a;
      return false;
    } else if (r->option.empty() && r->f3 == 0) {
      r->option = a;
    } else {
      std::size_t eq = a.find('=');
      if (eq == std::string::npos || eq == 0) {
        *err = "oczekiwano KOD=WARTOŚĆ: " + a;
        return false;
      }
      r->values.emplace_back(a.substr(0, eq), a.substr(eq + 1));
    }
  }
  if (!r->list.empty() && !r->option.empty()) {
    *err = "--list nie łączy się z opcją " + r->option;
    return false;
  }
  if (r->list.empty() && (!r->typed.empty() || r->filter_given)) {
    *err = "--typed i --filter tylko z --list";
    return false;
  }
  if (r->f3 != 0 && (!r->option.empty() || !r->list.empty())) {
    *err = "--f3 nie łączy się z opcją ani z --list";
    return false;
  }
  if (r->go && r->f3 == 0) {
    *err = "--go tylko z --f3";
    return false;
  }
  if (!r->view.empty() && (!r->option.empty() || !r->list.empty() || r->f3 != 0)) {
    *err = "--view nie łączy się z opcją, --list ani --f3";
    return false;
  }
  if (!r->action.empty() && r->view.empty()) {
    *err = "--action tylko z --view";
    return false;
  }
  if (!r->view.empty() && !r->help) {
    const BatchOut k = BatchOutOf(r->out);
    if (r->out.empty() || (k != BatchOut::kPdf && k != BatchOut::kText && k != BatchOut::kStdout)) {
      *err = "--view zapisuje PDF (.pdf) albo tekst (.txt, -) podany po --out";
      return false;
    }
    r->view = Absolute(r->view);
  }
  if (!r->help && !r->version && r->option.empty() && r->list.empty() && r->f3 == 0 &&
      r->view.empty()) {
    *err = "nie podano opcji";
    return false;
  }
  // Named from the terminal's folder, before the Zel folder becomes current.
  if (!r->db.empty() && r->db[0] != '\\') r->db = Absolute(r->db);
  const BatchOut out_kind = BatchOutOf(r->out);
  if (!r->out.empty() && out_kind != BatchOut::kStdout && out_kind != BatchOut::kNull) {
    r->out = Absolute(r->out);
  }
  if (!r->help && !r->printer.empty() && !r->out.empty()) {
    *err = "--printer drukuje, --out zapisuje: podaj jedno z nich";
    return false;
  }
  return true;
}

int RunBatch(const BatchRequest& request, const BatchIo& io) {
  // Documents drawn by a run print through the same targets as reports.
  SetViewerTargets(io.print_targets);
  struct TargetsReset {
    ~TargetsReset() { SetViewerTargets(nullptr); }
  } targets_reset;
  if (!request.view.empty()) return WriteBatchViewScript(request, io);
  BatchStatus status(io);
  SinkScope scope(&status);
  int code = StartUp(request, status);
  if (code != kBatchDone) return code;
  if (!request.list.empty() || request.f3 != 0) {
    code = !request.list.empty() ? RunList(request, io) : RunF3(request, io);
    LeaveWorkstations();
    return code;
  }
  ScriptedAsker asker(request.answers, io);
  Asker* previous = SetQuestionAsker(&asker);
  code = RunOption(request, io, status);
  SetQuestionAsker(previous);
  LeaveWorkstations();
  // The fragments serve the JPK button of the same session only; once the
  // process ends nothing can assemble them, so they do not stay behind.
  RemoveJpkFragments();
  RemoveJpkVatFragment();
  return code;
}

}  // namespace zel
