#include "fields/option_dispatch.hpp"

#include <algorithm>
#include <map>

#include "common/cp1250.hpp"
#include "menu/current_option.hpp"
#include "shell/status.hpp"

namespace zel {

PreparedForm ChosenForm;

namespace {

// Indices with a procedure; the steps done before some of them are in
// RunOptionProcedure.
const std::vector<DispatchRow> kRows = {
    {11, "Dekre", true, false},  {12, "PlaEd", true, false},  {13, "PlaSo", true, false},
    {14, "PlaZS", true, true},   {15, "PlaZP", true, true},   {16, "PlaZm", true, false},
    {17, "PlaDo", true, true},   {18, "PlaRo", true, false},  {19, "PlaKo", true, false},
    {20, "PlaAd", true, false},  {21, "PlaZe", true, false},  {22, "PlaDz", true, false},
    {23, "PlaNo", true, true},   {24, "PlaZZ", true, false},  {25, "LacZb", true, true},
    {26, "LacWe", true, true},   {27, "WWgZb", true, true},   {28, "WWgSK", true, true},
    {29, "WWgND", true, true},   {30, "WWgDK", true, true},   {31, "WWgNK", true, true},
    {32, "ZmiND", true, true},   {33, "PrzND", true, true},   {34, "ZmiDK", true, true},
    {35, "ZmiTe", true, true},   {36, "ZmiZZ", true, true},   {37, "DeWzo", true, false},
    {38, "ZaXLS", true, true},   {39, "ZaXSD", true, true},   {40, "PoKsi", true, false},
    {41, "DzieP", true, true},   {42, "DzieS", true, true},   {43, "ReVat", true, true},
    {54, "Zamkn", true, false},  {55, "ZOiSa", true, true},   {56, "SyBBO", true, true},
    {58, "SynMi", true, true},   {59, "Anali", true, true},   {65, "ZOiSN", true, true},
    {67, "RoNie", true, true},   {68, "RoRoz", true, true},   {69, "Punkt", true, true},
    {70, "Zaleg", true, true},   {71, "Platn", true, true},   {72, "Nalez", true, true},
    {73, "JakSu", true, true},   {74, "PoZap", true, true},   {75, "Ranki", true, true},   {76, "Trans", true, true},
    {77, "RoBan", true, true},   {78, "NatJP", true, true},   {79, "AnWyP", false, false},
    {81, "WyPre", false, false}, {83, "WyFor", true, false},  {85, "DeVa7", true, false},
    {105, "ImpPlX", true, false}, {117, "KonZR", true, true}, {134, "UsKvv", true, false},
    {143, "SzDbf", true, false},
};

// Indices that run nothing and leave the cursor where the window puts it.
bool RunsNothingQuietly(std::uint8_t index) {
  return index == 10 || index == 131;
}

std::map<std::uint8_t, OptionProcedure>& Registry() {
  static std::map<std::uint8_t, OptionProcedure> registry;
  return registry;
}

}  // namespace

const DispatchRow* FindDispatchRow(std::uint8_t index) {
  for (const DispatchRow& row : kRows)
    if (row.index == index) return &row;
  return nullptr;
}

std::vector<std::uint8_t> ProcedureIndices() {
  std::vector<std::uint8_t> out;
  for (const DispatchRow& row : kRows)
    if (row.procedure) out.push_back(row.index);
  return out;
}

bool IsShellOption(std::uint8_t index) {
  return index <= 8 || index == 133 || index == 135 || index == 136 || index == 138 ||
         index == 139 || index == 140 || index == 142;
}

bool RegisterProcedure(std::uint8_t index, OptionProcedure procedure) {
  if (IsShellOption(index) || !procedure) return false;
  Registry()[index] = std::move(procedure);
  return true;
}

void UnregisterProcedure(std::uint8_t index) { Registry().erase(index); }

bool IsProcedureRegistered(std::uint8_t index) { return Registry().count(index) != 0; }

std::string ProcedureMissingText() { return "Funkcja w przygotowaniu"; }

void RunOptionProcedure(OptionServices& window, FieldSet& fields) {
  const std::uint8_t index = OptionIndex;
  switch (index) {
    case 11:
      fields.SetActionSet(3, "P-K");
      window.SetReturnSlot(2);
      break;
    case 40: fields.SetActionSet(1, "PoKs"); break;
    case 79: fields.SetActionSet(1, "SzWP"); break;
    case 81: fields.SetActionKey("prel"); break;
    case 83:
      fields.SetActionKey(ChosenForm.key.view());
      window.SetReturnField(214);
      break;
    case 85: window.SetReturnField(232); break;
    default: break;
  }

  const DispatchRow* row = FindDispatchRow(index);
  auto registered = Registry().find(index);
  if (registered == Registry().end()) {
    if (row && row->procedure) {
      // The procedure belongs here but is not built in: say so, leave the
      // text as the run's result (so the window does not report success) and
      // keep the window open on its fields.
      ShowStatus(ProcedureMissingText(), kWarning);
      window.FieldError(0, ProcedureMissingText());
      window.SetReturnSlot(static_cast<int>(fields.SlotCount()));
    } else if (!row && !RunsNothingQuietly(index)) {
      window.SetReturnSlot(static_cast<int>(fields.SlotCount()));
    }
    return;
  }
  bool bracketed = row && row->bracketed;
  if (bracketed) window.OpenRunBracket();
  registered->second(window);
  if (bracketed) window.CloseRunBracket();
}

}  // namespace zel
