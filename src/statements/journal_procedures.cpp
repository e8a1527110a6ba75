// The journals' option procedures (PoKsi, DzieP, DzieS) as the option
// dispatch runs them, with their parameters from the stored option values.
#include "statements/journal_procedures.hpp"

#include "fields/option_dispatch.hpp"
#include "fields/option_values.hpp"
#include "shell/settings_keys.hpp"
#include "shell/state.hpp"
#include "store/journal_file.hpp"

namespace zel {

JournalParams JournalParamsFromOptions(JournalKind kind) {
  JournalParams p;
  p.kind = kind;
  p.working_name = DbSettings.working_journal.str();
  p.working_path = JournalPath(p.working_name);
  const DocumentMaskList& list = Options.documents;
  for (int i = 0; i < list.count && i < kMaxDocumentMasks; ++i) {
    const auto& m = list.masks[static_cast<std::size_t>(i)];
    if (!m.empty()) p.masks.push_back(m.str());
  }
  p.first_document = std::string(OptionText(kFieldDoOd));
  p.last_document = std::string(OptionText(kFieldDoDo));
  p.from = FromDate;
  p.to = ToDate;
  return p;
}

void RegisterJournalProcedures() {
  for (JournalKind kind : {JournalKind::PoKsi, JournalKind::DzieP, JournalKind::DzieS}) {
    RegisterProcedure(JournalIndex(kind), [kind](OptionServices& window) {
      Journal(JournalParamsFromOptions(kind), window);
    });
  }
}

}  // namespace zel
