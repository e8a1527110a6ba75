// Private to the demo builder: the steps that write the year's documents,
// shared by the files that build them (demo_documents.cpp: opening balances,
// the month's schedule and the document assembler; demo_invoices.cpp: sales
// and purchases with their VAT entries; demo_payments.cpp: bank and cash;
// demo_notes.cpp: the general notes). One YearSteps lives for one Build and
// keeps the open items, stocks and tax balances between the documents.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/demo_build.hpp"

namespace zel::demo {

// Kinds of sales and purchases (demo_invoices.cpp): the first ones are the
// common kinds, the rest turn up once or a few times a year.
inline constexpr int kSaleKinds = 12;
inline constexpr int kSaleSpecialFirst = 3;
inline constexpr int kPurchaseKinds = 30;
inline constexpr int kPurchaseSpecialFirst = 4;
inline constexpr int kPurchaseSpecialLast = 28;  // the letters B..Z
inline constexpr int kIntraCommunity = 29;

inline std::int64_t RoundDiv(std::int64_t a, std::int64_t b) {  // a / b, halves away from zero
  const std::int64_t q = (2 * (a < 0 ? -a : a) + b) / (2 * b);
  return a < 0 ? -q : q;
}

inline std::string Two(int v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", v % 100);
  return buf;
}

struct OpenItem {
  std::size_t party = 0;
  std::string key;
  std::int64_t open = 0;  // grosze still to settle
  std::int64_t euro = 0;  // cents, for a foreign invoice
  std::int32_t rate = 0;
  DayNo date = 0;
  DayNo due = 0;
  bool cash = false;
};

struct Month {
  int mm = 1;
  DayNo first = 0;
  DayNo last = 0;
};

struct Event {
  int day;
  int order;
  std::function<void()> run;
};

class YearSteps {
 public:
  explicit YearSteps(Builder& b) : b_(b), y_(b.options.year) {
    for (const char* code : {"SPR", "USL"}) b_.year.registers.push_back({code, 'S', {}});
    for (const char* code : {"ZAK", "KOS", "\"WN"}) b_.year.registers.push_back({code, 'Z', {}});
    for (const DemoAccount& a : b_.year.accounts) {
      if (a.short_name == "^K") centres_.push_back(a.symbol);
    }
  }

  void Run() {
    OpeningBalances();
    for (int mm = 1; mm <= 12; ++mm) RunMonth(mm);
  }

 private:
  // -- helpers ------------------------------------------------------------

  Line L(const std::string& account, bool debit, std::int64_t grosze, const std::string& counter,
         const std::string& text, const std::string& transaction = {}, DayNo due = 0) {
    Line l;
    l.account = account;
    l.debit = debit;
    l.grosze = grosze;
    l.counter = counter;
    l.text = text;
    l.transaction = transaction;
    l.due = due;
    return l;
  }

  // A debit on `a` and a credit on `c` of the same amount.
  void Pair(Document& d, const std::string& a, const std::string& c, std::int64_t grosze,
            const std::string& text, const std::string& transaction = {}) {
    d.lines.push_back(L(a, true, grosze, c, text, transaction));
    d.lines.push_back(L(c, false, grosze, a, text, transaction));
  }

  // The group-5 mirror of a group-4 cost: centre + "-" + cost type against 490.
  void Mirror(Document& d, const std::string& cost_type, std::int64_t grosze,
              const std::string& text, int centre = -1) {
    if (centre < 0) centre = static_cast<int>(b_.rng.Range(0, centres_.size() - 1));
    const std::string account = centres_[centre] + "-" + cost_type;
    Pair(d, account, "490", grosze, text);
  }

  // A group-4 cost debited against `credit` with its mirror.
  void Cost(Document& d, const std::string& cost_type, std::int64_t grosze,
            const std::string& credit, const std::string& text, int centre = -1) {
    Pair(d, cost_type, credit, grosze, text);
    Mirror(d, cost_type, grosze, text, centre);
  }

  DayNo InMonth(const Month& m, int day) const {
    return static_cast<DayNo>(std::min<int>(m.last, m.first + day - 1));
  }

  std::int64_t Zl(int lo, int hi) {  // a random amount in grosze
    return b_.rng.Range(static_cast<std::int64_t>(lo) * 100, static_cast<std::int64_t>(hi) * 100);
  }

  std::int64_t Scaled(std::int64_t grosze) const {
    return static_cast<std::int64_t>(static_cast<double>(grosze) * b_.scale.factor);
  }

  DemoRegister& Register(const std::string& code) {
    for (DemoRegister& r : b_.year.registers) {
      if (r.code == code) return r;
    }
    return b_.year.registers.front();
  }

  VatEntry Entry(const std::string& key, DayNo registered, DayNo invoiced, const Counterparty& c,
                 const std::string& invoice_no, const std::string& text, const std::string& code) {
    VatEntry e;
    e.key = key;
    e.number = 1;
    e.registration_date = registered;
    e.invoice_date = invoiced;
    e.vat_date = invoiced;
    e.nip = c.nip;
    e.name = c.name;
    e.address = c.address;
    e.document_no = invoice_no;
    e.description = text;
    e.register_code = code;
    return e;
  }

  bool IsCostType(const std::string& account) const {
    return account.size() == 3 && account[0] == '4';
  }

  // -- opening balances -----------------------------------------------------

  void OpeningBalances();

  // -- one month ------------------------------------------------------------

  void RunMonth(int mm);

  // -- sales ----------------------------------------------------------------

  void Sale(const Month& m, int day, int type, bool two_rates, bool cash);

  void SaleCorrection(const Month& m, int day);

  // -- purchases ------------------------------------------------------------

  void Purchase(const Month& m, int day, int type);

  // -- bank -----------------------------------------------------------------

  void Statement(const Month& m, int day);

  static void Compact(std::vector<OpenItem>& items);

  // -- cash -----------------------------------------------------------------

  void CashAdvance(const Month& m, int day);

  void PettyCash(const Month& m, int day);

  void AdvanceReturn(const Month& m, int day);

  // -- general notes --------------------------------------------------------

  void CostStorno(const Month& m, int day);

  void UnbalancedNote(const Month& m, int day);

  void MonthEnd(const Month& m);

  void Spread(Document& d, const std::string& cost_type, std::int64_t grosze,
              const std::string& text);

  struct Depreciation {
    std::string gross;
    std::string depreciation;
    std::int64_t monthly;
  };

  Builder& b_;
  const int y_;
  std::vector<std::string> centres_;
  std::vector<OpenItem> receivables_;
  std::vector<OpenItem> payables_;
  std::vector<Depreciation> monthly_depreciation_;
  std::int64_t vat_out_ = 0, vat_in_ = 0, vat_to_pay_ = 0;
  std::int64_t payroll_net_ = 0, zus_to_pay_ = 0, pit_to_pay_ = 0;
  std::int64_t stock_materials_ = 0, stock_goods_ = 0, month_materials_ = 0, month_sales_goods_ = 0;
  std::int64_t euro_balance_ = 0, euro_pln_ = 0, cash_ = 0;
  std::int64_t advance_ = 0;
  std::size_t advance_employee_ = 0;
  int sales_in_month_ = 0, sale_count_ = 0, purchase_count_ = 0, purchase_docs_ = 0,
      statement_count_ = 0;
  int payment_form_ = 0;
  bool partial_done_ = false, over_done_ = false, wrong_control_done_ = false;
};

}  // namespace zel::demo
