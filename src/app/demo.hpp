// The sample firm year of zel-demo: a fictitious small Polish firm with its
// chart of accounts, a year of accounting documents and its VAT registers,
// built in memory from a seed and then written as a database folder.
//
// Invariants: the same options give the same year, byte for byte; accounts
// are sorted by symbol (length-prefixed order) and unique; the working
// postings stand in document order (document after document, entries from
// 1), each document followed by its control record when it has one; every
// document balances except the one deliberate case (`unbalanced_document`,
// only in the sample year, not in scaled years). Every posted account is in
// the chart or lies under a cost centre that uses the cost structure "^K"
// (its description is then taken from the structure's definition "!K"),
// except the synthetic account "245" of the audit faults (`audit_faults`).
// Texts are Windows-1250 in the accounts and registers and already DOS
// Mazovia in the journal records (transactionNo, description), as the files
// hold them. The DemoYear owns everything; nothing is shared.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "common/types.hpp"
#include "store/journal_entry.hpp"
#include "vat/vat_entry.hpp"

namespace zel {

struct DemoOptions {
  int year = 2024;            // 1990..2038
  std::int64_t postings = 0;  // 0: the sample year; otherwise about this many postings
  std::uint64_t seed = 1;
  bool station_settings = false;  // also point the workstation settings at the folder
  // The sample year for the annual-file audit: cost centres whose group-5
  // symbols the audit reads (centre "501", account "501-402") and a few
  // deliberate audit faults (AuditFaultAccounts). Sample year only.
  bool audit_faults = false;
  bool settlement_cases = false;  // three December customers for the settlement reports
};

// One chart account (Windows-1250 texts).
struct DemoAccount {
  std::string symbol;
  std::string name;
  std::string address;
  std::string nip;
  std::string short_name;
};

// One VAT register: its code, kind ('S' sales, 'Z' purchases) and entries
// with Windows-1250 texts.
struct DemoRegister {
  std::string code;
  char kind = 'S';
  std::vector<VatEntry> entries;
  std::string folder = "VAT";  // "VAX" holds the previous year's registers
  std::size_t extra_bytes = 0;  // bytes after the records: a damaged file of odd size
};

// The firm's identity, shared by the settings, the taxpayer files and the
// document texts.
struct DemoFirm {
  std::string name;        // full name
  std::string short_name;  // for "Dla kogo"
  std::string nip;         // ten digits, valid check digit
  std::string regon;       // nine digits, valid check digit
  std::string tax_office_code;
  std::string tax_office;
  std::string province, county, commune, street, house, flat, town, postcode, post_office;
};

struct DemoYear {
  DemoOptions options;
  DemoFirm firm;
  DayNo bo_date = 0;
  DayNo bz_date = 0;
  std::string annual_name;   // "N" + year
  std::string working_name;  // "R" + year
  std::vector<DemoAccount> accounts;
  // The working file: postings and control records in document order.
  std::vector<JournalEntry> working;
  std::vector<DemoRegister> registers;
  // Registers without postings that show the VAT register's harder cases
  // (the sample year only): the previous year's register, a second purchase
  // register taken into sales, unusual texts, a VAT-only line, an entry
  // VAT-dated in the next month, a file of odd size.
  std::vector<DemoRegister> extra_registers;
  // Documents by kind ("BO", "FV", ...), for the report of what was built.
  std::map<std::string, int> documents_by_kind;
  std::int64_t control_records = 0;
  std::string unbalanced_document;     // the deliberate case ("" in scaled years)
  std::string wrong_control_document;  // the control record that disagrees
};

DemoYear BuildDemoYear(const DemoOptions& options);
// Fills year.extra_registers (demo_vat_extras.cpp).
void AddVatExtras(DemoYear& year);

// The accounts of the deliberate audit faults of `audit_faults`, one each:
// a two-character account, a synthetic account missing from the chart, a
// revenue account "760" beside "760-2" in the chart, an unbalanced "860", a
// cost of December whose group-5 mirror goes into the next year's books, and
// a credit on a group-4 account.
inline constexpr const char* kAuditFaultAccounts[] = {"24", "245", "760", "860", "402", "409"};

// The annual file's order: the indices of the working postings (control
// records left out) sorted by account symbol, file order kept within an
// account. O(n log n).
std::vector<std::uint32_t> AnnualOrder(const DemoYear& year);

// The month working files: the working file cut, in its order and on
// document boundaries, into one run of documents per booking month (a
// document booked in an earlier month than the one before it stays in the
// current run); each run's first half of documents is the month's file "MMA",
// the rest its correction file "MM-1". Posting them all, in the order of
// this list, into an empty annual file gives exactly the demo's annual file.
struct DemoMonthFile {
  std::string name;         // "01A", "01-1", ...
  std::size_t first = 0;    // records [first, last) of the working file
  std::size_t last = 0;
};
std::vector<DemoMonthFile> MonthFiles(const DemoYear& year);
// The list file of every month file, in posting order ("MIESIACE.ZFX").
inline constexpr const char* kDemoMonthList = "MIESIACE";

// Postings (not control records) of the working file.
std::int64_t PostingCount(const DemoYear& year);

// A NIP with a valid check digit from nine leading digits (the tenth is
// computed; answers false when the weights give 10, which no NIP may have).
bool NipFromNine(const std::string& nine, std::string* nip);
bool NipValid(const std::string& nip);
bool RegonValid(const std::string& regon);

}  // namespace zel
