#include "fields/dekret_window.hpp"

#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "common/pltext.hpp"
#include "fields/option_dispatch.hpp"
#include "fields/option_values.hpp"
#include "shell/questions.hpp"
#include "shell/settings_keys.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "store/chart.hpp"
#include "store/journal_file.hpp"

namespace zel {
namespace {

// Field numbers of the table's columns, in column order.
constexpr int kColumnFields[8] = {85, 86, 87, 88, 89, 90, 91, 92};

std::string_view Cell(int row, int column) {
  return Options.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)].view();
}

// The book of the working file named in the settings, read when another
// file was named since it was last read.
DocumentBook& CurrentBook() {
  DocumentBook& book = WorkingBook();
  if (book.Name() != DbSettings.working_journal.view() ||
      book.Path() != JournalPath(DbSettings.working_journal.view()) || book.Stale()) {
    book.Open(DbSettings.working_journal.view());
  }
  return book;
}

void ForgetLoaded() {
  DekretSession& s = Dekret();
  s.loaded.clear();
  s.expected.clear();
  s.editable = true;
}

void Report(OptionServices& window, const DocumentFault& f) {
  ShowStatus(f.message, kWarning);
  if (f.field != 0) {
    window.FieldError(f.field, f.message);
    return;
  }
  const int column = f.column >= 0 && f.column < 8 ? f.column : kColDebit;
  const int slot = window.ShowTableCell(f.row, column);
  window.FieldError(kColumnFields[column], f.message);
  if (slot > 0) window.SetReturnSlot(slot);
}

void Done(OptionServices& window, std::string text) {
  window.ShowTableCell(0, kColLine);  // the next document starts at the top
  ShowStatus(text, kInfo);
  // What was stored, in place of the window's generic "Wykonane.".
  window.SetOutcome(text);
  Dekret().last_done = std::move(text);
  // The cursor waits in the number field for the next document.
  window.SetReturnSlot(0);
  window.SetReturnField(kFieldNumber);
}

}  // namespace

DekretSession& Dekret() {
  static DekretSession session;
  return session;
}

void DekretClearRows() {
  for (auto& row : Options.rows) {
    for (auto& cell : row) cell = std::string_view();
  }
}

void DekretWorkFileCommitted() {
  DocumentBook& book = WorkingBook();
  // The cursor passing through the field commits it again: the same file
  // keeps its list, its number and the rows typed so far.
  const bool same = !book.Path().empty() && book.Name() == DbSettings.working_journal.view() &&
                    book.Path() == JournalPath(DbSettings.working_journal.view());
  if (same) {
    // Documents stored or changed elsewhere since come into the list.
    if (book.Stale()) book.Open(DbSettings.working_journal.view());
    return;
  }
  book.Open(DbSettings.working_journal.view());
  if (!book.Message().empty() && !book.Name().empty()) ShowStatus(book.Message(), kInfo);
  SetOptionText(kFieldNumber, book.FirstNumber());
  ForgetLoaded();
  DekretClearRows();
}

void DekretNumberCommitted(std::string_view typed) {
  const std::string number = TrimBlanks(typed);
  SetOptionText(kFieldNumber, number);
  // The number of the document already shown, committed again (the cursor
  // passing through, Zapisz), keeps the rows as they were edited.
  if (!number.empty() && number == Dekret().loaded) return;
  DocumentBook& book = CurrentBook();
  if (number.empty() || !book.Contains(number)) {
    // A new number: what was typed stays, to be stored under it.
    ForgetLoaded();
    return;
  }
  Document d;
  bool editable = false;
  std::string raw;
  if (!book.Load(number, &d, &editable, &raw)) {
    ShowStatus("Nie odczytano dowodu "_w + number, kWarning);
    ForgetLoaded();
    return;
  }
  const bool fits = DekretPutLines(d);
  DekretSession& s = Dekret();
  s.loaded = number;
  s.expected = std::move(raw);
  s.editable = editable && fits;
  Options.posting_date = d.booking;
  Options.document_date = d.document_date;
  if (!fits) {
    ShowStatus(Concat({"Dowód "_w, number,
                       " ma więcej pozycji niż tabela okna: można go tylko skasować"_w}),
               kWarning);
  } else if (!editable) {
    ShowStatus(
        Concat({"Dowód "_w, number, " zapisał inny program: można go obejrzeć albo skasować"_w}),
        kWarning);
  } else {
    ShowStatus(Concat({"Dowód "_w, number, ": pozycji "_w, std::to_string(d.lines.size())}), kInfo);
  }
}

