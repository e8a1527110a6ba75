// RoNie: builds the open-items file of the selected accounts beside the
// annual file and reports the open (unsettled) items from it, account by
// account, with the account's shown and full totals.
#include "statements/open_items.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "output/report_document.hpp"
#include "platform/folders.hpp"
#include "shell/status.hpp"
#include "statements/row_cells.hpp"
#include "statements/trial_balance.hpp"
#include "store/block_reader.hpp"
#include "store/chart.hpp"
#include "store/journal_file.hpp"

namespace zel {

namespace {

struct Totals {
  Amount wn = 0, ma = 0;
  void Add(bool debit, Amount a) { (debit ? wn : ma) += a; }
  bool Differs(const Totals& o) const { return AmountsDiffer(wn, o.wn) || AmountsDiffer(ma, o.ma); }
};

// Totals with their balance pair (summed over accounts for the report).
struct Summary {
  Totals t;
  Amount bal_wn = 0, bal_ma = 0;
};

// A data row added to `doc`, as RapWiersz adds one to the report.
template <class... Cells>
void AddRow(ReportDocument& doc, const Cells&... cells) {
  const std::string_view list[] = {std::string_view(cells)...};
  doc.AddRow(std::span<const std::string_view>(list, sizeof...(Cells)));
}

void TotalsRow(ReportDocument& doc, std::string_view label, const Summary& s) {
  std::string net_debit, net_credit;
  if (AmountsDiffer(s.bal_wn, 0) && AmountsDiffer(s.bal_ma, 0) &&
      AmountsDiffer(s.bal_wn, s.bal_ma)) {
    if (Round4(s.bal_wn) > Round4(s.bal_ma)) {
      net_debit = Amount15(s.bal_wn - s.bal_ma);
    } else {
      net_credit = Amount15(s.bal_ma - s.bal_wn);
    }
  }
  AddRow(doc, "", label.substr(0, 30), "", "", Amount15(s.t.wn), Amount15(s.t.ma),
         Amount15(s.bal_wn), Amount15(s.bal_ma), "", net_debit, net_credit);
}

// The columns of the report.
struct ColumnHead {
  char kind;
  int width;
  const char* heading1;  // UTF-8
  const char* heading2;  // nullptr: a column of one heading
};
constexpr ColumnHead kColumns[] = {
    {'l', 1, "", nullptr},       {'l', 18, "Transakcja", nullptr},  {'c', 9, "Data", "księgowania"},
    {'l', 15, "Numer", "dowodu"}, {'b', 15, "Suma", "winien"},        {'d', 15, "", "ma"},
    {'b', 15, "Saldo", "winien"}, {'d', 15, "", "ma"},                {'p', 3, "Dni", nullptr},
    {'c', 9, "Termin", nullptr},  {'c', 9, "Data", "dokumentu"},
};

// The report over the records of an open-items file, in file order. Run
// reads them from a file. While the file is being built the records are fed
// to it instead (Feed), their rows kept in a document of the report's own,
// and Finish then starts the report and moves those rows into it: the report
// is made from the very bytes written, without reading the file back, and
// the program's report is touched only once the file is in place.
class Report : public OpenItemsFeed {
 public:
  Report(const SettlementParams& p, OptionServices& w)
      : p_(p), w_(w), chart_(p.chart ? *p.chart : Chart()) {}

  void Run(RecordSource& afx, std::string_view file_name) {
    Head();
    const std::uint64_t total = RecordCount(afx, kJournalRecordSize);
    BlockReader reader(afx, file_name);
    for (;;) {
      const JournalView v = reader.NextView();
      if (reader.StartedBlock()) {
        if (w_.AbortRequested()) break;
        w_.Progress(have_ ? std::string_view(account_) : std::string_view("RoNie"),
                    static_cast<std::int64_t>(reader.Position()),
                    static_cast<std::int64_t>(total));
      }
      if (reader.AtEnd() || v.IsSentinel()) break;
      Next(v);
    }
    if (have_) CloseAccount();
    End();
  }

  // Rows go to the report's own document until Finish.
  void StartFeed() {
    staged_.Start("", "", 1);
    for (const ColumnHead& c : kColumns) {
      staged_.AddColumn(c.kind, c.width, Utf8ToWin(c.heading1),
                        c.heading2 ? Utf8ToWin(c.heading2) : std::string());
    }
    staged_.CloseHeader("");
    doc_ = &staged_;
  }

  // The records of one account: it is told from the last one once.
  void Records(const std::uint8_t* first, std::size_t count) override {
    if (count == 0) return;
    Account(JournalView(first, false));
    for (std::size_t i = 0; i < count; ++i) Record(JournalView(first + i * kJournalRecordSize, false), entry_);
  }

