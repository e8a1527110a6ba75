// The schema listing (option ZaXSD, menu "CO", "JEDNOLITE PLIKI KONTROLNE"):
// one report block per kind of JPK file (KR, WB, MAG, VAT, FA, PKPiR, EWP)
// naming what the file is drawn from, with the record count and the debit
// and credit turnover of the year's journal file for KR; and, for every
// kind, the beginning of its schema written as "JPK_<name>.xsd" into the
// current folder (declaration, schema element with the kind's namespace,
// the imports of the common types, the form code, purpose, header and the
// basic value types).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/types.hpp"
#include "fields/option_services.hpp"

namespace zel {

struct JournalTurnover {
  bool found = false;
  std::uint64_t records = 0;  // postings added (control records and the end mark left out)
  Amount debit = 0;
  Amount credit = 0;
};

// Reads the journal file in blocks of 240 records: every posting adds its
// amount to the debit or the credit sum by its side; control records do not
// add (they repeat what their document's postings hold).
JournalTurnover ReadJournalTurnover(std::string_view path);

// The schema text of a kind: kind_number 1..7 for KR, WB, MAG, VAT, FA,
// PKPiR, EWP; form the form code ("KR").
std::string JpkSchemaText(int kind_number, std::string_view form);

// The whole option: the report and the seven schema files. False when
// nothing was reported.
bool JpkSchemaListing(OptionServices& window);

}  // namespace zel
