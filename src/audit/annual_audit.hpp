// The annual-file audit ("kontrola zbioru rocznego", option KonZR): one pass
// over a journal file in account order that checks every account against the
// rules of its group in the Polish chart of accounts (postings outside the
// book year, short or unknown accounts, reversals larger than turnover,
// balances and turnover on the wrong side, cost circles of groups 4 and 5
// that do not agree) and reports one row per finding, then the findings over
// whole groups, then an explanation of every kind of finding that occurred.
//
// The checks need each account's postings together. A file that is not in
// account order (the working file is in document order) is audited through
// an in-memory copy of the postings sorted by account, stable, so that a
// working file and the annual file made from it give the same findings.
// The run writes the report document; the parameter window calls RapKoniec.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/types.hpp"
#include "fields/option_services.hpp"
#include "store/record_source.hpp"

namespace zel {

class ChartTable;

inline constexpr std::uint8_t kAuditOptionIndex = 117;
inline constexpr int kFieldRobo = 69;
inline constexpr int kFieldKoX = 266;

struct AuditParams {
  std::string name;      // Robo: the file's name, shown in the title and subtitle
  std::string path;      // the Zel path read (JournalPath of the name)
  std::string excluded;  // KoX, upper case: codes never reported
  DayNo bo_date = 0;     // the book year, BoDate..BzDate
  DayNo bz_date = 0;
  ChartTable* chart = nullptr;  // nullptr: the program's Chart()
};

// How the records were taken.
enum class AuditOrder : std::uint8_t {
  kAccountOrder,  // the file was in account order and read as it stands
  kSorted,        // a symbol lower than the one before: audited through a sorted copy
};

struct AuditOutcome {
  bool done = false;  // false: aborted by the user
  AuditOrder order = AuditOrder::kAccountOrder;
  std::uint64_t postings = 0;  // postings audited (control and damaged records left out)
};

// The checks before a run: the book year must end on or after its start;
// the file must exist ("Nie ma " + path). The first failing one shows its
// message (colour 0), reports the field to `window` and answers false.
bool CheckAudit(const AuditParams& p, OptionServices& window);

// The reading and reporting over any source of journal records (no checks,
// no local copy).
AuditOutcome AuditFrom(const AuditParams& p, RecordSource& source, OptionServices& window);

// The whole run: checks, the local copy of the file, opening the copy
// read-only with writers denied (with retries) and the audit. False when
// nothing was reported.
bool AnnualAudit(const AuditParams& p, OptionServices& window);

// The seventeen legend cells Ko3..KoS (field numbers 249..265), each a code
// and what it stands for, at most 21 characters.
const std::array<std::string, 17>& AuditLegend();

// Registers the procedure of option 117 and puts the legend into its cells.
void RegisterAuditProcedures();

}  // namespace zel
