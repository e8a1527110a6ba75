#include "books/journal_file_procedures.hpp"

#include "books/journal_posting.hpp"
#include "books/journal_select.hpp"
#include "books/journal_xlsx.hpp"
#include "fields/option_dispatch.hpp"
#include "fields/option_field_hooks.hpp"
#include "fields/option_values.hpp"
#include "shell/settings_keys.hpp"
#include "shell/state.hpp"

namespace zel {

namespace {

constexpr int kFieldDoDo = 78;

DocumentChoice DocumentsFromOptions() {
  DocumentChoice c;
  const DocumentMaskList& list = Options.documents;
  for (int i = 0; i < list.count && i < kMaxDocumentMasks; ++i) {
    const auto& m = list.masks[static_cast<std::size_t>(i)];
    if (!m.empty()) c.masks.push_back(m.str());
  }
  c.first = std::string(OptionText(kFieldDoOdChange));
  c.last = std::string(OptionText(kFieldDoDo));
  return c;
}

void Split(SplitBy by, OptionServices& window) {
  SplitParams p;
  p.by = by;
  p.source_name = DbSettings.annual_journal.str();
  p.rob1 = std::string(OptionText(kFieldRob1));
  p.rob2 = std::string(OptionText(kFieldRob2));
  if (by == SplitBy::kSourceFile) p.text = std::string(OptionText(kFieldZrod));
  if (by == SplitBy::kAccountName) p.text = std::string(OptionText(kFieldText));
  if (by == SplitBy::kAccounts) {
    for (int i = 0; i < Options.masks.count && i < kMaxAccountMasks; ++i) {
      const auto& m = Options.masks.masks[static_cast<std::size_t>(i)];
      if (!m.empty()) p.account_masks.push_back(m.str());
    }
  }
  if (by == SplitBy::kDocuments) p.documents = DocumentsFromOptions();
  p.from = FromDate;
  p.to = ToDate;
  SplitJournal(p, window);
}

void Change(ChangeKind kind, OptionServices& window) {
  ChangeParams p;
  p.kind = kind;
  p.working_name = DbSettings.working_journal.str();
  p.documents = DocumentsFromOptions();
  p.new_number = std::string(OptionText(kFieldDoNo));
  p.fragment = std::string(OptionText(kFieldDowF));
  p.shift = std::string(OptionText(kFieldDowG));
  p.new_date = Options.posting_date;
  p.debit_days = std::string(OptionText(kFieldTeWn));
  p.credit_days = std::string(OptionText(kFieldTeMa));
  ChangeDocuments(p, window);
}

// The posting window shows which working files a run would post: the first
// nine names on its display rows and the count of all of them. The list is
// read again whenever the window shows its fields (the first row asks for
// it), so a list or annual name just committed shows at once.
class PostingListHooks final : public OptionFieldHooks {
 public:
  bool Stored(int number) override { return number == kFieldLiZb || number == kFieldBiez; }
  bool PageKey(int, std::uint16_t) override { return false; }
  bool Shown(int number, int row, std::string* text) override {
    if (number == kFieldLisZ) {
      if (row == 0) {
        PostingParams p{std::string(OptionText(kFieldLiZb)), std::string(OptionText(kFieldBiez))};
        names_ = FilesToPost(p, &ok_);
      }
      const auto at = static_cast<std::size_t>(row);
      *text = at < names_.size() ? names_[at] : std::string();
      return true;
    }
    if (number == kFieldLixZ) {
      // A list that cannot be read shows "?" here: the run will say why.
      *text = ok_ ? std::to_string(names_.size()) : std::string("?");
      return true;
    }
    return false;
  }

 private:
  std::vector<std::string> names_;
  bool ok_ = true;
};

}  // namespace

void RegisterJournalFileProcedures() {
  static PostingListHooks posting_list;
  SetOptionFieldHooks(25, &posting_list);
  RegisterProcedure(25, [](OptionServices& window) {
    PostWorkingFiles({std::string(OptionText(kFieldLiZb)), std::string(OptionText(kFieldBiez))},
                     window);
  });
  RegisterProcedure(26, [](OptionServices& window) {
    PostingParams p;
    p.list_name = std::string(OptionText(kFieldLiZb));
    // The annual file of the last posting; empty: the year's annual file.
    p.annual_name = std::string(OptionText(kFieldBiez));
    VerifyPosting(p, window);
  });
  RegisterProcedure(27, [](OptionServices& w) { Split(SplitBy::kSourceFile, w); });
  RegisterProcedure(28, [](OptionServices& w) { Split(SplitBy::kAccounts, w); });
  RegisterProcedure(29, [](OptionServices& w) { Split(SplitBy::kDocuments, w); });
  RegisterProcedure(30, [](OptionServices& w) { Split(SplitBy::kBookingDates, w); });
  RegisterProcedure(31, [](OptionServices& w) { Split(SplitBy::kAccountName, w); });
  RegisterProcedure(32, [](OptionServices& w) { Change(ChangeKind::kNumber, w); });
  RegisterProcedure(33, [](OptionServices& w) { Change(ChangeKind::kShift, w); });
  RegisterProcedure(34, [](OptionServices& w) { Change(ChangeKind::kBookingDate, w); });
  RegisterProcedure(35, [](OptionServices& w) { Change(ChangeKind::kDueDates, w); });
  RegisterProcedure(36, [](OptionServices& w) { Change(ChangeKind::kSourceFile, w); });
  // 37 (DeWzo) has no procedure yet: the table says so when it is run.
  RegisterProcedure(38, [](OptionServices& w) {
    ExportAnnualXlsx(DbSettings.annual_journal.view(), w);
  });
}

}  // namespace zel
