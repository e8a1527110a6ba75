// The settlement options as the option dispatch runs them, with their
// parameters read from the values the parameter window stored.
#include "common/globals.hpp"
#include "fields/option_dispatch.hpp"
#include "fields/option_values.hpp"
#include "shell/settings_keys.hpp"
#include "shell/state.hpp"
#include "statements/settlements.hpp"
#include "statements/statement_procedures.hpp"
#include "store/journal_file.hpp"

namespace zel {

namespace {

constexpr int kFieldWMSL = 61;
constexpr int kFieldWnMa = 118;

char FirstLetter(std::string_view text, char fallback) { return text.empty() ? fallback : text[0]; }

}  // namespace

SettlementParams SettlementParamsFromOptions(SettlementKind kind) {
  SettlementParams p;
  p.kind = kind;
  p.annual_name = DbSettings.annual_journal.str();
  p.annual_path = JournalPath(p.annual_name);
  p.masks = TypedAccountMasks();
  p.bo_date = BoDate;
  p.from = FromDate;
  p.to = ToDate;
  p.show_due_until = DbSettings.horizon;
  p.days_reference = Options.posting_date;
  p.currency = std::string(OptionText(kFieldWalJ));
  p.pod1 = DbSettings.depths[0];
  p.pod3 = DbSettings.depths[1];
  p.pod7 = DbSettings.depths[2];
  p.mode = DbSettings.opis_kont;
  p.key_letter = FirstLetter(OptionText(kFieldWMSL), DbSettings.wn_ma_sa_ld);
  p.debit_postings = FirstLetter(OptionText(kFieldWnMa), 'W') == 'W';
  p.today = Today;
  return p;
}

void RegisterSettlementProcedures() {
  for (SettlementKind kind : {SettlementKind::RoNie, SettlementKind::Ranki, SettlementKind::Trans,
                              SettlementKind::RoBan, SettlementKind::NatJP}) {
    RegisterProcedure(SettlementIndex(kind), [kind](OptionServices& window) {
      const SettlementParams p = SettlementParamsFromOptions(kind);
      switch (kind) {
        case SettlementKind::RoNie: OpenItems(p, window); break;
        case SettlementKind::Ranki: Ranking(p, window); break;
        case SettlementKind::Trans: TopPostings(p, window); break;
        case SettlementKind::RoBan:
        case SettlementKind::NatJP: BankSettlements(p, window); break;
      }
      Options.masks.Compact();
    });
  }
}

}  // namespace zel
