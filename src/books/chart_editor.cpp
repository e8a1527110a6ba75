// The account editor of option 12: loading an account with its neighbours
// into the fields, paging through the chart, and saving an edit.
#include <algorithm>

#include "books/chart_options.hpp"
#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "fields/option_values.hpp"
#include "fields/zestaw.hpp"
#include "shell/questions.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "store/chart.hpp"

namespace zel {

namespace {

// The account of the chart with this symbol, or an empty record holding
// only the symbol.
AccountRecord AccountOrEmpty(std::string_view symbol) {
  AccountRecord r;
  r.symbol = symbol;
  std::size_t slot = 0;
  if (Chart().Contains(symbol, &slot)) r = Chart().At(slot);
  return r;
}

// Symbol, name, address and additional text of a slot, the empty parts left
// out; slot 0 and the slots past the last account give an empty text.
std::string NeighbourText(std::size_t slot) {
  if (slot == 0 || slot >= Chart().Count()) return {};
  const AccountRecord r = Chart().At(slot);
  std::string text(r.symbol.view());
  for (std::string_view part : {r.name.view(), r.address.view(), r.extra.view()}) {
    if (part.empty()) continue;
    text += " | ";
    text += part;
  }
  if (text.size() > 70) text.resize(70);
  return text;
}

// The texts the window edits, as the record holds them.
void PutEditedTexts(const AccountRecord& r) {
  SetOptionText(kFieldKNaz, r.name.view());
  SetOptionText(kFieldKAdr, r.address.view());
  SetOptionText(kFieldKDod, r.extra.view());
  SetOptionText(kFieldKNip, r.nip.view());
  SetOptionText(kFieldKHas, r.shortName.view());
}

bool SameTexts(const AccountRecord& a, const AccountRecord& b) {
  return a.name == b.name && a.address == b.address && a.extra == b.extra && a.nip == b.nip &&
         a.shortName == b.shortName && a.spare == b.spare && a.attribute == b.attribute;
}

}  // namespace

ChartEditor& AccountEditor() {
  static ChartEditor editor;
  return editor;
}

void ChartEditor::ShowNeighbours(std::string_view symbol) {
  std::size_t slot = 0;
  const bool present = Chart().Contains(symbol, &slot);
  // A symbol not in the chart stands between the accounts around its place.
  const std::size_t next = present ? slot + 1 : slot;
  SetOptionText(kFieldKa, slot >= 2 ? NeighbourText(slot - 2) : std::string());
  SetOptionText(kFieldKc, slot >= 1 ? NeighbourText(slot - 1) : std::string());
  SetOptionText(kFieldKx, NeighbourText(next));
  SetOptionText(kFieldKz, NeighbourText(next + 1));
}

void ChartEditor::Load(std::string_view symbol) {
  loaded_ = AccountOrEmpty(symbol);
  SetOptionText(kFieldKonE, loaded_.symbol.view());
  SetOptionText(kFieldKonX, loaded_.symbol.view());
  PutEditedTexts(loaded_);
  ShowNeighbours(loaded_.symbol.view());
}

void ChartEditor::Page(int slots) {
  ChartTable& chart = Chart();
  const std::size_t last = chart.Count() > 0 ? chart.Count() - 1 : 0;
  const auto here = static_cast<std::int64_t>(
      loaded_.symbol.empty() ? 0 : std::min(chart.Find(loaded_.symbol.view()), last));
  const std::int64_t to = std::clamp<std::int64_t>(here + slots, 0, static_cast<std::int64_t>(last));
  Load(to == 0 ? std::string() : chart.SymbolAt(static_cast<std::size_t>(to)).str());
}

bool ChartEditor::Stored(int number) {
  if (number != kFieldKonE) return false;
  // The same symbol committed again (the cursor passing through KonE, the
  // run's own commit) keeps what has been typed into the other fields.
  if (OptionText(kFieldKonE) == loaded_.symbol.view()) return false;
  Load(OptionText(kFieldKonE));
  return true;
}

bool ChartEditor::PageKey(int number, std::uint16_t key) {
  if (number != kFieldKonE) return false;
  Page(key == kKeyPageUp ? -10 : 10);
  return true;
}

void ChartEditor::Save(OptionServices& window) {
  const std::string old_symbol(OptionText(kFieldKonE));
  const std::string new_symbol(OptionText(kFieldKonX));
  if (old_symbol.empty()) {
    window.FieldError(kFieldKonE, "Podaj symbol konta"_w);
    return;
  }
  // The chart the settings name (a switch may have asked for a reload) with
  // other workstations' appends: every comparison below is with the chart
  // as the file holds it now.
  if (!EnsureChartLoaded() || !RefreshChart()) {
    window.FieldError(kFieldKonE, "Nie odczytano planu kont "_w + ChartPath.str());
    return;
  }
  const AccountRecord current = AccountOrEmpty(old_symbol);
  if (loaded_.symbol.view() != old_symbol) {
    // The window shows a symbol the editor never loaded (values kept from an
    // earlier run): the chart's account is the one being edited.
    loaded_ = current;
  } else if (!SameAccount(loaded_, current)) {
    // Saving now would overwrite what another workstation wrote after the
    // account was loaded: show its version and write nothing.
    Load(old_symbol);
    ShowStatus("Konto zmienione na innym stanowisku"_w, kWarning);
    window.FieldError(kFieldKonE, "Konto zmienione na innym stanowisku"_w);
    return;
  }

  // The new record is the loaded one with the window's fields over it.
  AccountRecord edited = loaded_;
  edited.symbol = new_symbol;
  edited.name = OptionText(kFieldKNaz);
  edited.address = OptionText(kFieldKAdr);
  edited.extra = OptionText(kFieldKDod);
  edited.nip = OptionText(kFieldKNip);
  edited.shortName = OptionText(kFieldKHas);

  if (new_symbol.empty()) {
    if (!Chart().Contains(old_symbol)) {
      window.FieldError(kFieldKonE, "Nie ma konta "_w + old_symbol);
      return;
    }
    if (!AppendAccount(loaded_, false)) {
      window.FieldError(kFieldKonE, "Nie zapisano konta "_w + old_symbol);
      return;
    }
    Load(old_symbol);
    window.SetOutcome("Skasowany"_w);
    window.SetReturnField(kFieldKonE);
    return;
  }
  if (edited.name.empty()) {
    window.FieldError(kFieldKNaz, "Musisz podać opis konta"_w);
    return;
  }
  // A symbol with a space or a control character cannot be typed again or
  // printed in its place, and one from byte 254 on would sort past the
  // table's end marker.
  if (!UsableAccountSymbol(new_symbol)) {
    window.FieldError(kFieldKonX, "Zmień symbol"_w);
    return;
  }

  if (new_symbol == old_symbol) {
    if (SameTexts(edited, loaded_)) {
      ShowStatus("Nic się nie zmieniło"_w, kInfo);
      window.SetOutcome("Nic się nie zmieniło"_w);
      return;
    }
    if (!AppendAccount(edited, true)) {
      window.FieldError(kFieldKNaz, "Nie zapisano konta "_w + new_symbol);
      return;
    }
    Load(new_symbol);
    window.SetOutcome("Konto zapisane"_w);
    return;
  }

  // Rename or copy.
  if (Chart().Contains(new_symbol)) {
    ShowStatus("Istnieje konto "_w + new_symbol, kInfo);
    if (AskQuestion('N', "Skasować poprzedni opis"_w) != 0) {
      window.FieldError(kFieldKonX, "Zmień symbol"_w);
      return;
    }
  }
  bool delete_old = false;
  const bool old_exists = Chart().Contains(old_symbol);
  if (old_exists) {
    ShowStatus(Concat({"Co zrobić z kontem "_w, old_symbol, " ?"}), kInfo);
    const int answer = AskQuestion('T', "Skasować je "_w);
    if (answer == 2) {
      // "Powrót": neither the copy nor the rename.
      ShowStatus("Nic nie zapisano"_w, kInfo);
      window.SetOutcome("Nic nie zapisano"_w);
      window.SetReturnField(kFieldKonX);
      return;
    }
    delete_old = answer == 0;
  }
  // The new record first: if the deletion then fails, the account exists
  // twice, never not at all.
  if (!AppendAccount(edited, true)) {
    window.FieldError(kFieldKonX, "Nie zapisano konta "_w + new_symbol);
    return;
  }
  if (delete_old && !AppendAccount(loaded_, false)) {
    Load(new_symbol);
    window.FieldError(kFieldKonE,
                      Concat({"Konto skopiowane, nie skasowano konta "_w, old_symbol}));
    return;
  }
  Load(new_symbol);
  const std::string done = delete_old    ? "Konto zmienione"_w
                           : old_exists  ? "Konto skopiowane"_w
                                         : "Konto zapisane"_w;
  ShowStatus(done, kInfo);
  window.SetOutcome(done);
}

}  // namespace zel
