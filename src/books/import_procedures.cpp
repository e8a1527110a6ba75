// The option procedures SzDbf, ImpPlX and Zamkn as the option dispatch runs
// them.
#include "books/imports.hpp"
#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "common/pltext.hpp"
#include "fields/option_dispatch.hpp"
#include "fields/option_values.hpp"
#include "platform/paths.hpp"
#include "shell/file_access.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "store/journal_file.hpp"

namespace zel {
namespace {

bool Refuse(OptionServices& window, int field, const std::string& text) {
  ShowStatus(text, kWarning);
  window.FieldError(field, text);
  return false;
}

void ShowWarnings(const std::vector<std::string>& warnings) {
  for (const std::string& w : warnings) ShowStatus(w, kWarning);
}

// Finds the newest file `name` under the native root; empty with the reason
// shown when there is none or the user stopped the search.
std::string FindForImport(OptionServices& window, const std::string& root,
                          std::string_view name, bool* stop) {
  *stop = false;
  ShowStatus(Concat({"Szukam "_w, name}), kInfo);
  bool aborted = false;
  std::string found = FindNewestFile(root, name, window, &aborted);
  if (aborted) {
    ShowStatus("Przerwano szukanie"_w, kWarning);
    *stop = true;
    return {};
  }
  if (found.empty()) {
    Refuse(window, kFieldScie, Concat({"Nie widzę "_w, name}));
    *stop = true;
    return {};
  }
  ShowStatus(Concat({"Czytam "_w, Utf8ToWin(found)}), kInfo);
  return found;
}

}  // namespace

bool ImportDbfChart(const std::string& native, std::string_view out_path,
                    OptionServices* window) {
  std::string err;
  auto sheet = OpenDbfSheet(native, &err);
  if (!sheet) {
    ShowStatus(err, kWarning);
    return false;
  }
  ChartImport chart;
  if (!ReadDbfChart(*sheet, window, &chart)) {
    ShowStatus("Przerwano"_w, kWarning);
    return false;
  }
  sheet.reset();
  ShowWarnings(chart.warnings);
  return WriteImportedChart(out_path, chart.records);
}

bool ImportDbfTurnovers(const std::string& native, std::string_view out_path,
                        OptionServices* window) {
  std::string err;
  auto sheet = OpenDbfSheet(native, &err);
  if (!sheet) {
    ShowStatus(err, kWarning);
    return false;
  }
  TurnoverImport turnovers;
  if (!ReadDbfTurnovers(*sheet, window, &turnovers, &err)) {
    ShowStatus(Concat({Utf8ToWin(native), ": ", err}), kWarning);
    return false;
  }
  sheet.reset();
  return WriteImportedTurnovers(out_path, turnovers);
}

bool ImportXlsChart(const std::string& native, std::string_view out_path, bool legacy_letters) {
  ShowStatus("Czytam "_w + Utf8ToWin(native), kInfo);
  std::string err;
  auto sheet = OpenXlsSheet(native, &err);
  if (!sheet) {
    ShowStatus(err, kWarning);
    return false;
  }
  ChartImport chart;
  ReadXlsChart(*sheet, legacy_letters, &chart);
  sheet.reset();
  ShowWarnings(chart.warnings);
  return WriteImportedChart(out_path, chart.records);
}

void RunSzDbf(OptionServices& window) {
  std::string path(OptionText(kFieldScie));
  std::string message;
  const bool ok = CheckSearchPath(&path, &message);
  SetOptionText(kFieldScie, path);
  if (!ok) {
    Refuse(window, kFieldScie, message);
    return;
  }
  const std::string root = NativePath(path);
  bool stop = false;

  const std::string konta = FindForImport(window, root, "Konta.dbf", &stop);
  if (stop || !ImportDbfChart(konta, Concat({DbDir.view(), "Konta.PFX"}), &window)) return;
  const std::string ksiega = FindForImport(window, root, "Ksiega.dbf", &stop);
  if (stop) return;
  ImportDbfTurnovers(ksiega, JournalPath("Obroty"), &window);
}

void RunImpPlX(OptionServices& window) {
  const std::string file = Concat({DbDir.view(), "PlanKont.XLS"});
  if (!FileExists(file, kSayMissing)) return;
  // "S" in the import version reads a workbook of the old exports, whose
  // names went through their letter table.
  const bool legacy = UpperPl(OptionText(kFieldWIPX)) == "S";
  ImportXlsChart(NativePath(file), Concat({DbDir.view(), "Konta.PFX"}), legacy);
  (void)window;
}

void RunZamkn(OptionServices& window) {
  std::string m(OptionText(kFieldMies));
  while (!m.empty() && m.back() == ' ') m.pop_back();
  if (m.size() == 1) m.insert(0, 1, '0');
  const bool digits = m.size() == 2 && m[0] >= '0' && m[0] <= '9' && m[1] >= '0' && m[1] <= '9';
  const int month = digits ? (m[0] - '0') * 10 + (m[1] - '0') : 0;
  if (month < 1 || month > 12) {
    Refuse(window, kFieldMies, "Miesiąc od 01 do 12"_w);
    return;
  }
  ArchiveMonth(m);
}

void RegisterImportProcedures() {
  RegisterProcedure(143, RunSzDbf);
  RegisterProcedure(105, RunImpPlX);
  RegisterProcedure(54, RunZamkn);
}

}  // namespace zel
