// The document window (option 11, "Dekret"): the working file's document
// list, the document being typed or corrected, and its storing ("Zapisz").
//
// The table's rows live in the option values (Options.rows, columns as the
// table shows them: LiPo, KoWn, KoMa, Kwot, NrTr, ReVa, Term, Opis), at the
// full width of each column, for every row of the document whether shown or
// scrolled away. Committing Robo reads the working file's list; committing
// NDow with the number of a stored document loads its lines for correction.
// Zapisz checks the document and appends it, or replaces the loaded one; a
// loaded document whose lines were all emptied is deleted after a question.
#pragma once

#include <string>
#include <string_view>

#include "fields/option_services.hpp"
#include "store/document_book.hpp"

namespace zel {

inline constexpr int kDocumentOptionIndex = 11;

// What the window holds besides the field values.
struct DekretSession {
  std::string loaded;     // number of the stored document shown; empty: a new one
  std::string expected;   // its records as loaded
  bool editable = true;   // its lines give back its records exactly
  std::string last_done;  // what the last Zapisz did (Windows-1250), for zel-batch
};
DekretSession& Dekret();

// Robo committed naming another file than the list's: the list of
// DbSettings.working_journal is read, the number field takes the list's
// first number, the rows are emptied.
void DekretWorkFileCommitted();
// NDow committed: the number becomes the selected one; a stored document's
// lines are loaded into the rows (a new number keeps what was typed).
void DekretNumberCommitted(std::string_view number);

// The document the window holds (number, dates and rows).
Document DekretDocument();
// Puts the document's lines into the rows (the rest emptied); false when
// it has more lines than the table holds.
bool DekretPutLines(const Document& d);
void DekretClearRows();

// Zapisz: checks and stores, deletes, or says why not (the cursor goes to
// the field or the cell concerned).
void RunDekret(OptionServices& window);

// Registers RunDekret as option 11's procedure.
void RegisterDocumentProcedure();

}  // namespace zel
