// The sample year's documents, month by month in date order: opening
// balances, sales and purchase invoices with their VAT register entries,
// weekly bank statements that settle them (in full, in part, too much),
// cash documents and the month-end general notes (payroll, depreciation,
// stock consumption, VAT settlement). Every cost posted to group 4 is
// mirrored in the same document on group 5 (cost centre + cost type)
// against 490, so the two groups agree in every month and every document.
#include <algorithm>
#include <array>
#include <cstdio>

#include "app/demo_steps.hpp"
#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/pltext.hpp"

namespace zel::demo {

void YearSteps::OpeningBalances() {
  const DayNo bo = b_.year.bo_date;
  const std::string bo_text = "bilans otwarcia"_w;
  auto plug = [&](Document& d) {
    std::int64_t debit = 0, credit = 0;
    for (const Line& l : d.lines) (l.debit ? debit : credit) += l.grosze;
    const std::int64_t diff = debit - credit;
    if (diff != 0) d.lines.push_back(L("820", diff < 0, diff < 0 ? -diff : diff, {}, bo_text));
  };
  auto doc = [&]() {
    Document d;
    d.kind = "BO";
    d.booking = d.document_date = d.operation_date = bo;
    return d;
  };

  // Fixed assets, their depreciation and the capital.
  Document fixed = doc();
  struct Asset {
    const char* gross;
    const char* depreciation;
    std::int64_t value;
    std::int64_t written_off;
    int rate_permille;  // a year's depreciation
  };
  const Asset assets[] = {{"010-1", "070-1", 45000000, 9000000, 25},
                          {"010-2", "070-2", 18600000, 7440000, 140},
                          {"010-3", "070-3", 9500000, 3800000, 200},
                          {"010-4", "070-4", 4200000, 2100000, 200},
                          {"020", "079", 1800000, 900000, 200}};
  for (const Asset& a : assets) {
    fixed.lines.push_back(L(a.gross, true, Scaled(a.value), {}, bo_text));
    fixed.lines.push_back(L(a.depreciation, false, Scaled(a.written_off), {}, bo_text));
    monthly_depreciation_.push_back(
        {a.gross, a.depreciation, RoundDiv(Scaled(a.value) * a.rate_permille, 12000)});
  }
  fixed.lines.push_back(L("800", false, Scaled(30000000), {}, bo_text));
  std::int64_t debit = 0, credit = 0;
  for (const Line& l : fixed.lines) (l.debit ? debit : credit) += l.grosze;
  fixed.lines.push_back(L("810", false, debit - credit, {}, bo_text));
  fixed.control = true;
  b_.Emit(fixed);

  // Money and stocks.
  Document money = doc();
  money.lines.push_back(L("100", true, 485000, {}, bo_text));
  money.lines.push_back(L("130", true, Scaled(18642055), {}, bo_text));
  Line eur = L("131", true, 0, {}, bo_text);
  eur.euro_cents = Scaled(520000);
  eur.rate = 43480;
  eur.grosze = RoundDiv(eur.euro_cents * eur.rate, 10000);
  money.lines.push_back(eur);
  euro_balance_ = eur.euro_cents;
  euro_pln_ = eur.grosze;
  cash_ = 485000;
  stock_materials_ = Scaled(3850000);
  stock_goods_ = Scaled(6420000);
  money.lines.push_back(L("310", true, stock_materials_, {}, bo_text));
  money.lines.push_back(L("330", true, stock_goods_, {}, bo_text));
  plug(money);
  b_.Emit(money);

  // Open items of the previous year and the December liabilities.
  Document open = doc();
  const std::string yy_prev = Two(y_ - 1);
  const int receivables = std::max<int>(5, static_cast<int>(b_.customers.size()) / 3);
  for (int i = 0; i < receivables; ++i) {
    const std::size_t c = static_cast<std::size_t>(i) % (b_.customers.size() - 2);
    OpenItem item;
    item.party = c;
    item.key = "FS " + std::to_string(140 + i) + "/12/" + yy_prev;
    item.open = Zl(800, 12000);
    item.date = static_cast<DayNo>(bo - b_.rng.Range(3, 25));
    item.due = static_cast<DayNo>(bo + b_.rng.Range(5, 25));
    open.lines.push_back(
        L(b_.customers[c].account, true, item.open, {}, bo_text, item.key, item.due));
    receivables_.push_back(item);
  }
  const int payables = std::max<int>(4, static_cast<int>(b_.suppliers.size()) / 3);
  for (int i = 0; i < payables; ++i) {
    const std::size_t s = static_cast<std::size_t>(i) % (b_.suppliers.size() - 1);
    OpenItem item;
    item.party = s;
    item.key = "F/" + std::to_string(900 + i) + "/" + yy_prev;
    item.open = Zl(500, 8000);
    item.date = static_cast<DayNo>(bo - b_.rng.Range(3, 25));
    item.due = static_cast<DayNo>(bo + b_.rng.Range(3, 20));
    open.lines.push_back(
        L(b_.suppliers[s].account, false, item.open, {}, bo_text, item.key, item.due));
    payables_.push_back(item);
  }
  vat_to_pay_ = Scaled(1845000);
  payroll_net_ = Scaled(2410000);
  zus_to_pay_ = Scaled(1395000);
  pit_to_pay_ = Scaled(265000);
  open.lines.push_back(L("221-3", false, vat_to_pay_, {}, bo_text));
  open.lines.push_back(L("231", false, payroll_net_, {}, bo_text));
  open.lines.push_back(L("225", false, zus_to_pay_, {}, bo_text));
  open.lines.push_back(L("222", false, pit_to_pay_, {}, bo_text));
  plug(open);
  b_.Emit(open);
}

void YearSteps::RunMonth(int mm) {
  Month m;
  m.mm = mm;
  m.first = Day(1, mm, y_);
  m.last = static_cast<DayNo>(m.first + DaysInMonth(mm, y_) - 1);
  const int days = DaysInMonth(mm, y_);
  const int first_day = mm == 1 ? 2 : 1;  // 1 January is the opening-balance day
  month_sales_goods_ = 0;
  month_materials_ = 0;
  sales_in_month_ = 0;

  std::vector<Event> events;
  auto at = [&](int day, int order, std::function<void()> f) {
    events.push_back({day, order, std::move(f)});
  };

  // Sales invoices: mostly the common kinds, one rarer kind and one invoice
  // with two rates every month, a foreign one every other month, a cash
  // sale, and corrections in three months.
  const int sales = std::max(1, b_.scale.sales_per_month);
  for (int i = 0; i < sales; ++i) {
    int type = static_cast<int>(b_.rng.Range(0, 2));
    bool two_rates = false;
    if (i == 0) type = kSaleSpecialFirst + (mm - 1) % (kSaleKinds - 1 - kSaleSpecialFirst);
    if (i == 1) two_rates = true;
    if (i == 2 && mm % 2 == 0) type = kSaleKinds - 1;
    const bool cash = i == 3;
    const int day = static_cast<int>(b_.rng.Range(first_day, days));
    at(day, 1, [this, m, type, two_rates, cash, day] { Sale(m, day, type, two_rates, cash); });
  }
  if (mm == 3 || mm == 7 || mm == 10)
    at(days - 2, 2, [this, m, days] { SaleCorrection(m, days - 2); });

  // Purchase invoices: the common kinds and three rarer letters a month, so
  // that every letter turns up in the year; an intra-community purchase
  // every quarter.
  const int purchases = std::max(1, b_.scale.purchases_per_month);
  const int specials = kPurchaseSpecialLast - kPurchaseSpecialFirst + 1;
  for (int i = 0; i < purchases; ++i) {
    int type = static_cast<int>(b_.rng.Range(0, kPurchaseSpecialFirst - 1));
    if (i < 3) type = kPurchaseSpecialFirst + ((mm - 1) * 3 + i) % specials;
    if (i == 3 && mm % 3 == 2) type = kIntraCommunity;
    const int day = static_cast<int>(b_.rng.Range(first_day, days));
    at(day, 1, [this, m, type, day] { Purchase(m, day, type); });
  }

  // Bank statements every week; cash documents; the month-end notes.
  for (int day : {5, 12, 19, 26}) at(day, 5, [this, m, day] { Statement(m, day); });
  at(3, 3, [this, m] { CashAdvance(m, 3); });
  at(15, 3, [this, m] { PettyCash(m, 15); });
  at(20, 3, [this, m] { AdvanceReturn(m, 20); });
  if (mm == 9) at(22, 4, [this, m] { CostStorno(m, 22); });
  if (mm == 6 && b_.scale.deliberate_faults) at(24, 4, [this, m] { UnbalancedNote(m, 24); });
  at(days, 6, [this, m] { MonthEnd(m); });

  std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
    return a.day != b.day ? a.day < b.day : a.order < b.order;
  });
  for (Event& e : events) e.run();
}