bool DekretPutLines(const Document& d) {
  DekretClearRows();
  std::size_t r = 0;
  for (const DocumentLine& l : d.lines) {
    if (r >= static_cast<std::size_t>(kTableRows)) return false;
    auto& row = Options.rows[r];
    row[kColLine] = std::to_string(r + 1);
    row[kColDebit] = l.debit;
    row[kColCredit] = l.credit;
    row[kColAmount] = l.amount;
    row[kColInvoice] = l.invoice;
    row[kColVat] = l.vat;
    row[kColDue] = l.due;
    row[kColText] = l.text;
    ++r;
  }
  return true;
}

Document DekretDocument() {
  Document d;
  d.number = TrimBlanks(OptionText(kFieldNumber));
  d.booking = Options.posting_date;
  d.document_date = Options.document_date;
  int last = -1;
  for (int r = 0; r < kTableRows; ++r) {
    for (int c = kColDebit; c <= kColText; ++c) {
      if (!TrimBlanks(Cell(r, c)).empty() &&
          !(c == kColDebit && UpperPl(TrimBlanks(Cell(r, c))) == "WN")) {
        last = r;
      }
    }
  }
  for (int r = 0; r <= last; ++r) {
    DocumentLine l;
    l.debit = Cell(r, kColDebit);
    l.credit = Cell(r, kColCredit);
    l.amount = Cell(r, kColAmount);
    l.invoice = Cell(r, kColInvoice);
    l.vat = Cell(r, kColVat);
    l.due = Cell(r, kColDue);
    l.text = Cell(r, kColText);
    d.lines.push_back(std::move(l));
  }
  return d;
}

void RunDekret(OptionServices& window) {
  DekretSession& s = Dekret();
  s.last_done.clear();
  if (DbSettings.working_journal.empty()) {
    Report(window, DocumentFault{"Podaj nazwę zbioru na dowody"_w, kFieldWorkFile, -1, 0});
    return;
  }
  DocumentBook& book = CurrentBook();
  const Document d = DekretDocument();
  const std::string number = TrimBlanks(d.number);
  bool any_line = false;
  for (const DocumentLine& l : d.lines) any_line = any_line || !l.Empty();
  DocumentFault fault;

  if (!s.loaded.empty() && number == s.loaded && !any_line) {
    ShowStatus(Concat({"Dowód "_w, number, " w zbiorze ", book.Path()}), kInfo);
    if (AskQuestion('N', "Skasować dowód "_w + number) != 0) {
      Done(window, "Dowodu nie skasowano: "_w + number);
      return;
    }
    if (!book.Delete(number, s.expected, &fault)) return Report(window, fault);
    ForgetLoaded();
    DekretClearRows();
    SetOptionText(kFieldNumber, "");
    Done(window, "Skasowano dowód "_w + number);
    return;
  }

  const bool correcting = !s.loaded.empty() && number == s.loaded;
  if (correcting && !s.editable) {
    Report(window, DocumentFault{Concat({"Dowód "_w, number,
                                         " można tylko skasować (opróżnij tabelę i zapisz)"_w}),
                                 kFieldNumber, -1, 0});
    return;
  }
  if (!correcting && book.Contains(number)) {
    Report(window,
           DocumentFault{Concat({"Dowód "_w, number, " już jest w zbiorze: wczytaj go numerem"_w}),
                         kFieldNumber, -1, 0});
    return;
  }
  // The chart as other workstations left it, before the accounts are checked.
  RefreshChart();
  if (!CheckDocument(d, Chart(), BoDate, BzDate, &fault)) return Report(window, fault);
  const bool stored = correcting ? book.Replace(d, s.expected, &fault) : book.Append(d, &fault);
  if (!stored) return Report(window, fault);
  std::size_t lines = 0;
  for (const DocumentLine& l : d.lines) lines += l.Empty() ? 0 : 1;
  ForgetLoaded();
  DekretClearRows();
  Done(window,
       Concat({correcting ? "Poprawiono dowód "_w : "Zapisano dowód "_w, number, ": pozycji "_w,
               std::to_string(lines), ", w zbiorze dekretów "_w, std::to_string(book.Postings())}));
}

void RegisterDocumentProcedure() {
  RegisterProcedure(kDocumentOptionIndex, [](OptionServices& window) { RunDekret(window); });
}

}  // namespace zel
