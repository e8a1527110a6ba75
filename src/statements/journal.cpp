// The journals: checks, the run over the local copy, and the printing of the
// sorted file document by document.
#include "statements/journal.hpp"

#include <algorithm>

#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "output/report_document.hpp"
#include "platform/folders.hpp"
#include "shell/file_access.hpp"
#include "shell/local_copy.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "statements/trial_balance.hpp"
#include "store/block_reader.hpp"
#include "store/chart.hpp"
#include "store/journal_entry.hpp"
#include "store/journal_file.hpp"

namespace zel {

namespace {

constexpr int kDocumentMaskWidth = 12;
constexpr std::size_t kPrintBlock = 1000;

void Head(const JournalParams& p, std::string_view title) {
  RapStart(p.working_path, title, 2);
  RapKol('p', 4, "Lp", "");
  RapKol('l', 25, "Symbol", "konta");
  RapKol('b', 15, "Obroty", "winien");
  RapKol('d', 15, "", "ma");
  RapKol('l', 20, "Numer", "transakcji");
  RapKol('c', 10, "Termin", "zapłaty"_w);
  RapNag("ze zbioru " + p.working_name);
}

// Prints the sorted file, document by document.
class Printer {
 public:
  Printer(const JournalParams& p, OptionServices& w)
      : w_(w), chart_(p.chart ? *p.chart : Chart()), full_(p.kind == JournalKind::DzieP),
        masks_(ExpandDocumentMasks(p.masks)) {}

  // False when the user interrupted (the report then ends in "Przerwanie").
  bool Print(RecordSource& source, std::string_view file_name);

 private:
  void Open(const JournalEntry& e);
  void Close(std::string_view next, bool last = false);
  void Posting(const JournalEntry& e);
  void Control(const JournalEntry& e);

  OptionServices& w_;
  ChartTable& chart_;
  const bool full_;
  const std::vector<std::string> masks_;

  // The open document.
  bool open_ = false;
  std::string number_;
  bool selected_ = false;
  bool visited_ = false;  // a posting of it was taken
  bool control_bad_ = false;
  Amount wn_ = 0, ma_ = 0;
  DayNo date_ = 0;
  std::string description_;
  std::string account20_;

