// The journals ("dziennik"): the postings of the working journal file in
// document order, one block per accounting document with its debit and
// credit totals, the check that they agree, the check against the
// document's control total, a "=" rule at a gap in the numbering and the
// grand total "Razem zbiór".
//
// Three options share it: DzieP (full journal, every posting printed), DzieS
// (short journal, a heading and a total line per document) and PoKsi (the
// posting order: the selection is sorted and the report titled, nothing
// more). A run works on a private copy of the working file: the selected
// records are sorted once (one stable n log n sort of compact keys, the
// file position last) into a list of their file positions, and the report
// reads the copy in that order, runs of adjacent records at once. No sorted
// file is written for a run: nothing but the report reads it. Memory for
// the sort is kJournalSortBytes per selected record, of which four bytes a
// record stay for the printing; nothing else grows with the file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/types.hpp"
#include "fields/option_services.hpp"
#include "store/journal_entry.hpp"
#include "store/record_source.hpp"

namespace zel {

class ChartTable;

enum class JournalKind : std::uint8_t { PoKsi, DzieP, DzieS };

std::uint8_t JournalIndex(JournalKind kind);  // 40, 41, 42

// Field numbers the checks send the cursor back to.
inline constexpr int kFieldRobo = 69;
inline constexpr int kFieldDowW = 76;
inline constexpr int kFieldDoOd = 77;
inline constexpr int kFieldDoDo = 78;
inline constexpr int kFieldDaDo = 66;

struct JournalParams {
  JournalKind kind = JournalKind::DzieP;
  std::string working_name;        // Robo, as shown in the subtitle
  std::string working_path;        // JournalPath of the name
  std::vector<std::string> masks;  // DowW masks in short form ("KP*"); empty: all
  std::string first_document;      // DoOd; empty: from the first
  std::string last_document;       // DoDo; empty with DoOd empty: to the last
  DayNo from = 0;                  // DaOd
  DayNo to = 0;                    // DaDo
  ChartTable* chart = nullptr;     // account names; nullptr: the program's Chart()
};

// The checks before the run, in order; the first failing one shows its
// message (colour 0), reports the field to `window` and answers false.
bool CheckJournal(const JournalParams& p, OptionServices& window);

// The whole run: checks, the local copy of the working file, the sort and
// (DzieP, DzieS) the report. False when nothing was reported.
bool Journal(const JournalParams& p, OptionServices& window);

// The run over a file already local (tests, benchmarks): sort and report,
// without the checks and without the copy.
bool JournalFromFile(const JournalParams& p, std::string_view local_path, OptionServices& window);

// --- the sort ---

enum class SortResult : std::uint8_t { kSorted, kEmptyFile, kNothingSelected, kAborted, kFailed };

// The selected records of `source` (named `source_path` in messages) in
// document order: `*order` gets their file positions, in records, each
// document's control records after its postings. A posting is selected when
// its booking date lies in from..to and its document number between first
// and last (an empty last: no upper limit); a control record is kept when
// its document has a selected posting, whatever its date.
SortResult SortJournalOrder(RecordSource& source, std::string_view source_path,
                            const JournalParams& p, OptionServices& window,
                            std::vector<std::uint32_t>* order);

// The records of a source in a sorted order, read as one file: first a
// header record whose documentNo is the byte 255, then the records at the
// positions of `order`. A read takes each run of records adjacent in the
// source with one read of it. Neither the source nor the order is owned.
class SortedJournal : public RecordSource {
 public:
  SortedJournal(RecordSource& source, const std::vector<std::uint32_t>& order);
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t n, std::size_t* got) override;
  bool Size(std::uint64_t* size) override;

 private:
  RecordSource& source_;
  const std::vector<std::uint32_t>& order_;
  RecordBytes header_;
};

// The sorted order written as a file: SortedJournal's bytes into
// `sorted_path` (written beside it and renamed over it). `*records` gets the
// number of records written after the header.
SortResult SortJournal(std::string_view source_path, std::string_view sorted_path,
                       const JournalParams& p, OptionServices& window, std::uint64_t* records);

// A record sorts by documentNo, control records after postings, entryNo,
// transactionNo, amount (after Round4), dueDate, side, and the file position
// last. The sort holds this many bytes a selected record for it, the list of
// positions included (the records of one document entry, when there are
// several, also take 44 bytes each while they are ordered among themselves).
inline constexpr std::size_t kJournalSortBytes = 28;

// --- helpers ---

// The number expected after `number`: one added to its trailing decimal
// digits ("KP/009" gives "KP/010"; a 9 turns into 0 and carries; a non-digit
// stops the carry).
std::string NextDocumentNumber(std::string_view number);

// True when the document number matches a mask expanded to 12 characters.
bool DocumentMatches(const std::vector<std::string>& expanded_masks, std::string_view number);
// Masks with "*" cut there and filled with "?" to 12; empty masks dropped.
std::vector<std::string> ExpandDocumentMasks(const std::vector<std::string>& masks);

}  // namespace zel
