// Private to the demo builder: the random source, the counterparties and the
// document assembler that the chart and document builders share.
//
// Money is held in whole grosze (int64) while documents are built, so that
// every document balances exactly; it becomes an Amount only in the record.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/demo.hpp"

namespace zel::demo {

// SplitMix64: small, fast and the same on every platform, so a seed always
// gives the same year.
class Random {
 public:
  explicit Random(std::uint64_t seed)
      : state_(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // lo..hi inclusive.
  std::int64_t Range(std::int64_t lo, std::int64_t hi) {
    return lo + static_cast<std::int64_t>(Next() % static_cast<std::uint64_t>(hi - lo + 1));
  }
  bool Chance(int percent) { return Range(1, 100) <= percent; }

 private:
  std::uint64_t state_;
};

struct Counterparty {
  std::string account;  // symbol
  std::string name;     // Windows-1250
  std::string address;  // Windows-1250
  std::string nip;
  bool foreign = false;  // settles in EUR
  int term_days = 14;
};

// Sizes of the year: the sample year has scale 1.
struct Scale {
  double factor = 1.0;
  int customers = 14;  // the last two are foreign
  int suppliers = 12;  // the last one is foreign
  int employees = 5;
  int centres = 5;  // cost centres 01..
  int sales_per_month = 10;
  int purchases_per_month = 9;
  int statement_lines_max = 400;  // a bank statement is split beyond this
  bool deliberate_faults = true;  // the unbalanced document, the KP number gap
};

// One side of one posting line of a document being built.
struct Line {
  std::string account;  // symbol
  bool debit = true;
  std::int64_t grosze = 0;
  std::string counter;      // symbol, may be empty
  std::string transaction;  // Windows-1250
  DayNo due = 0;
  std::string text;             // Windows-1250
  std::int64_t euro_cents = 0;  // a currency posting when not 0
  std::int32_t rate = 0;        // units of 0.0001
};

struct Document {
  std::string kind;
  DayNo booking = 0;
  DayNo document_date = 0;
  DayNo operation_date = 0;
  std::vector<Line> lines;
  bool numbered = false;           // journal numbers ("L.Dz.") given to its postings
  bool control = false;            // followed by a control record
  std::int64_t control_delta = 0;  // added to the control total (the deliberate case)
};

struct Builder {
  explicit Builder(const DemoOptions& options, const Scale& scale);
  DemoYear Take() { return std::move(year); }

  // demo_chart.cpp
  void BuildFirm();
  void BuildChart();  // accounts, counterparties; sorts the chart

  // demo_documents.cpp
  void BuildDocuments();
  // demo_settlement_cases.cpp
  void AddSettlementCases();

  // demo_audit.cpp: the deliberate audit faults (options.audit_faults)
  void AddAuditFaults();

  void AddAccount(std::string symbol, std::string name, std::string address = {},
                  std::string nip = {}, std::string short_name = {});
  std::string NewNip();

  // Appends the document's postings (and its control record) to the year,
  // numbering it within its kind. Returns the document number.
  std::string Emit(Document& doc);
  std::string NextNumber(const std::string& kind);

  const DemoOptions options;
  const Scale scale;
  Random rng;
  DemoYear year;
  std::vector<Counterparty> customers;
  std::vector<Counterparty> suppliers;
  std::vector<std::string> employees;            // 230-xx accounts
  std::unordered_map<std::string, int> numbers;  // last number per kind
  int journal_no = 0;
};

// Day of a DD, MM of the options' year (or year + year_offset).
DayNo Day(int dd, int mm, int year, int year_offset = 0);
int DaysInMonth(int mm, int year);
std::string Money(std::int64_t grosze);  // "1234,56" for texts

}  // namespace zel::demo
