// Option KonZR as the option dispatch runs it: the parameters from the
// values the parameter window stored, the checks, the local copy and the
// audit; and the legend of the option's display-only cells.
#include <string>

#include "audit/annual_audit.hpp"
#include "common/cp1250.hpp"
#include "common/pltext.hpp"
#include "fields/option_dispatch.hpp"
#include "fields/option_values.hpp"
#include "shell/file_access.hpp"
#include "shell/local_copy.hpp"
#include "shell/settings_keys.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "store/journal_file.hpp"

namespace zel {

namespace {

constexpr int kFirstLegendField = 249;

AuditParams ParamsFromOptions() {
  AuditParams p;
  p.name = DbSettings.working_journal.str();
  p.path = JournalPath(p.name);
  p.excluded = UpperPl(OptionText(kFieldKoX));
  p.bo_date = BoDate;
  p.bz_date = BzDate;
  return p;
}

}  // namespace

const std::array<std::string, 17>& AuditLegend() {
  // In the order of the cells Ko3, KoM, Ko7, Ko_, KoA, Ko8, Ko0, Ko4, KoN,
  // Ko1, Ko5, Ko2, KoZS, KoZN, KoZK, KoK, KoS.
  static const std::array<std::string, 17> legend = {
      "3 nie ma konta"_w,       "M saldo Ma zapasów"_w, "7 koszt na 7..-2"_w,
      "- storno > obroty"_w,    "A obroty Wn na 49"_w,  "8 wynik finansowy"_w,
      "0 saldo środków trw."_w, "4 obroty Ma na 4"_w,   "N netto ujemne ŚT"_w,
      "1 saldo Ma grupy 1"_w,   "5 obroty Ma na 5"_w,   "2 saldo dwustronne"_w,
      "< przed datą BO"_w,      "> po dacie BZ"_w,      "! za krótkie konto"_w,
      "K kręgi kosztów"_w,      "S (nie sprawdzane)"_w,
  };
  return legend;
}

bool CheckAudit(const AuditParams& p, OptionServices& window) {
  auto fail = [&window](int field, const std::string& text) {
    ShowStatus(text, kWarning);
    window.FieldError(field, text);
    return false;
  };
  // Month runs are counted from the start of the book year to its end: a
  // year that ends before it starts would put every posting past its end.
  if (p.bo_date == 0 || p.bz_date == 0 || p.bz_date < p.bo_date) {
    return fail(
        0, "Koniec roku obrachunkowego przed jego początkiem: popraw daty BO i BZ (opcja I.B)"_w);
  }
  if (p.name.empty() || !FileExists(p.path)) return fail(kFieldRobo, "Nie ma " + p.path);
  return true;
}

bool AnnualAudit(const AuditParams& p, OptionServices& window) {
  if (!CheckAudit(p, window)) return false;
  // The copy says on the status line why it failed.
  if (!LocalCopy(p.path, 0)) {
    window.FieldError(kFieldRobo, LastMessage());
    return false;
  }
  File file;
  if (!OpenShared(file, LocalCopyName(p.path), Share::kDenyWrite, "bOpcK_O")) {
    // The busy message stays; no preview of an unfinished report.
    window.SetReturnField(kFieldRobo);
    return false;
  }
  FileSource source(file);
  return AuditFrom(p, source, window).done;
}

void RegisterAuditProcedures() {
  for (std::size_t i = 0; i < AuditLegend().size(); ++i) {
    SetOptionText(kFirstLegendField + static_cast<int>(i), AuditLegend()[i]);
  }
  RegisterProcedure(kAuditOptionIndex, [](OptionServices& window) {
    const AuditParams p = ParamsFromOptions();
    AnnualAudit(p, window);
  });
}

}  // namespace zel
