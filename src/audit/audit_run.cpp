#include "audit/audit_run.hpp"

#include <algorithm>

#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/numbers.hpp"
#include "output/report_document.hpp"
#include "store/chart.hpp"

namespace zel {

namespace {

constexpr std::size_t kRowText = 30;
constexpr std::size_t kRowLabel = 20;
constexpr std::size_t kSubtitle = 80;
constexpr std::size_t kLabelColumn = 18;  // width of the first column: six months of " MM"

std::string Cut(std::string_view s, std::size_t n) {
  return std::string(s.substr(0, n));
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Characters from..from+1 (1-based) of s, as far as s reaches.
std::string_view Chars(std::string_view s, std::size_t from) {
  return from - 1 < s.size() ? s.substr(from - 1, 2) : std::string_view();
}

// The pair of a cost circle: the cost type and the cost centres' accounts of
// that type ("401.. , 5??-401..").
std::string CircleText(std::string_view code) {
  return Concat({"4", code, ".. , 5?" "?-4", code, ".."});
}

bool Negative2(Amount x) {
  return Round2(x) < 0;
}
bool NonZero4(Amount x) {
  return Round4(x) != 0;
}

// A second and later text pair of an explanation stands indented under the
// first; data cells lose ordinary leading spaces, so no-break spaces indent.
const std::string kIndent = "\xA0\xA0\xA0";

}  // namespace

AuditRun::AuditRun(const AuditParams& p, ChartTable& chart)
    : p_(p), chart_(chart), bo_text_(DayToText10(p.bo_date)), bz_text_(DayToText10(p.bz_date)) {
  // Month runs from the BO date: a run ends on the day before the month
  // changes, never past the BZ date; days past the 24th run share the
  // overflow slot.
  if (p.bz_date >= p.bo_date && p.bo_date != 0) {
    const std::size_t days = static_cast<std::size_t>(p.bz_date - p.bo_date) + 1;
    slot_of_day_.assign(days, kAuditMonthRuns);
    int run = 0;
    int month = -1;
    for (std::size_t off = 0; off < days; ++off) {
      const std::string t = DayToText10(static_cast<DayNo>(p.bo_date + off));
      const int mm = (t[3] - '0') * 10 + (t[4] - '0');
      if (month != -1 && mm != month) ++run;
      if (run >= kAuditMonthRuns) break;
      if (mm != month) run_month_[static_cast<std::size_t>(run)] = mm;
      month = mm;
      slot_of_day_[off] = static_cast<std::uint8_t>(run);
      run_count_ = run + 1;
    }
  }
}

void AuditRun::Head() {
  RapStart(p_.name, "AUDYT ZBIORU ROCZNEGO", 4);
  RapKol('l', 18, "Konto", "");
  RapKol('p', 15, "Obroty", "winien");
  RapKol('p', 15, "Obroty", "ma");
  RapKol('l', 60, "Opis", "błędu"_w);
  std::string subtitle = Cut(p_.name + "  w okresie od " + bo_text_ + " do " + bz_text_, kSubtitle);
  if (!p_.excluded.empty()) {
    subtitle = Cut(subtitle + "  z wyłączeniem \""_w + p_.excluded + "\"", kSubtitle);
  }
  RapNag(subtitle);
}

bool AuditRun::Reported(char code) const {
  return p_.excluded.find(code) == std::string::npos;
}

void AuditRun::Finding(char code, std::string_view text) {
  Row(code, account_, wd_, wm_, text);
}

void AuditRun::EndRow(char code, std::string_view label, Amount a, Amount b,
                      std::string_view text) {
  Row(code, Cut(label, kRowLabel), a, b, text);
}

void AuditRun::Row(char code, std::string_view first, Amount a, Amount b, std::string_view text) {
  if (!Reported(code)) return;
  RapWiersz(first, Amount15(a), Amount15(b), Cut(text, kRowText));
  if (occurred_.find(code) == std::string::npos) occurred_ += code;
}

AuditRun::CostCode& AuditRun::Cost(std::string_view code) {
  auto [it, added] = cost_index_.try_emplace(std::string(code), costs_.size());
  if (added) costs_.push_back(CostCode{std::string(code)});
  return costs_[it->second];
}

void AuditRun::AddMonths(MonthAmounts& into) {
  for (std::uint32_t bits = months_used_; bits != 0; bits &= bits - 1) {
    const int m = __builtin_ctz(bits);
    into[static_cast<std::size_t>(m)] += month_wd_[static_cast<std::size_t>(m)];
  }
}

void AuditRun::CloseAccount() {
  const std::string_view s = account_;
  if (before_) Finding('<', "obroty przed datą "_w + bo_text_);
  if (after_) Finding('>', "obroty po dacie " + bz_text_);
  if (s.size() < 3) Finding('!', "= za krótkie konto ="_w);

  const std::string_view synthetic = s.substr(0, std::min<std::size_t>(3, s.size()));
  if (!looked_up_ || synthetic != last_synthetic_) {
    last_synthetic_.assign(synthetic);
    looked_up_ = true;
    if (!chart_.Contains(synthetic)) Finding('3', "nie ma konta " + std::string(synthetic));
  }
  if (Negative2(wd_) || Negative2(wm_)) Finding('-', "storno większe niż obroty"_w);

  const Amount balance = wd_ - wm_;
  if (StartsWith(s, "01")) {
    if (s.size() > 2 && s[2] >= '0' && s[2] <= '8')
      gross_[static_cast<std::size_t>(s[2] - '0')] += balance;
    if (Negative2(balance)) Finding('0', "saldo po stronie ma");
  } else if (StartsWith(s, "02")) {
    gross_[9] += balance;
    if (Negative2(balance)) Finding('0', "saldo po stronie ma");
  } else if (StartsWith(s, "07")) {
    if (s.size() > 2 && IsDigit(s[2]))
      depreciation_[static_cast<std::size_t>(s[2] - '0')] -= balance;
    if (Round2(balance) > 0) Finding('0', "saldo po stronie wn");
  } else if (StartsWith(s, "08")) {
    if (Negative2(balance)) Finding('0', "saldo po stronie ma");
  } else if (StartsWith(s, "1")) {
    if (Negative2(balance)) Finding('1', "saldo po stronie ma");
  } else if (StartsWith(s, "20") && s.size() > 2 && IsDigit(s[2])) {
    const auto d = static_cast<std::size_t>(s[2] - '0');
    const Amount abs_wd = wd_ < 0 ? -wd_ : wd_;
    const Amount abs_wm = wm_ < 0 ? -wm_ : wm_;
    if (abs_wd > abs_wm) {
      debit_balances_[d] += balance;
    } else {
      credit_balances_[d] -= balance;
    }
  } else if (StartsWith(s, "31") || StartsWith(s, "33")) {
    if (Negative2(balance)) Finding('M', "saldo po stronie ma");
  }

  if (StartsWith(s, "4")) {
    if (StartsWith(s, "49")) {
      balance49_ -= balance;
      if (NonZero4(wd_)) Finding('A', "obroty po stronie wn");
    }
    CostCode& c = Cost(Chars(s, 2));
    AddMonths(c.g4);
    c.total4 += wd_;
    // Account 490 settles costs: it is credited by design, and its debits
    // have their own check above.
    if (!StartsWith(s, "49") && NonZero4(wm_)) Finding('4', "obroty po stronie ma");
    if (on_bo_) Finding('<', "koszty pod datą "_w + bo_text_);
  } else if (StartsWith(s, "5")) {
    std::string_view code = Chars(s, 6);
    if (!code.empty() && code[0] == '-') {
      code = Chars(s, 8);
      if (code.size() > 1 && code[1] == '-') code = Chars(s, 9);
    }
    CostCode& c = Cost(code);
    AddMonths(c.g5);
    c.total5 += wd_;
    if (NonZero4(wm_)) Finding('5', "obroty po stronie ma");
    if (on_bo_) Finding('<', "koszty pod datą "_w + bo_text_);
  } else if (StartsWith(s, "7")) {
    if (s.size() == 3 && chart_.Contains(std::string(s) + "-2")) {
      Finding('7', "koszt / przychód na "_w + std::string(s) + "-2");
    }
    if (on_bo_) Finding('<', "przych.pod datą "_w + bo_text_);
  } else if (StartsWith(s, "86")) {
    if (AmountsDiffer(wd_, wm_)) Finding('8', "wynik finansowy");
  }

  wd_ = 0;
  wm_ = 0;
  for (std::uint32_t bits = months_used_; bits != 0; bits &= bits - 1) {
    month_wd_[static_cast<std::size_t>(__builtin_ctz(bits))] = 0;
  }
  months_used_ = 0;
  before_ = on_bo_ = after_ = false;
}

void AuditRun::CostCircleRows() {
  bool any = false;
  for (const CostCode& c : costs_) {
    if (!AmountsDiffer(c.total4, c.total5)) continue;
    std::string months;
    for (int m = 0; m < kAuditSlots; ++m) {
      const auto i = static_cast<std::size_t>(m);
      if (!AmountsDiffer(c.g4[i], c.g5[i])) continue;
      // The overflow slot holds what was booked after the month runs.
      months += m < run_count_ ? Concat({" ", TwoDigits(static_cast<std::uint8_t>(MonthOfRun(m)))})
                               : std::string(" po");
    }
    const std::string text = CircleText(c.code);
    // Every differing month is listed: what does not fit the label goes on
    // continuation rows under it.
    const std::string head = "KK w mies.:";
    const std::size_t first_fit = (kLabelColumn - head.size()) / 3 * 3;
    EndRow('K', head + months.substr(0, first_fit), c.total4, c.total5, text);
    if (Reported('K')) {
      for (std::size_t at = first_fit; at < months.size(); at += kLabelColumn) {
        RapWiersz(months.substr(at, kLabelColumn), "", "", "");
      }
    }
    any = true;
  }
  if (!any || !Reported('K')) return;
  // The differing months of each cost code with their amounts.
  RapTekst('1', "Różnice kręgów kosztów w miesiącach (grupa 4, grupa 5):"_w);
  for (const CostCode& c : costs_) {
    if (!AmountsDiffer(c.total4, c.total5)) continue;
    for (int m = 0; m < kAuditSlots; ++m) {
      const auto i = static_cast<std::size_t>(m);
      if (!AmountsDiffer(c.g4[i], c.g5[i])) continue;
      const std::string month =
          m < run_count_ ? TwoDigits(static_cast<std::uint8_t>(MonthOfRun(m))) : "po";
      RapWiersz(c.code + " mies. " + month, Amount15(c.g4[i]), Amount15(c.g5[i]),
                CircleText(c.code));
    }
  }
}

void AuditRun::End() {
  for (int d = 0; d < 10; ++d) {
    const auto i = static_cast<std::size_t>(d);
    const std::string label =
        d < 9 ? "01" + std::to_string(d) + ".. , 07" + std::to_string(d) + ".." : "024.. , 079..";
    if (Negative2(gross_[i] - depreciation_[i])) {
      EndRow('N', label, gross_[i], depreciation_[i], "wartość netto ujemna"_w);
    }
  }
  for (int d = 0; d < 10; ++d) {
    const auto i = static_cast<std::size_t>(d);
    if (Round2(debit_balances_[i]) != 0 && Round2(credit_balances_[i]) != 0) {
      EndRow('2', "20" + std::to_string(d), debit_balances_[i], credit_balances_[i],
             "saldo dwustronne");
    }
  }
  CostCircleRows();
  Explanations();
}

void AuditRun::Explanations() {
  RapLinia('=');
  auto pair = [](std::string_view a, std::string_view b, bool indented) {
    const std::string lead = indented ? kIndent : std::string();
    RapWiersz("", "", "", lead + std::string(a));
    RapWiersz("", "", "", lead + std::string(b));
  };
  auto pairs = [&pair](std::initializer_list<std::pair<const char*, const char*>> list) {
    bool first = true;
    for (const auto& [a, b] : list) {
      pair(Utf8ToWin(a), Utf8ToWin(b), !first);
      first = false;
    }
  };
  for (const char code : occurred_) {
    RapLinia(' ');
    switch (code) {
      case '!':
        pairs({{"za krótkie konto oznacza, że podczas księgowania", "użyto zbyt krótkiego konta"}});
        break;
      case '-':
        pairs({{"storno większe niż obroty oznacza, że korekta",
                "obrotów jest większa niż te obroty"}});
        break;
      case '0':
        pairs(
            {{"saldo po stronie ma oznacza, że likwidacja", "przewyższyła wartość brutto środków"},
             {"saldo po stronie wn oznacza, że wyksięgowanie",
              "umorzenia jest większe niż umorzenie"}});
        break;
      case '1':
        pairs({{"saldo po stronie ma oznacza, że z konta", "więcej wyszło niż wcześniej weszło"}});
        break;
      case '2':
        pairs({{"saldo dwustronne oznacza, że", "na kontach grupy 20 mamy nadpłatę, która"},
               {"da różnicę między sumą aktywów", "i sumą pasywów w bilansie, należy:"},
               {"wystawić (pozyskać) fakturę zaliczkową", "lub wyksięgować na pozostałe 249-00"}});
        break;
      case '3':
        pairs(
            {{"nie ma konta oznacza, że to takiego konta", "syntetycznego nie ma w planie kont"}});
        break;
      case '4':
      case '5':
        pairs({{"obroty po stronie ma oznacza, że", "na kontach grupy 4 lub 5 mamy korekty, "},
               {"które nieprawidłowo zaksięgowano", "bez zachowania czystości zapisów"}});
        break;
      case '7':
        pairs({{"koszt / przychód na 7..-2 oznacza, że", "należy używać kont analitycznych"}});
        break;
      case '8':
        pairs({{"wynik finansowy oznacza, że być może powinien", "być wyksięgowany na konto 805"}});
        break;
      case '<': {
        bool first = true;
        for (const char* lead : {"obroty przed datą ", "koszty pod datą ", "przych.pod datą "}) {
          pair(Utf8ToWin(lead) + bo_text_ + " oznacza, że"_w,
               "albo są źle ustawione daty w opcji I.B"_w, !first);
          if (first) {
            pair("albo bilans otwarcia ma zeszłoroczną datę,"_w,
                 "albo jeden z dowodów ma złą datę."_w, true);
          } else {
            pair("albo jeden z dowodów ma datę bilansu otwarcia"_w, bo_text_, true);
          }
          first = false;
        }
        break;
      }
      case 'A':
        pairs({{"obroty po stronie wn oznacza, że źle", "zostało użyte konto 490, błąd ten"},
               {"najczęściej wynika z nieprawidłowego", "księgowania faktur korygujących"}});
        break;
      case 'K':
        pairs({{"KK w mies.: oznacza, że mamy niezgodne", "małe zamknięte kręgi kosztów,"},
               {"rachunek zysków i strat pokaże inne kwoty niż", "obroty na kontach grupy 4"}});
        break;
      case 'M':
        pairs(
            {{"saldo po stronie ma oznacza, że z magazynu", "więcej wyszło niż wcześniej weszło"}});
        break;
      case 'N':
        pairs({{"wartość netto ujemna oznacza, że w tej", "grupie środków trwałych umorzenie jest"},
               {"wyższe niż wartość brutto środków,", "na bilansie pojawią się ujemne kwoty"}});
        break;
      default:
        RapWiersz("", "", "", "  Błąd \""_w + std::string(1, code) + "\"");
        break;
    }
  }
  RapLinia(' ');
}

}  // namespace zel