  // The report of the records fed. A run aborted by then reports nothing,
  // as a report that reads the file stops at its first block.
  void Finish() {
    doc_ = &CurrentReport();
    Head();
    if (!w_.AbortRequested()) {
      if (have_) {
        doc_ = &staged_;
        CloseAccount();
        doc_ = &CurrentReport();
      }
      CurrentReport().AppendRowsOf(staged_);
    } else {
      report_shown_ = Summary();
      report_full_ = Summary();
    }
    End();
  }

 private:
  void Head() {
    RapStart(p_.annual_name, "ROZRACHUNKI NIEROZLICZONE " + std::string(w_.PeriodText()), 2);
    for (const ColumnHead& c : kColumns) {
      if (c.heading2) {
        RapKol(c.kind, c.width, Utf8ToWin(c.heading1), Utf8ToWin(c.heading2));
      } else {
        RapKol1(c.kind, c.width, Utf8ToWin(c.heading1));
      }
    }
    RapNag("");
  }

  void Next(const JournalView& v) {
    Account(v);
    Record(v, entry_);
  }

  // Closes the account before `v` when `v` begins another one.
  void Account(const JournalView& v) {
    if (have_ && v.account() == account_) return;
    if (have_) CloseAccount();
    account_ = v.account();
    have_ = true;
    pending_header_ = true;
    printed_header_ = false;
  }

  // Decides from the record's bytes; only a shown record is decoded whole.
  void Record(const JournalView& v, JournalEntry& r) {
    const bool debit = v.IsDebit();
    const Amount amount = v.amount();
    const std::uint8_t* p = v.bytes();
    const DayNo stored_due = static_cast<DayNo>(p[124] | (p[125] << 8));
    const DayNo due = stored_due != 0 ? stored_due
                                      : static_cast<DayNo>(std::min<int>(
                                            v.bookingDate() + (debit ? 14 : 0), 0xFFFF));
    const bool shown =
        p[192] == 0 &&
        (p_.show_due_until == 0 || due <= p_.show_due_until ||
         (debit && Round4(amount) < 0 && Round4(full_.ma) < Round4(full_.wn)));
    if (shown) {
      v.Decode(&r);
      // The date columns are nine characters wide: dates go in as DD-MM-YY,
      // which fits, rather than cut from DD-MM-YYYY.
      if (pending_header_) {
        std::string head = account_;
        if (!p_.currency.empty()) head += "/" + p_.currency;
        if (head.size() > 34) head.resize(34);
        doc_->AddText('1', head + chart_.Description(account_, 'P'));
        pending_header_ = false;
        printed_header_ = true;
      }
      // The cells go into buffers of this call (the texts are at most 20
      // and 30 characters, the document 12 with ';' and a number).
      char trans_text[20];
      std::string trans_with_rate;
      std::string_view trans(trans_text, DosToWinTo(r.transactionNo.view(), trans_text));
      if (!p_.currency.empty()) {
        trans_with_rate = PadRight(trans, 13) + " " +
                          NumberText(static_cast<Amount>(r.currencyRate) * 0.0001L, 4);
        if (trans_with_rate.size() > 20) trans_with_rate.resize(20);
        trans = trans_with_rate;
      }
      const int number = r.journalNo != 0 ? r.journalNo : r.entryNo;
      const IntCell number_cell(number);
      const std::string_view number_text = number == 0 ? std::string_view("0") : number_cell.view();
      const std::string_view document_no = r.documentNo.view();
      char document[32];
      std::memcpy(document, document_no.data(), document_no.size());
      document[document_no.size()] = ';';
      std::memcpy(document + document_no.size() + 1, number_text.data(), number_text.size());
      IntCell days;
      if (due != 0 && due < p_.days_reference) days = IntCell(p_.days_reference - due);
      char description[30];
      const std::string_view description_dos = r.description.view();
      const std::string amount_text = Amount15(r.amount);
      AddRow(*doc_, "", trans, booking_texts_.Of(r.bookingDate),
                std::string_view(document, document_no.size() + 1 + number_text.size()),
                debit ? std::string_view(amount_text) : std::string_view(),
                debit ? std::string_view() : std::string_view(amount_text),
                std::string_view(description, DosToWinTo(description_dos, description)), "",
                days.view(), due_texts_.Of(due), document_texts_.Of(r.documentDate));
      shown_.Add(debit, amount);
    }
    full_.Add(debit, amount);
  }

  // Adds an account's totals and their balance pair to the report's, and
  // returns them as the account's summary.
  static Summary AddUp(Summary& into, const Totals& t) {
    Summary s;
    s.t = t;
    BalanceRule(t.wn, t.ma, &s.bal_wn, &s.bal_ma);
    into.t.wn += t.wn;
    into.t.ma += t.ma;
    into.bal_wn += s.bal_wn;
    into.bal_ma += s.bal_ma;
    return s;
  }

