// The chart listings of options 14 ('S'), 15 ('P') and 23 ('N') and the
// chart switch of option 16.
#include <algorithm>

#include "books/chart_options.hpp"
#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "fields/option_values.hpp"
#include "output/report_document.hpp"
#include "shell/file_access.hpp"
#include "shell/settings_keys.hpp"
#include "shell/state.hpp"
#include "store/chart.hpp"
#include "store/journal_entry.hpp"

namespace zel {

namespace {

// The first `depth` characters of a symbol (all of a shorter one).
std::string_view Head(std::string_view symbol, int depth) {
  return symbol.substr(0, std::min<std::size_t>(symbol.size(), static_cast<std::size_t>(depth)));
}

// The separator between two consecutive listed accounts: '=' when the
// first Pod1 characters change, '-' for Pod3, ' ' for Pod7, 0 for none. A
// depth of 0 takes no part.
char Separator(std::string_view before, std::string_view after) {
  const char marks[3] = {'=', '-', ' '};
  for (int i = 0; i < 3; ++i) {
    const int depth = DbSettings.depths[static_cast<std::size_t>(i)];
    if (depth > 0 && Head(before, depth) != Head(after, depth)) return marks[i];
  }
  return 0;
}

// Name and address as the short listings print them; a name starting with
// a rule character gets a space after it, and an account standing for a
// structure says which.
std::string ListingText(const AccountRecord& r) {
  const std::string_view name = r.name.view();
  std::string text;
  if (!name.empty() && (name[0] == '-' || name[0] == '=')) {
    text += name[0];
    text += ' ';
    text += name.substr(1);
  } else {
    text += name;
  }
  if (!r.address.empty()) {
    text += ", ";
    text += r.address.view();
  }
  if (r.shortName.size() >= 2 && r.shortName[0] == '^') {
    text += "  *** WEDŁUG WZORCA *** "_w;
    text += r.shortName[1];
  }
  return text;
}

std::string CurrentChartName() {
  return ChartName.empty() ? std::string("PlanKont") : ChartName.str();
}

}  // namespace

void ChartListing(OptionServices& window, char variant) {
  // The chart the settings name, with the accounts other workstations
  // appended since the load.
  EnsureChartLoaded();
  RefreshChart();
  const std::string from(OptionText(kFieldKoOd));
  const std::string to(OptionText(kFieldKoDo));
  const int layout = variant == 'P' ? 6 : variant == 'N' ? 3 : 2;
  RapStart(CurrentChartName(), Concat({"ZESTAWIENIE PLANU KONT ", CurrentChartName()}), layout);
  const std::string symbol_head = "Symbol";
  RapKol('l', 25, symbol_head, "konta");
  switch (variant) {
    case 'P':
      RapKol('l', 15, "Nip", "konta");
      RapKol('l', 15, "Skrót"_w, "konta");
      RapKol('l', 50, "Nazwa", "konta");
      RapKol1('l', 50, "Adres");
      RapKol1('l', 40, "Dodatkowo");
      break;
    case 'N':
      RapKol('c', 10, "Data", "założenia"_w);
      RapKol('l', 80, "Nazwa", "konta");
      break;
    default:
      RapKol('l', 99, "Nazwa", "konta");
      break;
  }
  std::string subtitle;
  if (!from.empty()) subtitle = Concat({"od konta ", from});
  if (!to.empty()) {
    if (!subtitle.empty()) subtitle += ' ';
    subtitle += "do konta ";
    subtitle += to;
  }
  RapNag(subtitle);

  Options.masks.Expand();
  ChartTable& chart = Chart();
  std::string previous;
  bool any = false;
  const std::size_t count = chart.Count();
  for (std::size_t slot = 1; slot < count; ++slot) {
    const AccountSymbol symbol = chart.SymbolAt(slot);
    if (CompareSymbols(symbol.view(), from) < 0) continue;
    if (!to.empty() && CompareSymbols(symbol.view(), to) > 0) break;
    if (!Options.masks.Selects(symbol.view())) continue;
    if (slot % 1024 == 0 && window.AbortRequested()) break;
    if (any) {
      if (const char mark = Separator(previous, symbol.view()); mark != 0) RapLinia(mark);
    }
    any = true;
    previous = symbol.str();
    const AccountRecord r = chart.At(slot);
    switch (variant) {
      case 'P':
        RapWiersz(r.symbol, r.nip, r.shortName, r.name, r.address, r.extra);
        break;
      case 'N':
        RapWiersz(r.symbol, DayToText10(r.written.day), ListingText(r));
        break;
      default:
        RapWiersz(r.symbol, ListingText(r));
        break;
    }
  }
  Options.masks.Compact();
}

bool SwitchChart(std::string_view name, std::string* message) {
  if (name.empty()) {
    *message = "Podaj nazwę planu kont"_w;
    return false;
  }
  // A plain file name: the chart lives in the chart folder or the year folder.
  for (char c : name) {
    if (c == '\\' || c == '/' || c == ':' || c == '.' || static_cast<std::uint8_t>(c) <= ' ') {
      *message = "Zmień nazwę planu kont"_w;
      return false;
    }
  }
  const std::string path = BuildChartPath(DbDir.view(), DbSettings.chart_dir.view(), name);
  // The load would create a missing chart empty, and every statement would
  // then describe no account: a mistyped name is refused instead.
  if (!FileExists(path)) {
    *message = "Nie ma "_w + path;
    return false;
  }
  ChartName = name;
  ChartPath = path;
  RequestChartReload();
  message->clear();
  return true;
}

}  // namespace zel
