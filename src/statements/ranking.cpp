// Ranki: the trial balance's walk over the selected accounts, summing and
// netting as the trial balance does, with the accounts under each prefix of
// depth Pod7 ranked by one chosen amount instead of listed, before the next
// level line. The ranking table grows with the group; nothing is dropped.
#include <algorithm>
#include <array>

#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "common/numbers.hpp"
#include "output/report_document.hpp"
#include "statements/open_items.hpp"
#include "statements/settlement_scan.hpp"
#include "statements/trial_balance.hpp"
#include "store/chart.hpp"
#include "store/journal_file.hpp"

namespace zel {

namespace {

constexpr std::size_t kRankedRows = 200;

bool IsZero(Amount x) { return !AmountsDiffer(x, 0); }

struct Level {
  AmountSet a{};
};

void Roll(Level& from, Level& to) {
  for (std::size_t i = 0; i < from.a.size(); ++i) {
    to.a[i] += from.a[i];
    from.a[i] = 0;
  }
}

bool FourZero(const AmountSet& a) {
  return IsZero(a[kNaWn]) && IsZero(a[kNaMa]) && IsZero(a[kSaWn]) && IsZero(a[kSaMa]);
}

std::string_view Prefix(std::string_view s, int n) {
  return s.substr(0, std::min<std::size_t>(s.size(), static_cast<std::size_t>(n)));
}

struct Entry {
  std::string symbol;
  std::array<Amount, 4> a{};  // cumulative debit, credit, balance debit, credit
  std::string name;
};

class Walk {
 public:
  Walk(const SettlementParams& p, OptionServices& w)
      : p_(p), w_(w), chart_(p.chart ? *p.chart : Chart()) {}

  bool Run(RecordSource& source, std::string_view file_name) {
    Head();
    SettlementScan scan(source, file_name, p_.masks, p_.to, w_, "Ranki");
    bool have = false;
    while (const std::optional<JournalView> v = scan.Next()) {
      if (!have || v->account() != current_) {
        if (have) CloseAccount(v->account());
        current_ = v->account();
        have = true;
      }
      Posting(*v);
    }
    if (scan.OutOfOrder()) return false;
    if (have) CloseAccount(kSentinelSymbol);
    End();
    return true;
  }

 private:
  void Head() {
    RapStart(p_.annual_name, "RANKING" + std::string(w_.PeriodText()), 7);
    RapKol1('p', 3, "Lp");
    RapKol('l', 25, "Symbol", "konta");
    RapKol('b', 14, "Obroty", "winien");
    RapKol('d', 14, "", "ma");
    RapKol('b', 14, "Saldo", "winien");
    RapKol('d', 14, "", "ma");
    RapKol1('l', 50, "Nazwa konta");
    RapNag(SettlementSubtitle(p_));
  }

  void Posting(const JournalView& v) {
    const bool debit = v.IsDebit();
    const Amount amount = v.amount();
    const DayNo booking = v.bookingDate();
    (debit ? acc_.a[kNaWn] : acc_.a[kNaMa]) += amount;
    if (booking >= p_.from) {
      (debit ? acc_.a[kOkWn] : acc_.a[kOkMa]) += amount;
    } else if (booking <= p_.bo_date) {
      (debit ? acc_.a[kBoWn] : acc_.a[kBoMa]) += amount;
    }
  }

  std::string Description(std::string_view symbol) {
    return symbol.empty() ? std::string() : chart_.Description(symbol, p_.mode);
  }

  static std::string Cell(Amount x) { return Concat({" ", Amount15(x)}); }