  Amount total_wn_ = 0, total_ma_ = 0;
};

void Printer::Open(const JournalEntry& e) {
  open_ = true;
  number_ = e.documentNo.str();
  selected_ = DocumentMatches(masks_, number_);
  visited_ = false;
  control_bad_ = false;
  wn_ = ma_ = 0;
  date_ = e.documentDate != 0 ? e.documentDate : e.bookingDate;
  description_ = DosToWin(e.description.view());
  account20_.clear();
  if (!selected_) return;
  const std::string heading = number_ + " z " + DayToText8(e.bookingDate);
  if (full_) {
    RapWiersz("Dow.", heading);
  } else {
    RapWiersz("Dow.", heading, "", "", DosToWin(e.transactionNo.view()));
  }
}

void Printer::Posting(const JournalEntry& e) {
  if (!selected_) return;
  visited_ = true;
  const bool debit = e.IsDebit();
  (debit ? wn_ : ma_) += e.amount;
  if (account20_.empty() && e.account.view().substr(0, 2) == "20") account20_ = e.account.str();
  if (!full_) return;
  const std::int64_t lp = e.journalNo == 0 ? e.entryNo : e.journalNo;
  RapWiersz(IntText(lp, 4), e.account.view(), debit ? Amount19(e.amount) : std::string(),
            debit ? std::string() : Amount19(e.amount), DosToWin(e.transactionNo.view()),
            DayToText10(e.dueDate));
}

// A control record stands after every posting of its document (the sort
// puts it there), so the totals it is checked against are complete.
void Printer::Control(const JournalEntry& e) {
  if (!selected_ || !visited_ || !AmountsDiffer(e.amount, 0)) return;
  if (AmountsDiffer(e.amount, wn_) || AmountsDiffer(e.amount, ma_)) control_bad_ = true;
}

void Printer::Close(std::string_view next, bool last) {
  open_ = false;
  if (!visited_) return;
  if (full_) {
    RapWiersz("", "Razem d-d " + number_, Amount19(wn_), Amount19(ma_));
  } else {
    std::string text = description_;
    if (text.empty() && !account20_.empty()) {
      text = " " + account20_ + " ";
      std::size_t slot = 0;
      if (chart_.Contains(account20_, &slot)) text += chart_.FullNameAt(slot);
    }
    RapWiersz("", "dok. z dnia " + DayToText8(date_), Amount19(wn_), Amount19(ma_), text);
  }
  if (AmountsDiffer(wn_, ma_)) {
    RapTekst('-', " *** Niezgodność strony W-N z MA"_w);
  } else if (control_bad_) {
    RapTekst('-', " *** Niezgodna suma kontrolna");
  }
  // After the last document there is no numbering to break.
  RapLinia(last || next == NextDocumentNumber(number_) ? ' ' : '=');
  total_wn_ += wn_;
  total_ma_ += ma_;
}

bool Printer::Print(RecordSource& source, std::string_view file_name) {
  const std::uint64_t count = RecordCount(source, kJournalRecordSize);
  const std::string of = Concat({"/", std::to_string(count)});
  BlockReader reader(source, file_name, kPrintBlock);
  bool first = true;
  for (;;) {
    const JournalEntry& e = reader.Next();
    if (reader.StartedBlock()) {
      if (w_.AbortRequested()) {
        RapTekst('1', "Przerwanie");
        return false;
      }
      ShowStatus(std::to_string(reader.RecordNumber()) + of, kInfo);
    }
    if (reader.AtEnd()) break;
    // The header record of the sorted file is no document.
    if (first && e.documentNo.view() == "\xFF") {
      first = false;
      continue;
    }
    first = false;
    if (!open_ || e.documentNo.view() != number_) {
      // A control record without a posting before it has nothing to check.
      if (e.IsControl()) continue;
      if (open_) Close(e.documentNo.view());
      Open(e);
    }
    if (e.IsControl()) {
      Control(e);
    } else {
      Posting(e);
    }
  }
  if (open_) Close({}, true);
  RapWiersz("", "Razem zbiór"_w, Amount19(total_wn_), Amount19(total_ma_));
  return true;
}

}  // namespace

std::uint8_t JournalIndex(JournalKind kind) {
  switch (kind) {
    case JournalKind::PoKsi: return 40;
    case JournalKind::DzieP: return 41;
    case JournalKind::DzieS: return 42;
  }
  return 0;
}

std::string NextDocumentNumber(std::string_view number) {
  std::string next(number);
  for (std::size_t i = next.size(); i-- > 0;) {
    const char c = next[i];
    if (c < '0' || c > '9') break;
    if (c != '9') {
      ++next[i];
      break;
    }
    next[i] = '0';
  }
  return next;
}

std::vector<std::string> ExpandDocumentMasks(const std::vector<std::string>& masks) {
  std::vector<std::string> out;
  for (const std::string& m : masks) {
    if (!m.empty()) out.push_back(MaskExpand(m, kDocumentMaskWidth));
  }
  return out;
}

bool DocumentMatches(const std::vector<std::string>& expanded_masks, std::string_view number) {
  if (expanded_masks.empty()) return true;
  return std::any_of(expanded_masks.begin(), expanded_masks.end(),
                     [&](const std::string& m) { return SymbolMatchesMask(m, number); });
}

bool CheckJournal(const JournalParams& p, OptionServices& window) {
  auto fail = [&window](int field, const std::string& text) {
    ShowStatus(text, kWarning);
    window.FieldError(field, text);
    return false;
  };
  if (p.working_name.empty() || !FileExists(p.working_path)) {
    return fail(kFieldRobo, "Nie ma " + p.working_path);
  }
  // An empty last number sorts before any first one; both empty take all.
  if (!p.first_document.empty() &&
      (p.last_document.empty() || CompareSymbols(p.last_document, p.first_document) < 0)) {
    return fail(kFieldDoOd, "Popraw numery dowodów"_w);
  }
  if (p.to < p.from) return fail(kFieldDaDo, "Popraw datę końcową"_w);
  return true;
}

bool JournalFromFile(const JournalParams& p, std::string_view local_path, OptionServices& window) {
  File file;
  if (!OpenShared(file, local_path, Share::kDenyWrite, "bZestaw")) return false;
  FileSource source(file);
  std::vector<std::uint32_t> order;
  if (SortJournalOrder(source, local_path, p, window, &order) != SortResult::kSorted) return false;

  if (p.kind == JournalKind::PoKsi) {
    Head(p, "Polecenie księgowania"_w);
    return true;
  }
  Head(p, std::string(p.kind == JournalKind::DzieS ? "DZIENNIK SKRÓCONY"_w : "DZIENNIK PEŁNY"_w) +
              std::string(window.PeriodText()));
  SortedJournal sorted(source, order);
  Printer printer(p, window);
  return printer.Print(sorted, local_path);
}

bool Journal(const JournalParams& p, OptionServices& window) {
  if (!CheckJournal(p, window)) return false;
  if (!LocalCopy(p.working_path, 0)) {
    window.SetReturnField(kFieldRobo);
    return false;
  }
  return JournalFromFile(p, LocalCopyName(p.working_path), window);
}

}  // namespace zel
