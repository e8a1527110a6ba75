// The general notes: month-end payroll, depreciation, stock consumption and
// VAT settlement, a cost storno and the one deliberately unbalanced note.
#include <algorithm>
#include <array>
#include <cstdio>

#include "app/demo_steps.hpp"
#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/pltext.hpp"

namespace zel::demo {

// A cost posted to the wrong type is reversed by a negative posting on the
// same side and posted again to the right one.
void YearSteps::CostStorno(const Month& m, int day) {
  Document d;
  d.kind = "PK";
  d.booking = d.document_date = d.operation_date = InMonth(m, day);
  const std::int64_t amount = 30000;
  const std::string text = "storno - przeksięgowanie"_w;
  d.lines.push_back(L("402", true, -amount, "409", text));
  d.lines.push_back(L("409", true, amount, "402", text));
  d.lines.push_back(L(centres_[0] + "-402", true, -amount, centres_[0] + "-409", text));
  d.lines.push_back(L(centres_[0] + "-409", true, amount, centres_[0] + "-402", text));
  b_.Emit(d);
}

// The one document that does not balance: a debit of 100,00 against a
// credit of 99,99, as a typing slip leaves it.
void YearSteps::UnbalancedNote(const Month& m, int day) {
  Document d;
  d.kind = "PK";
  d.booking = d.document_date = d.operation_date = InMonth(m, day);
  const std::string text = "korekta rozrachunków"_w;
  d.lines.push_back(L("240-1", true, 10000, "760", text));
  d.lines.push_back(L("760", false, 9999, "240-1", text));
  b_.year.unbalanced_document = b_.Emit(d);
}

void YearSteps::MonthEnd(const Month& m) {
  const DayNo date = m.last;
  const std::string period = Two(m.mm) + "/" + std::to_string(y_);
  auto note = [&]() {
    Document d;
    d.kind = "PK";
    d.booking = d.document_date = d.operation_date = date;
    return d;
  };

  // Payroll: gross wages, the employee's and the employer's insurance, the
  // income tax advance; paid on the 5th of the next month.
  {
    Document d = note();
    const std::int64_t gross = Scaled(Zl(34000, 38000));
    const std::int64_t employee_zus = RoundDiv(gross * 1371, 10000);
    const std::int64_t pit = RoundDiv((gross - employee_zus) * 9, 100);
    const std::int64_t employer_zus = RoundDiv(gross * 2048, 10000);
    const std::string text = "lista płac "_w + period;
    Pair(d, "404", "231", gross, text);
    Pair(d, "231", "225", employee_zus, "ZUS pracownika "_w + period);
    Pair(d, "231", "222", pit, "PIT-4 " + period);
    Pair(d, "405", "225", employer_zus, "ZUS pracodawcy "_w + period);
    Spread(d, "404", gross, text);
    Spread(d, "405", employer_zus, "ZUS pracodawcy "_w + period);
    payroll_net_ += gross - employee_zus - pit;
    zus_to_pay_ += employee_zus + employer_zus;
    pit_to_pay_ += pit;
    d.control = true;
    b_.Emit(d);
  }
  // Depreciation of the month.
  {
    Document d = note();
    const std::string text = "amortyzacja "_w + period;
    for (const Depreciation& dep : monthly_depreciation_) {
      Pair(d, "400", dep.depreciation, dep.monthly, text);
      Mirror(d, "400", dep.monthly, text, static_cast<int>(centres_.size()) - 1);
    }
    b_.Emit(d);
  }
  // Materials used and goods sold.
  {
    Document d = note();
    const std::int64_t used =
        std::min(stock_materials_, RoundDiv(month_materials_ * 85, 100) + Scaled(150000));
    if (used > 0) {
      Pair(d, "401", "310", used, "zużycie materiałów "_w + period);
      Spread(d, "401", used, "zużycie materiałów "_w + period);
      stock_materials_ -= used;
    }
    const std::int64_t sold =
        std::min(stock_goods_, RoundDiv(std::max<std::int64_t>(month_sales_goods_, 0) * 60, 100));
    if (sold > 0) {
      Pair(d, "731", "330", sold, "wartość sprzedanych towarów"_w);
      stock_goods_ -= sold;
    }
    if (!d.lines.empty()) b_.Emit(d);
  }
  // VAT of the month: input tax set off against output tax, the rest due.
  {
    Document d = note();
    const std::string text = "rozliczenie VAT "_w + period;
    const std::int64_t offset = std::max<std::int64_t>(0, std::min(vat_out_, vat_in_));
    if (offset > 0) Pair(d, "221-1", "221-2", offset, text);
    const std::int64_t due = vat_out_ - offset;
    if (due > 0) {
      Pair(d, "221-1", "221-3", due, text);
      vat_to_pay_ += due;
      vat_out_ = 0;
    } else {
      vat_out_ -= offset;
    }
    vat_in_ -= offset;
    if (!d.lines.empty()) b_.Emit(d);
  }
}

// A cost type spread over the cost centres that produce (the first two),
// the last one taking what the rounding leaves.
void YearSteps::Spread(Document& d, const std::string& cost_type, std::int64_t grosze,
                       const std::string& text) {
  const int n = std::min<int>(2, static_cast<int>(centres_.size()));
  std::int64_t left = grosze;
  for (int i = 0; i < n; ++i) {
    const std::int64_t part = i == n - 1 ? left : RoundDiv(grosze, n);
    Mirror(d, cost_type, part, text, i);
    left -= part;
  }
}

}  // namespace zel::demo