  void PrintRanking() {
    if (entries_.empty()) return;
    auto key = [this](const Entry& e) -> Amount {
      switch (p_.key_letter) {
        case 'W': return e.a[0];
        case 'M': return e.a[1];
        case 'S': return e.a[2];
        case 'L': return e.a[3];
        default: return 0;
      }
    };
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      if (Round4(key(entries_[i])) > 0) order.push_back(i);
    }
    // The largest key first; on ties the earlier entry.
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
      return Round4(key(entries_[a])) > Round4(key(entries_[b]));
    });
    if (order.size() > kRankedRows) order.resize(kRankedRows);
    int rank = 0;
    for (std::size_t i : order) {
      const Entry& e = entries_[i];
      RapWiersz(IntText(++rank, 4), e.symbol, Cell(e.a[0]), Cell(e.a[1]), Cell(e.a[2]),
                Cell(e.a[3]), e.name);
    }
    entries_.clear();
  }

  // Prints the pending ranking, then the line unless its four amounts are
  // zero; answers whether the line was printed.
  bool LevelLine(const AmountSet& a, std::string_view label, std::string_view prefix) {
    PrintRanking();
    if (FourZero(a)) return false;
    std::string text(label.substr(0, 40));
    RapWiersz("", text, Cell(a[kNaWn]), Cell(a[kNaMa]), Cell(a[kSaWn]), Cell(a[kSaMa]),
              Description(prefix));
    return true;
  }

  void CloseAccount(std::string_view next) {
    BalanceRule(acc_.a[kNaWn], acc_.a[kNaMa], &acc_.a[kSaWn], &acc_.a[kSaMa]);
    Roll(acc_, pod7_);
    const std::string_view closed = current_;
    if (p_.pod7 != 0) {
      if (Prefix(closed, p_.pod7) == Prefix(next, p_.pod7)) return;
      if (!FourZero(pod7_.a)) {
        const std::string_view prefix = Prefix(closed, p_.pod7);
        std::string name = Description(prefix);
        if (name.size() > 50) name.resize(50);
        entries_.push_back({std::string(prefix),
                            {pod7_.a[kNaWn], pod7_.a[kNaMa], pod7_.a[kSaWn], pod7_.a[kSaMa]},
                            std::move(name)});
      }
    }
    Roll(pod7_, pod3_);
    if (p_.pod3 != 0) {
      if (Prefix(closed, p_.pod3) == Prefix(next, p_.pod3)) return;
      const std::string_view prefix = Prefix(closed, p_.pod3);
      if (LevelLine(pod3_.a, std::string(prefix) + "  [synt]", prefix)) RapLinia('.');
    }
    Roll(pod3_, pod1_);
    if (p_.pod1 != 0) {
      if (Prefix(closed, p_.pod1) == Prefix(next, p_.pod1)) return;
      const std::string_view prefix = Prefix(closed, p_.pod1);
      const bool drawn = !FourZero(pod1_.a);
      if (drawn && p_.pod3 == 0) RapLinia('-');
      LevelLine(pod1_.a, std::string(prefix) + "  [zespół]"_w, prefix);
      if (drawn) RapLinia('-');
    }
    Roll(pod1_, total_);
  }

  void End() {
    PrintRanking();
    const AmountSet& t = total_.a;
    RapWiersz("", "RAZEM", Cell(t[kNaWn]), Cell(t[kNaMa]), Cell(t[kSaWn]), Cell(t[kSaMa]));
    Amount cw = 0, cm = 0, bw = 0, bm = 0;
    BalanceRule(t[kNaWn], t[kNaMa], &cw, &cm);
    BalanceRule(t[kSaWn], t[kSaMa], &bw, &bm);
    RapWiersz("", "WYNIK", Cell(cw), Cell(cm), Cell(bw), Cell(bm));
  }

  const SettlementParams& p_;
  OptionServices& w_;
  ChartTable& chart_;
  std::string current_;
  Level acc_, pod7_, pod3_, pod1_, total_;
  std::vector<Entry> entries_;
};

}  // namespace

bool RankingFrom(const SettlementParams& p, RecordSource& source, std::string_view file_name,
                 OptionServices& window) {
  Walk walk(p, window);
  return walk.Run(source, file_name);
}

bool Ranking(const SettlementParams& p, OptionServices& window) {
  return RunOnAnnualFile(p, window, "bZe:2459", RankingFrom);
}

}  // namespace zel
