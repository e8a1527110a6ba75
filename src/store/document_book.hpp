// The documents of a working journal file as the document window enters
// them: the list of the file's documents, the checks of a typed document,
// its records, and the three writes (append a new document, replace a
// corrected one, delete one).
//
// A document is a number, a booking date, a document date and lines of
// (debit account, credit account, amount, invoice number, VAT register,
// due date, description). Each side of a line becomes one posting record:
// `account`/`side` give the side, `counterAccount` names the other side,
// `entryNo` is the line number. A control record (journalNo -1) closes the
// document with its debit total.
//
// Writers: a new document is appended in one write while the file is held
// exclusively and the workstation register holds '#' for it, so documents
// stored at the same moment by two workstations both land whole. A
// correction or a deletion writes the whole file anew beside it and renames
// it over the old one under the same lock: the old file stays whole until
// the new one is complete. Nothing is written in place.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/types.hpp"
#include "store/document_key.hpp"
#include "store/journal_entry.hpp"

namespace zel {

class ChartTable;

// Columns of the document table (0 is the line number).
enum DocumentColumn : int {
  kColLine = 0,
  kColDebit = 1,
  kColCredit = 2,
  kColAmount = 3,
  kColInvoice = 4,
  kColVat = 5,
  kColDue = 6,
  kColText = 7,
};

// Header fields of the document window, by field number.
inline constexpr int kFieldWorkFile = 69;  // Robo
inline constexpr int kFieldNumber = 83;    // NDow
inline constexpr int kFieldBooking = 70;   // DatD
inline constexpr int kFieldDocDate = 84;   // DatF

// One line as typed (Windows-1250). The debit column's placeholder "wn"
// counts as empty.
struct DocumentLine {
  std::string debit;    // KoWn
  std::string credit;   // KoMa
  std::string amount;   // Kwot
  std::string invoice;  // NrTr
  std::string vat;      // ReVa
  std::string due;      // Term, DDMMYY or empty
  std::string text;     // Opis
  bool Empty() const;
};

struct Document {
  std::string number;       // NDow
  DayNo booking = 0;        // DatD
  DayNo document_date = 0;  // DatF; 0: the booking date
  std::vector<DocumentLine> lines;
};

// Where a check failed: a header field, or a cell of the table.
struct DocumentFault {
  std::string message;  // Windows-1250
  int field = 0;        // header field number; 0 for a cell
  int row = -1;         // 0-based line of the table for a cell
  int column = 0;       // DocumentColumn for a cell
};

// An amount typed in a line: optional minus, digits (spaces between groups
// allowed), optional ',' or '.' with up to two decimals. In grosze.
bool ParseLineAmount(std::string_view text, std::int64_t* grosze);

// The checks before a document is stored: number and booking date given,
// both dates within first..last (the book year), at least one line, every
// account an analytic account of the chart (present, without sub-accounts),
// every amount a number other than zero, every due date a date, debit total
// equal to credit total. False with the first fault found.
bool CheckDocument(const Document& d, ChartTable& chart, DayNo first, DayNo last,
                   DocumentFault* fault);

// The posting records of a checked document and its control record, in
// line order (debit side before credit side). Empty lines are left out and
// the others numbered 1, 2, ... Texts go through WinToDos.
std::vector<JournalEntry> DocumentRecords(const Document& d, std::string_view source_file);

// The working file's documents.
class DocumentBook {
 public:
  // Entries the window's list holds; later documents are counted, not listed.
  static constexpr std::size_t kListLimit = 900;

  // Reads the document list of DbDir + name + ".DFX" (shared open with
  // retries). A missing file is an empty book (the first document stored
  // creates it) and says so in Message(); a file that cannot be read leaves
  // the book empty and answers false.
  bool Open(std::string_view name);

  // True when the file is no longer the one the list was read from (written
  // or replaced since by someone else): the list must be read again.
  bool Stale() const;

  const std::string& Name() const { return name_; }
  const std::string& Path() const { return path_; }
  // What the last Open said (Windows-1250); empty when all went well.
  const std::string& Message() const { return message_; }
  std::uint64_t Postings() const { return postings_; }  // control records aside
  std::size_t Count() const { return docs_.size(); }
  bool Contains(std::string_view number) const;
  // The window's list: number padded to 12, "×", " ", booking date
  // DD-MM-YYYY, "  ", invoice number; cut to 70; sorted; at most kListLimit.
  std::vector<std::string> Entries() const;
  // The first number of the list, empty when there is none.
  std::string FirstNumber() const;
  // Free part of the window's list in percent (0..100).
  int FreePercent() const;

  // Reads a stored document. *editable is false when its records cannot be
  // written again from its lines exactly (a document written by another
  // program with currencies, journal numbers or one-sided postings): such a
  // document can be looked at and deleted, not replaced. *raw receives the
  // stored records, for Replace to see whether someone changed them since.
  bool Load(std::string_view number, Document* out, bool* editable, std::string* raw);

  // Appends a new document; refuses a number the file already holds. The
  // document must have passed CheckDocument.
  bool Append(const Document& d, DocumentFault* fault);
  // Replaces the stored document of d.number by d; `expected` (from Load)
  // must still be what the file holds, else nothing is written.
  bool Replace(const Document& d, std::string_view expected, DocumentFault* fault);
  // Removes every record of the document.
  bool Delete(std::string_view number, std::string_view expected, DocumentFault* fault);

 private:
  // One document of the list: its number and the fields of its first
  // record, and where its records lie.
  struct Info {
    NumberKey key;
    std::uint64_t first = 0;  // record numbers of its first and last record
    std::uint64_t last = 0;
    DayNo booking = 0;         // of its first record
    std::uint8_t number[13];   // documentNo as stored
    std::uint8_t invoice[21];  // transactionNo as stored (DOS Mazovia)
  };
  void Clear();
  void Remember();  // the file's identity as this book last saw it
  const Info* Find(std::string_view number) const;
  void Note(const std::uint8_t* record, std::uint64_t number);
  bool CatchUp(class RecordSource& source, std::uint64_t end_record);
  bool Rewrite(std::string_view number, const std::vector<std::uint8_t>* replacement,
               std::string_view expected, DocumentFault* fault);

  std::string name_;
  std::string path_;
  std::string message_;
  // Documents in the order first met, found through an open-addressing
  // table of their keys (index + 1; 0 is a free slot).
  std::vector<Info> docs_;
  std::vector<std::uint32_t> table_;
  std::uint64_t postings_ = 0;
  std::uint64_t scanned_ = 0;  // records of the file the list has seen
  // The file as the list last saw it: absent, or its id, size and times.
  bool seen_exists_ = false;
  std::uint64_t seen_id_ = 0, seen_size_ = 0;
  std::int64_t seen_modified_ = 0, seen_changed_ = 0;
};

// The program's book of the working file (the document window's list).
DocumentBook& WorkingBook();

}  // namespace zel
