#include "statements/statement_procedures.hpp"

#include "fields/option_dispatch.hpp"
#include "fields/option_values.hpp"
#include "platform/folders.hpp"
#include "statements/journal_procedures.hpp"
#include "shell/settings_keys.hpp"
#include "shell/state.hpp"
#include "statements/settlements.hpp"
#include "store/journal_file.hpp"

namespace zel {

void RemoveJpkFragments() {
  for (const char* code : {"ZOiS", "Dzie", "KoZa"}) {
    const std::string path = TempName(code);
    if (FileOrFolderExists(path)) RemoveFile(path);
  }
}

std::vector<std::string> TypedAccountMasks() {
  std::vector<std::string> masks;
  for (int i = 0; i < Options.masks.count && i < kMaxAccountMasks; ++i) {
    const auto& m = Options.masks.masks[static_cast<std::size_t>(i)];
    if (!m.empty()) masks.push_back(m.str());
  }
  return masks;
}

TrialBalanceParams TrialBalanceParamsFromOptions(TrialBalanceKind kind) {
  TrialBalanceParams p;
  p.kind = kind;
  p.annual_name = DbSettings.annual_journal.str();
  p.annual_path = JournalPath(p.annual_name);
  p.masks = TypedAccountMasks();
  p.bo_date = BoDate;
  p.from = FromDate;
  p.to = ToDate;
  p.pod1 = DbSettings.depths[0];
  p.pod3 = DbSettings.depths[1];
  p.pod7 = DbSettings.depths[2];
  p.mode = DbSettings.opis_kont;
  return p;
}

void RegisterStatementProcedures(JpkKrSinkFactory jpk_factory) {
  RegisterJournalProcedures();
  for (TrialBalanceKind kind : {TrialBalanceKind::ZOiSa, TrialBalanceKind::SyBBO,
                                TrialBalanceKind::SynMi, TrialBalanceKind::Anali,
                                TrialBalanceKind::ZOiSN}) {
    RegisterProcedure(TrialBalanceIndex(kind), [kind, jpk_factory](OptionServices& window) {
      TrialBalanceParams p = TrialBalanceParamsFromOptions(kind);
      // Only option ZOiSa asks whether to prepare the JPK; the others never
      // write fragments, whatever an earlier run of ZOiSa chose.
      std::unique_ptr<JpkKrSink> sink;
      if (kind == TrialBalanceKind::ZOiSa && Options.with_jpk && jpk_factory) {
        sink = jpk_factory();
        p.jpk = sink.get();
      } else if (kind == TrialBalanceKind::ZOiSa) {
        // A run without the JPK leaves no fragments of an earlier run behind:
        // the JPK button would otherwise assemble another period's rows.
        RemoveJpkFragments();
      }
      TrialBalance(p, window);
      // The masks were matched in their expanded form on a copy; the list
      // itself goes back in short form with empty masks dropped.
      Options.masks.Compact();
    });
  }
  RegisterSettlementProcedures();
}

}  // namespace zel
