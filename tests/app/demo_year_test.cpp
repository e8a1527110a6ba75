// The sample year as built in memory: documents balance, the cost groups
// agree, the kinds of postings the statements need are all there.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "app/demo.hpp"
#include "common/dates.hpp"
#include "common/pltext.hpp"

namespace zel {
namespace {

std::int64_t Grosze(Amount a) {
  return std::llround(a * 100);
}

const DemoYear& Sample() {
  static const DemoYear year = BuildDemoYear(DemoOptions{});
  return year;
}

// Debit minus credit of every document, in grosze.
std::map<std::string, std::int64_t> DocumentDifferences(const DemoYear& year) {
  std::map<std::string, std::int64_t> diff;
  for (const JournalEntry& e : year.working) {
    if (e.IsControl()) continue;
    diff[e.documentNo.str()] += e.IsDebit() ? Grosze(e.amount) : -Grosze(e.amount);
  }
  return diff;
}

TEST(DemoYear, EveryDocumentBalancesExceptTheDeliberateOne) {
  const DemoYear& year = Sample();
  ASSERT_FALSE(year.unbalanced_document.empty());
  int unbalanced = 0;
  for (const auto& [doc, diff] : DocumentDifferences(year)) {
    if (diff == 0) continue;
    ++unbalanced;
    EXPECT_EQ(doc, year.unbalanced_document);
    EXPECT_EQ(diff, 1);  // 100,00 against 99,99
  }
  EXPECT_EQ(unbalanced, 1);
}

TEST(DemoYear, ScaledYearsBalanceEverywhere) {
  DemoOptions options;
  options.postings = 20000;
  options.seed = 7;
  const DemoYear year = BuildDemoYear(options);
  EXPECT_TRUE(year.unbalanced_document.empty());
  for (const auto& [doc, diff] : DocumentDifferences(year)) EXPECT_EQ(diff, 0) << doc;
  const std::int64_t n = PostingCount(year);
  EXPECT_GT(n, 18000);
  EXPECT_LT(n, 22000);
  EXPECT_GT(year.accounts.size(), Sample().accounts.size());
}

TEST(DemoYear, ControlRecordsFollowTheirDocumentsAndOneDisagrees) {
  const DemoYear& year = Sample();
  EXPECT_GT(year.control_records, 10);
  std::map<std::string, std::int64_t> debit;
  int disagreeing = 0;
  for (std::size_t i = 0; i < year.working.size(); ++i) {
    const JournalEntry& e = year.working[i];
    if (!e.IsControl()) {
      if (e.IsDebit()) debit[e.documentNo.str()] += Grosze(e.amount);
      continue;
    }
    ASSERT_GT(i, 0u);
    const JournalEntry& before = year.working[i - 1];
    EXPECT_EQ(before.documentNo.view(), e.documentNo.view());
    EXPECT_EQ(e.entryNo, before.entryNo + 1);
    if (Grosze(e.amount) != debit[e.documentNo.str()]) {
      ++disagreeing;
      EXPECT_EQ(e.documentNo.view(), year.wrong_control_document);
    }
  }
  EXPECT_EQ(disagreeing, 1);
}

TEST(DemoYear, CostsByTypeAndByFunctionAgreeInEveryMonth) {
  const DemoYear& year = Sample();
  std::map<int, std::int64_t> type_debits, function_debits, settlement_credits;
  std::int64_t wrong_side = 0;
  for (const JournalEntry& e : year.working) {
    if (e.IsControl()) continue;
    const std::string month = DayToText10(e.bookingDate).substr(3, 2);
    const int mm = std::stoi(month);
    const char group = e.account[0];
    const bool settlement = e.account.view().substr(0, 3) == "490";
    if (group == '4' && !settlement) {
      if (e.IsDebit())
        type_debits[mm] += Grosze(e.amount);
      else
        wrong_side += Grosze(e.amount);
    } else if (group == '5') {
      if (e.IsDebit())
        function_debits[mm] += Grosze(e.amount);
      else
        wrong_side += Grosze(e.amount);
    } else if (settlement) {
      if (e.IsDebit())
        wrong_side += Grosze(e.amount);
      else
        settlement_credits[mm] += Grosze(e.amount);
    }
  }
  EXPECT_EQ(wrong_side, 0);
  ASSERT_EQ(type_debits.size(), 12u);
  for (const auto& [mm, sum] : type_debits) {
    SCOPED_TRACE(mm);
    EXPECT_GT(sum, 0);
    EXPECT_EQ(function_debits[mm], sum);
    EXPECT_EQ(settlement_credits[mm], sum);
  }
}

TEST(DemoYear, HoldsEveryKindOfPostingTheStatementsNeed) {
  const DemoYear& year = Sample();
  for (const char* kind : {"BO", "FV", "FZ", "WB", "KP", "KW", "PK"}) {
    SCOPED_TRACE(kind);
    EXPECT_GT(year.documents_by_kind.count(kind), 0u);
  }
  int stornos = 0, euro = 0, star = 0, semicolon = 0, no_due_debit = 0, due = 0;
  for (const JournalEntry& e : year.working) {
    if (e.IsControl()) continue;
    EXPECT_GE(e.bookingDate, year.bo_date);
    EXPECT_LE(e.bookingDate, year.bz_date);
    EXPECT_EQ(e.sourceFile.view(), year.working_name);
    if (e.amount < 0) ++stornos;
    if (e.currencyCode.view() == "EUR") {
      ++euro;
      EXPECT_NE(Grosze(e.currencyAmount), 0);
    }
    const std::string_view t = e.transactionNo.view();
    if (t.find('*') != std::string_view::npos) ++star;
    if (t.find(';') != std::string_view::npos) ++semicolon;
    if (e.account.view().substr(0, 4) == "201-" && e.IsDebit() &&
        e.documentNo.view().substr(0, 2) == "FV") {
      (e.dueDate == 0 ? no_due_debit : due) += 1;
    }
  }
  EXPECT_GE(stornos, 4);
  EXPECT_GE(euro, 10);
  EXPECT_GT(star, 0);
  EXPECT_GT(semicolon, 0);
  EXPECT_GT(no_due_debit, 0);
  EXPECT_GT(due, no_due_debit);
}

TEST(DemoYear, PaymentsSettleInFullInPartAndTooMuch) {
  // Per customer account and settlement key (the part after the last "*" or
  // ";", upper case): what stays open at the end of the year.
  const DemoYear& year = Sample();
  std::map<std::pair<std::string, std::string>, std::int64_t> open, paid;
  for (const JournalEntry& e : year.working) {
    if (e.IsControl() || e.account.view().substr(0, 4) != "201-") continue;
    std::string key(e.transactionNo.view());
    for (char sep : {'*', ';'}) {
      const std::size_t p = key.rfind(sep);
      if (p != std::string::npos) key = key.substr(p + 1);
    }
    key = UpperPl(key);
    open[{e.account.str(), key}] += e.IsDebit() ? Grosze(e.amount) : -Grosze(e.amount);
    if (!e.IsDebit() && e.amount > 0) paid[{e.account.str(), key}] += 1;
  }
  int settled = 0, partly = 0, overpaid = 0;
  for (const auto& [k, v] : open) {
    if (v == 0) ++settled;
    if (paid[k] >= 2) ++partly;  // paid in parts
    if (v < 0) ++overpaid;
  }
  EXPECT_GT(settled, 50);
  EXPECT_GT(partly, 0);
  EXPECT_GT(overpaid, 0);
}

TEST(DemoYear, EveryPostedAccountIsInTheChartOrUnderACostCentre) {
  const DemoYear& year = Sample();
  std::set<std::string> chart, centres;
  for (const DemoAccount& a : year.accounts) {
    EXPECT_TRUE(chart.insert(a.symbol).second) << "twice: " << a.symbol;
    if (a.short_name == "^K") centres.insert(a.symbol);
    EXPECT_FALSE(a.name.empty()) << a.symbol;
    EXPECT_LE(a.name.size(), 50u) << a.symbol;
    EXPECT_LE(a.address.size(), 50u) << a.symbol;
  }
  EXPECT_EQ(centres.size(), 5u);
  for (std::size_t i = 1; i < year.accounts.size(); ++i) {
    EXPECT_TRUE(SymbolLess(year.accounts[i - 1].symbol, year.accounts[i].symbol));
  }
  for (const JournalEntry& e : year.working) {
    const std::string s = e.account.str();
    if (chart.count(s) != 0) continue;
    const std::size_t dash = s.rfind('-');
    ASSERT_NE(dash, std::string::npos) << s;
    EXPECT_EQ(centres.count(s.substr(0, dash)), 1u) << s;
    EXPECT_EQ(chart.count("599" + s.substr(dash)), 1u) << s;
  }
}

TEST(DemoYear, YearEndBalancesStandOnTheirUsualSides) {
  // Cash, bank and stocks never end on the credit side; depreciation never
  // exceeds the gross value of its group.
  const DemoYear& year = Sample();
  std::map<std::string, std::int64_t> balance;
  for (const JournalEntry& e : year.working) {
    if (e.IsControl()) continue;
    const std::string s = e.account.str();
    const std::int64_t v = e.IsDebit() ? Grosze(e.amount) : -Grosze(e.amount);
    balance[s] += v;
  }
  for (const char* s : {"100", "130", "131", "310", "330"}) {
    SCOPED_TRACE(s);
    EXPECT_GE(balance[s], 0);
  }
  const std::pair<const char*, const char*> pairs[] = {{"010-1", "070-1"},
                                                       {"010-2", "070-2"},
                                                       {"010-3", "070-3"},
                                                       {"010-4", "070-4"},
                                                       {"020", "079"}};
  for (const auto& [gross, dep] : pairs) {
    SCOPED_TRACE(gross);
    EXPECT_GE(balance[gross] + balance[dep], 0);
  }
}

TEST(DemoYear, NipAndRegonCheckDigits) {
  struct Case {
    const char* text;
    bool nip, regon;
  };
  const Case cases[] = {
      {"1234563218", true, false}, {"1234563217", false, false}, {"123456785", false, true},
      {"123456784", false, false}, {"12345632", false, false},   {"12345632a8", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(NipValid(c.text), c.nip);
    EXPECT_EQ(RegonValid(c.text), c.regon);
  }
  const DemoYear& year = Sample();
  EXPECT_TRUE(NipValid(year.firm.nip));
  EXPECT_TRUE(RegonValid(year.firm.regon));
  for (const DemoAccount& a : year.accounts) {
    if (!a.nip.empty() && a.nip[0] >= '0' && a.nip[0] <= '9') {
      EXPECT_TRUE(NipValid(a.nip)) << a.symbol;
    }
  }
}

TEST(DemoYear, RegistersUseEveryLetterAndTheSpecialEntries) {
  const DemoYear& year = Sample();
  std::set<char> sales, purchases;
  bool two_lines = false, marker = false, self_settled = false, no_vat_date = false;
  std::int64_t register_sales_vat = 0;
  for (const DemoRegister& r : year.registers) {
    EXPECT_FALSE(r.entries.empty()) << r.code;
    if (r.code == "\"WN") self_settled = r.kind == 'Z';
    for (const VatEntry& e : r.entries) {
      int used = 0;
      for (const VatLine& l : e.lines) {
        if (Grosze(l.net) == 0) continue;
        ++used;
        (r.kind == 'S' ? sales : purchases).insert(l.letter);
        if (r.kind == 'S') register_sales_vat += Grosze(l.vat);
      }
      two_lines |= used == 2;
      marker |= e.month_flag >= 13;
      no_vat_date |= e.vat_date == 0;
      EXPECT_FALSE(e.name.empty());
      EXPECT_FALSE(e.document_no.empty());
    }
  }
  EXPECT_TRUE(two_lines);
  EXPECT_TRUE(marker);
  EXPECT_TRUE(self_settled);
  EXPECT_TRUE(no_vat_date);
  for (char c = 'A'; c <= 'Z'; ++c) EXPECT_EQ(purchases.count(c), 1u) << c;
  for (char c : std::string("ABCDEFGHKL")) EXPECT_EQ(sales.count(c), 1u) << c;

  // The sales registers hold the output VAT the sales invoices posted.
  std::int64_t journal_sales_vat = 0;
  for (const JournalEntry& e : year.working) {
    if (!e.IsControl() && !e.IsDebit() && e.account.view() == "221-1" &&
        e.documentNo.view().substr(0, 2) == "FV") {
      journal_sales_vat += Grosze(e.amount);
    }
  }
  EXPECT_EQ(register_sales_vat, journal_sales_vat);
}

TEST(DemoYear, SameSeedSameYearOtherSeedOtherYear) {
  DemoOptions a;
  a.seed = 5;
  const DemoYear first = BuildDemoYear(a);
  const DemoYear again = BuildDemoYear(a);
  a.seed = 6;
  const DemoYear other = BuildDemoYear(a);
  ASSERT_EQ(first.working.size(), again.working.size());
  bool same = true;
  for (std::size_t i = 0; i < first.working.size(); ++i) {
    same &= EncodeJournalEntry(first.working[i]) == EncodeJournalEntry(again.working[i]);
  }
  EXPECT_TRUE(same);
  bool differs = first.working.size() != other.working.size();
  for (std::size_t i = 0; !differs && i < first.working.size(); ++i) {
    differs = EncodeJournalEntry(first.working[i]) != EncodeJournalEntry(other.working[i]);
  }
  EXPECT_TRUE(differs);
}

}  // namespace
}  // namespace zel