std::string Builder::NextNumber(const std::string& kind) {
  int n = ++numbers[kind];
  // A cancelled cash receipt leaves a gap in the numbering of the sample year.
  if (kind == "KP" && n == 4 && scale.deliberate_faults) n = ++numbers[kind];
  char buf[24];
  std::snprintf(buf, sizeof buf, "%s%02d/%06d", kind.c_str(), options.year % 100, n);
  return buf;
}

std::string Builder::Emit(Document& doc) {
  const std::string no = NextNumber(doc.kind);
  std::uint16_t entry = 0;
  std::int64_t debit = 0;
  for (const Line& l : doc.lines) {
    JournalEntry e;
    e.account = l.account;
    e.bookingDate = doc.booking;
    e.documentNo = no;
    e.entryNo = ++entry;
    e.side = l.debit ? 1 : 0;
    e.counterAccount = l.counter;
    if (doc.numbered && journal_no < 32000) e.journalNo = static_cast<std::int16_t>(++journal_no);
    e.amount = static_cast<Amount>(l.grosze) / 100;
    if (l.euro_cents != 0) {
      e.currencyCode = "EUR";
      e.currencyRate = l.rate;
      e.currencyAmount = static_cast<Amount>(l.euro_cents) / 100;
    }
    e.transactionNo = WinToDos(l.transaction);
    e.documentDate = doc.document_date;
    e.dueDate = l.due;
    e.description = WinToDos(l.text);
    e.sourceFile = year.working_name;
    e.operationDate = doc.operation_date;
    year.working.push_back(e);
    if (l.debit) debit += l.grosze;
  }
  if (doc.control) {
    JournalEntry c;
    c.account = doc.lines.front().account;
    c.bookingDate = doc.booking;
    c.documentNo = no;
    c.entryNo = ++entry;
    c.side = 1;
    c.journalNo = -1;
    c.amount = static_cast<Amount>(debit + doc.control_delta) / 100;
    c.documentDate = doc.document_date;
    c.description = WinToDos("suma kontrolna"_w);
    c.sourceFile = year.working_name;
    year.working.push_back(c);
    ++year.control_records;
  }
  ++year.documents_by_kind[doc.kind];
  return no;
}

void Builder::BuildDocuments() {
  YearSteps steps(*this);
  steps.Run();
}

}  // namespace zel::demo
