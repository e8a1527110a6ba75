// Attaching a second chart to the one in memory (option 17): the attached
// file is loaded as a chart of its own (the latest version of every symbol,
// deletions honoured), compared with the current chart, and merged into
// the in-memory table only; the chart file is not changed.
#include "books/chart_options.hpp"
#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "fields/option_values.hpp"
#include "output/report_document.hpp"
#include "shell/file_access.hpp"
#include "shell/questions.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "store/chart.hpp"

namespace zel {

namespace {

bool SameContents(const AccountRecord& a, const AccountRecord& b) {
  return a.name == b.name && a.address == b.address && a.extra == b.extra && a.nip == b.nip &&
         a.shortName == b.shortName && a.attribute == b.attribute && a.spare == b.spare;
}

void ConflictRow(const AccountRecord& r) {
  const std::string attribute = r.attribute != 0 ? std::string(1, r.attribute) : std::string();
  RapWiersz(r.symbol, r.nip, r.name, r.address, r.extra, attribute, r.shortName);
}

}  // namespace

void AttachChart(OptionServices& window) {
  const std::string name(OptionText(kFieldDoPl));
  if (name.empty()) {
    window.FieldError(kFieldDoPl, "Podaj nazwę planu kont"_w);
    return;
  }
  const std::string path = Concat({DbDir.view(), name, ".PFX"});
  if (!FileExists(path)) {
    window.FieldError(kFieldDoPl, "Nie ma "_w + path);
    return;
  }
  ChartTable attached;
  if (!ReadChartFile(path, attached, "aTProcH:PlaDo")) {
    window.FieldError(kFieldDoPl, "Nie otwarto "_w + path);
    return;
  }
  if (!EnsureChartLoaded()) {
    window.FieldError(kFieldDoPl, "Nie wczytano planu "_w + ChartPath.str());
    return;
  }
  RefreshChart();
  ChartTable& chart = Chart();

  RapStart(name, "RAPORT Z DOŁĄCZENIA PLANU KONT "_w + name, 5);
  RapKol('l', 25, "Symbol", "konta");
  RapKol('l', 15, "Nip", "konta");
  RapKol('l', 30, "Nazwa", "konta");
  RapKol('l', 30, "Adres", "konta");
  RapKol('l', 25, "Dodatkowo", "konta");
  RapKol('l', 3, "Baz", "dan");
  RapKol('l', 15, "Hasło"_w, "w bazie");
  RapNag("ze zbioru "_w + path);

  // Pass 1: the accounts of both charts whose contents differ.
  bool conflict = false;
  const std::size_t count = attached.Count();
  for (std::size_t j = 1; j < count; ++j) {
    std::size_t slot = 0;
    if (!chart.Contains(attached.SymbolAt(j).view(), &slot)) continue;
    const AccountRecord mine = chart.At(slot);
    if (mine.name.empty()) continue;
    const AccountRecord theirs = attached.At(j);
    if (SameContents(mine, theirs)) continue;
    ConflictRow(mine);
    ConflictRow(theirs);
    RapLinia(' ');
    conflict = true;
  }
  const std::string verdict = conflict ? "Dołączany plan zawiera konta z inną zawartością"_w
                                       : "Wszystko wydaje się być O.K."_w;
  ShowStatus(verdict, kInfo);
  RapTekst('1', verdict);
  // "Tak" and "Powrót" both leave the chart as it is.
  if (AskQuestion('T', "Przerwać operację łączenia"_w) != 1) {
    RapTekst('1', "Planu nie dołączono"_w);
    window.SetOutcome("Planu nie dołączono"_w);
    return;
  }

  // Pass 2: the merge into memory.
  const std::string keep_text(OptionText(kFieldZaOp));
  const bool keep = !keep_text.empty() && (keep_text[0] == 'T' || keep_text[0] == 't');
  std::size_t merged = 0;
  for (std::size_t j = 1; j < count; ++j) {
    std::size_t slot = 0;
    if (keep && chart.Contains(attached.SymbolAt(j).view(), &slot) && !chart.At(slot).name.empty())
      continue;
    const AccountRecord r = attached.At(j);
    ShowStatus(Concat({r.symbol.view(), "  ", r.name.view(), " ", r.address.view()}), kInfo);
    ++merged;
  }
  chart.MergeFrom(attached, keep);
  const std::string done = Concat({"Dołączono kont: "_w, std::to_string(merged)});
  RapTekst('1', done);
  window.SetOutcome(done);
}

}  // namespace zel
