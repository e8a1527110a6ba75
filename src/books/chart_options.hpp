// The chart-of-accounts options of the menu group "Dekret" B: the account
// editor (12), the listings (14, 15, 23), switching the chart (16) and
// attaching a second chart to the one in memory (17).
//
// Field numbers are those of the field catalogue; the values come from the
// option texts the parameter window stores (OptionText).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "fields/option_field_hooks.hpp"
#include "fields/option_services.hpp"
#include "store/account_record.hpp"

namespace zel {

inline constexpr int kFieldKa = 45;    // two accounts back
inline constexpr int kFieldKc = 46;    // the account before
inline constexpr int kFieldKonE = 47;  // symbol of the edited account
inline constexpr int kFieldKonX = 48;  // new symbol
inline constexpr int kFieldKNaz = 49;  // name
inline constexpr int kFieldKAdr = 50;  // address
inline constexpr int kFieldKDod = 51;  // additional text
inline constexpr int kFieldKNip = 52;  // NIP
inline constexpr int kFieldKHas = 54;  // short name
inline constexpr int kFieldKx = 55;    // the account after
inline constexpr int kFieldKz = 56;    // two accounts on
inline constexpr int kFieldKoOd = 93;
inline constexpr int kFieldKoDo = 94;
inline constexpr int kFieldZmPl = 95;
inline constexpr int kFieldDoPl = 96;
inline constexpr int kFieldZaOp = 97;

// The account editor. It keeps the account as it was loaded beside the
// values being edited (the option texts): a save builds the new record from
// the loaded one and overwrites only the fields the window edits, so what
// the window does not show (the spare text, the attribute) survives, and an
// edit that changes nothing writes nothing.
class ChartEditor final : public OptionFieldHooks {
 public:
  // Loads the account into the editor (an empty record with the symbol when
  // the chart has none) and its texts and neighbours into the fields.
  void Load(std::string_view symbol);
  // Moves `slots` places through the chart (clamped to slot 0 and to the
  // last account) and loads the account there.
  void Page(int slots);
  // Saves the edit: deletion, change, rename or copy, with their questions.
  void Save(OptionServices& window);

  const AccountRecord& Loaded() const { return loaded_; }

  // Committing KonE loads that account; PgUp and PgDn in KonE page by ten.
  bool Stored(int number) override;
  bool PageKey(int number, std::uint16_t key) override;

 private:
  void ShowNeighbours(std::string_view symbol);

  AccountRecord loaded_;
};

// The program's editor.
ChartEditor& AccountEditor();

// Listing variants: 'S' short, 'P' full, 'N' with the date each account was
// written. Builds the report from the in-memory chart.
void ChartListing(OptionServices& window, char variant);

// Makes the chart named `name` (in the chart folder, or the year folder)
// the current one and requests a reload. False with the reason in
// *message when the name is unusable or the file does not exist.
bool SwitchChart(std::string_view name, std::string* message);

// Attaches the chart named in DoPl to the one in memory: the report of the
// accounts whose contents differ, the question, and the merge.
void AttachChart(OptionServices& window);

// Registers the procedures of 12, 14, 15, 16, 17 and 23 and the field hooks
// of 12 and 16.
void RegisterChartProcedures();

}  // namespace zel
