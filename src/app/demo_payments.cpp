// Bank statements and cash documents: payments matched to open items by
// their transaction numbers, advances to employees and cash sales.
#include <algorithm>
#include <array>
#include <cstdio>

#include "app/demo_steps.hpp"
#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/pltext.hpp"

namespace zel::demo {
namespace {

// A payment's transaction number: the key as it stands, or written the ways
// banks and clerks write it ("prefix*key", "prefix;key", lower case), all of
// which settle on the same key.
std::string PaymentText(const std::string& key, int form) {
  auto fit = [&key](std::string prefix) {
    const std::size_t room = key.size() >= 20 ? 0 : 20 - key.size();
    if (prefix.size() > room) prefix.resize(room);
    return prefix + key;
  };
  switch (form % 6) {
    case 1:
      return fit("przelew*");
    case 2:
      return fit("zapł.;"_w);
    case 3: {
      std::string low = key;
      for (char& ch : low) {
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
      }
      return low;
    }
    case 4:
      return fit("WB*");
    default:
      return key;
  }
}

}  // namespace

void YearSteps::Statement(const Month& m, int day) {
  const DayNo date = InMonth(m, day);
  Document d;
  auto start = [&] {
    d = Document();
    d.kind = "WB";
    d.booking = d.document_date = d.operation_date = date;
    d.numbered = true;
  };
  auto flush = [&] {
    const std::int64_t fee = b_.rng.Range(500, 4000);
    Cost(d, "402", fee, "130", "prowizja bankowa"_w);
    d.control = (++statement_count_ % 3) == 0;
    b_.Emit(d);
    start();
  };
  start();
  int lines = 0;
  auto count_line = [&] {
    if (++lines >= b_.scale.statement_lines_max) {
      flush();
      lines = 0;
    }
  };

  if (day == 5) {  // last month's wages, social insurance, income tax and VAT
    const std::string period =
        Two(m.mm == 1 ? 12 : m.mm - 1) + "/" + std::to_string(m.mm == 1 ? y_ - 1 : y_);
    if (payroll_net_ > 0)
      Pair(d, "231", "130", payroll_net_, "wynagrodzenia " + period, "LP " + period);
    if (zus_to_pay_ > 0) Pair(d, "225", "130", zus_to_pay_, "składki ZUS "_w + period);
    if (pit_to_pay_ > 0) Pair(d, "222", "130", pit_to_pay_, "zaliczka PIT-4 " + period);
    if (vat_to_pay_ > 0) Pair(d, "221-3", "130", vat_to_pay_, "VAT-7 za " + period);
    payroll_net_ = zus_to_pay_ = pit_to_pay_ = vat_to_pay_ = 0;
  }

  for (OpenItem& item : receivables_) {
    if (item.open <= 0 || item.cash || item.date >= date) continue;
    const bool due_soon = item.due == 0 || item.due <= date + 7;
    if (!due_soon && !b_.rng.Chance(25)) continue;
    if (b_.rng.Chance(10)) continue;  // paid late
    const Counterparty& party = b_.customers[item.party];
    std::int64_t paid = item.open;
    if (!partial_done_ && m.mm >= 3) {
      paid = RoundDiv(item.open * 6, 10);
      partial_done_ = true;
    } else if (!over_done_ && m.mm >= 5 && item.euro == 0) {
      paid = item.open + 5000;
      over_done_ = true;
    } else if (b_.rng.Chance(8)) {
      paid = RoundDiv(item.open * b_.rng.Range(30, 80), 100);
    } else if (b_.rng.Chance(3) && item.euro == 0) {
      paid = item.open + b_.rng.Range(100, 10000);
    }
    const std::string trans = PaymentText(item.key, payment_form_++);
    if (item.euro != 0) {
      // A foreign customer pays the whole invoice in EUR; the rate of the
      // day differs from the invoice's and the difference is a financial
      // revenue or cost.
      const std::int32_t rate = item.rate + static_cast<std::int32_t>(b_.rng.Range(-600, 600));
      const std::int64_t pln = RoundDiv(item.euro * rate, 10000);
      Line in = L("131", true, pln, party.account, "wpłata w EUR"_w, trans);
      in.euro_cents = item.euro;
      in.rate = rate;
      Line out = L(party.account, false, item.open, "131", "wpłata w EUR"_w, trans);
      out.euro_cents = item.euro;
      out.rate = item.rate;
      d.lines.push_back(in);
      d.lines.push_back(out);
      if (pln > item.open)
        d.lines.push_back(L("750", false, pln - item.open, "131", "różnice kursowe dodatnie"_w));
      if (pln < item.open)
        d.lines.push_back(L("751", true, item.open - pln, "131", "różnice kursowe ujemne"_w));
      euro_balance_ += item.euro;
      euro_pln_ += pln;
      item.open = 0;
    } else {
      Pair(d, "130", party.account, paid, "zapłata za fakturę"_w, trans);
      item.open -= paid;
    }
    count_line();
  }

  for (OpenItem& item : payables_) {
    if (item.open <= 0 || item.date >= date) continue;
    const bool due_soon = item.due == 0 || item.due <= date + 3;
    if (!due_soon) continue;
    const Counterparty& party = b_.suppliers[item.party];
    const std::string trans = PaymentText(item.key, payment_form_++);
    if (item.euro != 0 && euro_balance_ >= item.euro) {
      const std::int32_t rate = item.rate + static_cast<std::int32_t>(b_.rng.Range(-600, 600));
      std::int64_t pln = RoundDiv(item.euro * rate, 10000);
      if (pln > euro_pln_) pln = euro_pln_;
      Line pay = L(party.account, true, item.open, "131", "przelew w EUR"_w, trans);
      pay.euro_cents = item.euro;
      pay.rate = item.rate;
      Line out = L("131", false, pln, party.account, "przelew w EUR"_w, trans);
      out.euro_cents = item.euro;
      out.rate = rate;
      d.lines.push_back(pay);
      d.lines.push_back(out);
      if (pln < item.open)
        d.lines.push_back(L("750", false, item.open - pln, "131", "różnice kursowe dodatnie"_w));
      if (pln > item.open)
        d.lines.push_back(L("751", true, pln - item.open, "131", "różnice kursowe ujemne"_w));
      euro_balance_ -= item.euro;
      euro_pln_ -= pln;
      item.open = 0;
    } else {
      std::int64_t paid = item.open;
      if (b_.rng.Chance(6)) paid = RoundDiv(item.open, 2);
      Pair(d, party.account, "130", paid, "zapłata dla dostawcy"_w, trans);
      item.open -= paid;
    }
    count_line();
  }
  flush();
  Compact(receivables_);
  Compact(payables_);
}

void YearSteps::Compact(std::vector<OpenItem>& items) {
  items.erase(
      std::remove_if(items.begin(), items.end(), [](const OpenItem& i) { return i.open == 0; }),
      items.end());
}

void YearSteps::CashAdvance(const Month& m, int day) {
  Document d;
  d.kind = "KW";
  d.booking = d.document_date = d.operation_date = InMonth(m, day);
  advance_employee_ = static_cast<std::size_t>(b_.rng.Range(0, b_.employees.size() - 1));
  advance_ = 50000;
  Pair(d, b_.employees[advance_employee_], "100", advance_, "zaliczka na zakupy"_w);
  cash_ -= advance_;
  b_.Emit(d);
}

void YearSteps::PettyCash(const Month& m, int day) {
  Document d;
  d.kind = "KW";
  d.booking = d.document_date = d.operation_date = InMonth(m, day);
  const std::int64_t amount = Zl(40, 300);
  Cost(d, "409", amount, "100", "drobne zakupy gotówkowe"_w);
  cash_ -= amount;
  b_.Emit(d);
}

void YearSteps::AdvanceReturn(const Month& m, int day) {
  const DayNo date = InMonth(m, day);
  // The employee returns part of the advance and accounts for the rest.
  Document ret;
  ret.kind = "KP";
  ret.booking = ret.document_date = ret.operation_date = date;
  const std::int64_t back = 12000;
  Pair(ret, "100", b_.employees[advance_employee_], back, "zwrot zaliczki"_w);
  cash_ += back;
  b_.Emit(ret);

  Document note;
  note.kind = "PK";
  note.booking = note.document_date = note.operation_date = date;
  Cost(note, "409", advance_ - back, b_.employees[advance_employee_], "rozliczenie zaliczki"_w);
  b_.Emit(note);

  // Cash sales of the month are paid at the cash desk.
  for (OpenItem& item : receivables_) {
    if (!item.cash || item.open <= 0 || item.date > date) continue;
    Document kp;
    kp.kind = "KP";
    kp.booking = kp.document_date = kp.operation_date = date;
    Pair(kp, "100", b_.customers[item.party].account, item.open, "wpłata gotówkowa"_w, item.key);
    cash_ += item.open;
    item.open = 0;
    b_.Emit(kp);
  }
  Compact(receivables_);
}

}  // namespace zel::demo