  void CloseAccount() {
    static const std::string kFullTotals = "Pełne obroty"_w;
    const Summary full = AddUp(report_full_, full_);
    // An account with no row shown has shown totals of zero, which add
    // nothing to the report's.
    if (printed_header_) {
      const Summary shown = AddUp(report_shown_, shown_);
      doc_->AddRule('.');
      label_.assign("Razem ").append(account_);
      TotalsRow(*doc_, label_, shown);
      if (full_.Differs(shown_)) TotalsRow(*doc_, kFullTotals, full);
      doc_->AddRule('-');
    }
    shown_ = Totals();
    full_ = Totals();
  }

  void End() {
    ReportDocument& doc = CurrentReport();
    TotalsRow(doc, "W raporcie", report_shown_);
    if (report_full_.t.Differs(report_shown_.t) ||
        AmountsDiffer(report_full_.bal_wn, report_shown_.bal_wn) ||
        AmountsDiffer(report_full_.bal_ma, report_shown_.bal_ma)) {
      TotalsRow(doc, "Pełne obroty"_w, report_full_);
    }
    RapKoniec();
  }

  const SettlementParams& p_;
  OptionServices& w_;
  ChartTable& chart_;
  std::string account_;
  std::string label_;  // the account's totals label, kept for its room
  bool pending_header_ = false;
  bool printed_header_ = false;
  Totals shown_, full_;
  Summary report_shown_, report_full_;
  DayTextCache booking_texts_{DayToText8}, due_texts_{DayToText8}, document_texts_{DayToText8};
  bool have_ = false;  // an account has begun
  JournalEntry entry_;  // the shown record, decoded
  ReportDocument* doc_ = &CurrentReport();  // where the rows of the accounts go
  ReportDocument staged_;  // the rows fed before the report starts
};

bool Refuse(OptionServices& window, int field, const std::string& text) {
  ShowStatus(text, kWarning);
  window.FieldError(field, text);
  return false;
}

}  // namespace

void OpenItemsReport(const SettlementParams& p, RecordSource& afx, std::string_view file_name,
                     OptionServices& window) {
  Report report(p, window);
  report.Run(afx, file_name);
}

bool OpenItems(const SettlementParams& p, OptionServices& window) {
  if (!CheckSettlement(p, window)) return false;
  const std::string afx_path = OpenItemsPath(p.annual_name);
  // Built beside its final place, so that putting it there is a rename.
  const std::string built_path = afx_path + "~";
  OpenItemsBuild built;
  Report report(p, window);
  report.StartFeed();
  {
    File annual;
    if (!OpenShared(annual, p.annual_path, Share::kDenyWrite, "X30:178")) {
      window.SetReturnField(kFieldRocz);
      return false;
    }
    // Created new where it can be: emptying a file, even an empty one, makes
    // some file systems (ext4) write it out at its close and wait for the
    // disk. A file left there by an earlier run is opened and emptied.
    File out;
    if (!out.Open(built_path, Access::kReadWrite, Share::kExclusive, Disposition::kCreateNew) &&
        !out.Open(built_path, Access::kReadWrite, Share::kExclusive, Disposition::kCreateAlways)) {
      return Refuse(window, kFieldRocz, "Nie można utworzyć pliku "_w + built_path);
    }
    FileSource source(annual);
    built = BuildOpenItems(p, source, p.annual_path, out, window, &report);
    // Not flushed to disk: the file is derived, rebuilt by every run before
    // it is read, and read back here from the system's cache. A crash can
    // leave at most a damaged copy of it under its own name, which the next
    // run replaces; the old file stays whole as the backup, and the annual
    // file is only read.
    if (!built.write_failed && !out.Close()) built.write_failed = true;
  }
  if (built.out_of_order) {
    RemoveFile(built_path);
    return false;
  }
  if (built.write_failed) {
    RemoveFile(built_path);
    return Refuse(window, kFieldRocz, "Błąd zapisu pliku "_w + built_path);
  }
  if (built.records == 0) {
    RemoveFile(built_path);
    return Refuse(window, kFieldWalJ, "Przerwano");
  }
  // The old file is kept as the backup when it can be moved aside; the new
  // one replaces it either way, and when even that fails the report still
  // comes from the file just built, never from an old one.
  if (FileOrFolderExists(afx_path) && !MoveAsideBak(afx_path)) {
    ShowStatus("Nie przeniesiono starego pliku "_w + afx_path + " do kopii .BAK", kWarning);
  }
  const bool replaced = ReplaceFile(built_path, afx_path, Durability::kCache);
  if (!replaced) {
    ShowStatus("Nie zastąpiono pliku "_w + afx_path + ", raport z pliku " + built_path, kWarning);
  }
  report.Finish();
  if (!replaced) RemoveFile(built_path);
  return true;
}

}  // namespace zel
