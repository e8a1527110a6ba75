#include "fields/shell_field_sets.hpp"

#include "common/cp1250.hpp"
#include "fields/b_zestaw.hpp"
#include "menu/current_option.hpp"
#include "shell/state.hpp"

namespace zel {

namespace {

ShellFieldHost* host = nullptr;

FieldDecl F(const char* caption_utf8, const char* code, std::int16_t number, int width) {
  return FieldDecl{Utf8ToWin(caption_utf8), code, number, width};
}

}  // namespace

ShellFieldHost* SetShellFieldHost(ShellFieldHost* h) {
  ShellFieldHost* previous = host;
  host = h;
  return previous;
}

bool IsShellFieldSet(std::uint8_t index) {
  switch (index) {
    case 1: case 2: case 133: case 135: case 136: case 138: case 139: case 140: case 142:
      return true;
    default:
      return false;
  }
}

void NoteDeclaredField(std::int16_t number) {
  if (!host) return;
  if (number == 31 || number == 36) {
    std::string_view dir = DbDir.view();
    host->SetEditFolder(dir.empty() ? dir : dir.substr(0, dir.size() - 1));
  } else if (number == 32 || number == 37) {
    host->SetEditChart(ChartName.view());
  }
}

bool DeclareShellFields(std::uint8_t index, FieldSet& fields, bZestaw& module) {
  switch (index) {
    case 1:
      // Logging in again: the workstation stops counting as running until
      // the new login succeeds.
      if (host) host->CloseStationLock();
      fields.Begin(kGoRun, OptionKey.view(), "logowanie");
      fields.Line({F("Login", "Logi", 1, 12)});
      fields.Line({F("Hasło", "Hasl", 2, 12)});
      return true;
    case 2:
      fields.Begin(kGoRun, "", "Test bazy danych");
      return true;
    case 133:
      fields.Begin(kGoRun);
      return true;
    case 135:
      fields.Begin(kGoSave);
      fields.Line({F("Font", "OkFo", 3, 16), F("", "OkBo", 4, 4), F("", "OkWi", 5, 2)});
      fields.Line({F("Poziomy margines", "OkMx", 6, 2), F("odstęp", "OkDx", 7, 2)});
      fields.Line({F("Pionowy margines", "OkMy", 8, 2), F("odstęp", "OkDy", 9, 2)});
      fields.Line({F("Głębokość pola edycji", "OkEz", 10, 2), F("odstęp", "OkEm", 11, 2)});
      fields.Separator();
      fields.Line({F("Raporty", "RaFo", 12, 15), F("", "RaBo", 13, 4), F("", "RaWi", 14, 2)});
      fields.Line({F("Położenie", "RaPo", 15, 3), F("od góry", "RaMa", 17, 4), F("dług.", "RaWy", 16, 3)});
      fields.Separator();
      fields.Line({F("Na 2", "RzN2", 18, 1), F("", "RzWi", 21, 2), F("", "RzBo", 20, 4), F("", "RzFo", 19, 15)});
      fields.Line({F("Położenie", "RzPo", 22, 3), F("od góry", "RzMa", 24, 4), F("dług.", "RzWy", 23, 3)});
      return true;
    case 136:
      module.ewDrukFis("bZestaw");
      fields.Begin(kGoSave);
      fields.Caption("Drukarka laserowa  "_w + (host ? host->PrinterName() : std::string()));
      fields.Line({F("Font", "PrFo", 25, 15), F("bold", "PrBo", 26, 4)});
      return true;
    case 138:
    case 142:
      fields.Begin(kGoSave);
      fields.Line({F("Katalog (folder) z bazą danych", "DirJ", 31, 8)});
      fields.Line({F("Baza danych w tym katalogu", "BazJ", 32, 8)});
      return true;
    case 139:
      fields.Begin(kGoRun);
      NoteDeclaredField(31);  // the folder stays; only the database changes
      fields.Line({F("Baza danych", "BazJ", 32, 8)});
      return true;
    case 140:
      fields.Begin(kGoSave);
      fields.Line({F("Wpisz stare hasło", "HasS", 33, 8)});
      fields.Line({F("Wpisz nowe hasło", "HasN", 34, 8)});
      fields.Line({F("Powtórz hasło", "HasP", 35, 8)});
      return true;
    default:
      return false;
  }
}

}  // namespace zel
