#include "statements/trial_balance.hpp"

#include <algorithm>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "output/report_document.hpp"
#include "shell/file_access.hpp"
#include "shell/status.hpp"
#include "store/account_order.hpp"
#include "store/block_reader.hpp"
#include "store/chart.hpp"
#include "store/journal_entry.hpp"
#include "store/journal_file.hpp"

namespace zel {

namespace {

constexpr int kMaskWidth = 25;
constexpr std::size_t kMinDays = 401;

bool IsZero(Amount x) { return !AmountsDiffer(x, 0); }

bool AllZero(const AmountSet& a) {
  return std::all_of(a.begin(), a.end(), [](Amount x) { return IsZero(x); });
}

// One level of sums: the eight amounts and the accounts rolled into them.
struct Level {
  AmountSet a{};
  int count = 0;
};

// Adds the source into the target and clears the source.
void Roll(Level& from, Level& to) {
  for (std::size_t i = 0; i < from.a.size(); ++i) {
    to.a[i] += from.a[i];
    from.a[i] = 0;
  }
  to.count += from.count;
  from.count = 0;
}

std::string_view Prefix(std::string_view s, int n) {
  return s.substr(0, std::min<std::size_t>(s.size(), static_cast<std::size_t>(n)));
}

std::string Title(TrialBalanceKind kind) {
  switch (kind) {
    case TrialBalanceKind::ZOiSa: return "ZESTAWIENIE OBROTÓW i SALD"_w;
    case TrialBalanceKind::SyBBO: return "SYNTETYKA";
    case TrialBalanceKind::SynMi: return "SYNTETYKA MIESIĘCZNA"_w;
    case TrialBalanceKind::Anali: return "ANALITYKA";
    case TrialBalanceKind::ZOiSN: return "ZESTAWIENIE OiS NIEZEROWYCH";
  }
  return {};
}

const char* Code(TrialBalanceKind kind) {
  switch (kind) {
    case TrialBalanceKind::ZOiSa: return "ZOiSa";
    case TrialBalanceKind::SyBBO: return "SyBBO";
    case TrialBalanceKind::SynMi: return "SynMi";
    case TrialBalanceKind::Anali: return "Anali";
    case TrialBalanceKind::ZOiSN: return "ZOiSN";
  }
  return "";
}

bool HasBoDate(TrialBalanceKind kind) {
  return kind == TrialBalanceKind::ZOiSa || kind == TrialBalanceKind::SynMi ||
         kind == TrialBalanceKind::ZOiSN;
}

int MonthOf(DayNo d) {
  std::string t = DayToDdMmYy(d);
  return t.size() == 6 ? (t[2] - '0') * 10 + (t[3] - '0') : 0;
}

class Run {
 public:
  Run(const TrialBalanceParams& p, OptionServices& w)
      : p_(p), w_(w), chart_(p.chart ? *p.chart : Chart()),
        ledger_(p.kind == TrialBalanceKind::SynMi || p.kind == TrialBalanceKind::Anali) {}

  bool Read(RecordSource& source, std::string_view file_name);

 private:
  void Head();
  void StartAccount();
  void Posting(const JournalView& v);
  // The whole record of `v`, decoded only where a posting line or the audit
  // file needs more than its side, amount and date.
  const JournalEntry& Whole(const JournalView& v) {
    v.Decode(&entry_);
    return entry_;
  }
  void CloseAccount(std::string_view next);
  void End();

  // A level line; false when it was left out (all eight amounts zero).
  bool LevelLine(const AmountSet& a, std::string_view label, std::string_view desc_symbol,
                 bool always = false);
  void TwoLines(const AmountSet& a, std::string_view label);
  void ZeroLine(std::string_view prefix, Level& into);
  void AnaliOpening();
  // A run that must not report: no report and no JPK fragments are left.
  void Discard();
  void MonthlyLines();
  std::string Description(std::string_view symbol) {
    return symbol.empty() ? std::string() : chart_.Description(symbol, p_.mode);
  }
  void JpkRow(std::string_view symbol, const AmountSet& a) {
    if (jpk_) jpk_->AccountRow(symbol, a);
  }

  const TrialBalanceParams& p_;
  OptionServices& w_;
  ChartTable& chart_;
  const bool ledger_;  // SynMi or Anali: per-account lines
  JpkKrSink* jpk_ = nullptr;
  std::vector<std::string> masks_;

  std::string current_;
  JournalEntry entry_;
  Level acc_, pod7_, pod3_, pod1_, total_, zero_;
  // Anali: the row before which the account's "Bilans otwarcia" goes (its
  // first posting line of the period); 0 while it has none. The line needs
  // the whole opening balance, and an opening-balance posting may stand after
  // postings of the period, so it is put in at the account's close.
  std::int32_t opening_row_ = 0;

  // SynMi: per-day debit and credit from the BO date; offset 0 holds all
  // that was booked on or before it.
  std::vector<Amount> day_wn_, day_ma_;
  std::size_t days_used_ = 0;
  std::vector<std::pair<DayNo, DayNo>> months_;  // runs of one month: first, last day
};

void Run::Head() {
  const bool wide = p_.mode == 'H' || p_.mode == 'N' || ledger_;
  RapStart(Code(p_.kind), Title(p_.kind) + std::string(w_.PeriodText()), wide ? 2 : 1);
  const std::string wn = "winien";
  const std::string ma = "ma";
  switch (p_.kind) {
    case TrialBalanceKind::SynMi:
      RapKol('l', 25, "Symbol", "konta");
      RapKol('l', 1, "", "");
      RapKol1('c', 6, "miesiąc"_w);
      RapKol('b', 14, "Obroty", wn);
      RapKol('d', 14, "", ma);
      RapKol('b', 14, "Saldo", wn);
      RapKol('d', 14, "", ma);
      RapKol1('l', 50, "Nazwa konta");
      break;
    case TrialBalanceKind::Anali:
      RapKol('l', 1, "", "");
      RapKol('c', 9, "Data", "księgowania"_w);
      RapKol('l', 15, "Numer", "dowodu");
      RapKol('b', 14, "Obroty", wn);
      RapKol('d', 14, "", ma);
      RapKol1('l', 15, "Transakcja");
      RapKol1('c', 9, "Termin");
      RapKol1('l', 20, "Opis");
      RapKol1('l', 7, "Zbiór"_w);
      break;
    default: {
      int depth = p_.pod7 ? p_.pod7 : p_.pod3 ? p_.pod3 : p_.pod1;
      RapKol('l', std::max(depth, 5) + 1, "Symbol", "konta");
      RapKolFit();  // level labels ("201-zerowe- (3)") are never cut
      if (p_.mode == 'H') {
        RapKol('l', 12, "Hasło"_w, "(skrót)"_w);
      } else if (p_.mode != 'B' && p_.mode != 'O' && p_.mode != 'P') {
        RapKol('l', 32, "Pełna nazwa"_w, "konta księgowego"_w);
      }
      if (p_.kind != TrialBalanceKind::SyBBO) {
        RapKol('b', 14, "Bilans otwarcia", wn);
        RapKol('d', 14, "", ma);
      }
      for (const std::string& h : {"Obroty w okresie"_w, "Obroty narastająco"_w, "Saldo narastająco"_w}) {
        RapKol('b', 14, h, wn);
        RapKol('d', 14, "", ma);
      }
    }
  }
  std::string mask_text;
  if (!p_.masks.empty()) {
    mask_text = "  [konta: " + p_.masks[0];
    if (p_.masks.size() > 1) mask_text += "," + p_.masks[1];
    if (p_.masks.size() > 3) {
      mask_text += ",...";
    } else if (p_.masks.size() == 3) {
      mask_text += "," + p_.masks[2];
    }
    mask_text += "]";
    mask_text.resize(std::min<std::size_t>(mask_text.size(), 70));
  }
  std::string bo_text = HasBoDate(p_.kind) ? "  data BO: " + DayToText10(p_.bo_date) : "";
  RapNag("ze zbioru " + p_.annual_name + mask_text + bo_text + "  w okresie " +
         DayToText10(p_.from) + " do " + DayToText10(p_.to));
}

void Run::TwoLines(const AmountSet& a, std::string_view label) {
  const std::string ok_wn = Amount15(a[kOkWn]), ok_ma = Amount15(a[kOkMa]);
  const std::string na_wn = Amount15(a[kNaWn]), na_ma = Amount15(a[kNaMa]);
  const std::string in_period = "w okresie", cumulative = "narastająco"_w;
  if (p_.kind == TrialBalanceKind::SynMi) {
    RapWiersz(label, "", "", ok_wn, ok_ma, "", "", in_period);
    RapWiersz("", "", "", na_wn, na_ma, "", "", cumulative);
  } else {
    RapWiersz("", "", "", ok_wn, ok_ma, in_period, "", label);
    RapWiersz("", "", "", na_wn, na_ma, cumulative);
  }
}

bool Run::LevelLine(const AmountSet& a, std::string_view label, std::string_view desc_symbol,
                    bool always) {
  if (!always && AllZero(a)) return false;
  if (ledger_) {
    TwoLines(a, label);
    return true;
  }
  std::array<std::string, 10> cells;
  std::size_t n = 0;
  const bool o_or_p = p_.mode == 'O' || p_.mode == 'P';
  if (o_or_p) {
    RapTekst('1', std::string(label) + Description(desc_symbol));
    cells[n++] = "";
  } else {
    cells[n++] = std::string(label);
    if (p_.mode != 'B') cells[n++] = Description(desc_symbol);
  }
  const int first = p_.kind == TrialBalanceKind::SyBBO ? kOkWn : kBoWn;
  for (int i = first; i <= kSaMa; ++i) cells[n++] = Amount15(a[static_cast<std::size_t>(i)]);
  std::array<std::string_view, 10> views;
  for (std::size_t i = 0; i < n; ++i) views[i] = cells[i];
  RapWierszN(std::span<const std::string_view>(views.data(), n));
  return true;
}

void Run::ZeroLine(std::string_view prefix, Level& into) {
  if (zero_.count == 0) return;
  LevelLine(zero_.a, std::string(prefix) + "-zerowe- (" + std::to_string(zero_.count) + ")", "");
  Roll(zero_, into);
}

void Run::AnaliOpening() {
  if (IsZero(acc_.a[kBoWn]) && IsZero(acc_.a[kBoMa])) return;
  const std::string wn = Amount15(acc_.a[kBoWn]), ma = Amount15(acc_.a[kBoMa]);
  const std::string_view cells[] = {"", "", "Bilans otwarcia", wn, ma};
  // Without a posting in the period the line stands at the close.
  CurrentReport().InsertRow(opening_row_, cells);
}

void Run::Discard() {
  if (jpk_) jpk_->Discard();
  jpk_ = nullptr;
  RapStart("", "", 1);
}

void Run::StartAccount() {
  opening_row_ = 0;
  if (p_.kind == TrialBalanceKind::Anali) RapTekst('1', current_ + Description(current_));
}

void Run::Posting(const JournalView& v) {
  const bool debit = v.IsDebit();
  const Amount amount = v.amount();
  const Amount wn = debit ? amount : 0;
  const Amount ma = debit ? 0 : amount;
  const DayNo booking = v.bookingDate();
  const bool in_period = booking >= p_.from;
  if (in_period && jpk_) jpk_->Posting(Whole(v));
  if (p_.kind == TrialBalanceKind::SynMi) {
    std::size_t off = booking > p_.bo_date ? booking - p_.bo_date : 0;
    off = std::min(off, day_wn_.size() - 1);
    day_wn_[off] += wn;
    day_ma_[off] += ma;
    days_used_ = std::max(days_used_, off + 1);
  }
  // Only the posting's own side is added to: adding the zero of the other
  // side would leave the sum as it is.
  (debit ? acc_.a[kNaWn] : acc_.a[kNaMa]) += amount;
  if (in_period) {
    if (p_.kind == TrialBalanceKind::Anali && opening_row_ == 0) {
      opening_row_ = CurrentReport().RowCount() + 1;
    }
    (debit ? acc_.a[kOkWn] : acc_.a[kOkMa]) += amount;
    if (p_.kind == TrialBalanceKind::Anali) {
      const JournalEntry& e = Whole(v);
      RapWiersz("", DayToText8(e.bookingDate),
                std::string(e.documentNo.view()) + "/" + std::to_string(e.entryNo),
                Amount15(wn), Amount15(ma), DosToWin(e.transactionNo.view()),
                DayToText8(e.dueDate), DosToWin(e.description.view()), e.sourceFile.view());
    }
  } else if (booking <= p_.bo_date) {
    (debit ? acc_.a[kBoWn] : acc_.a[kBoMa]) += amount;
  }
}

void Run::MonthlyLines() {
  auto balance_cells = [](Amount b, std::string* wn, std::string* ma) {
    *wn = !IsZero(b) && b > 0 ? Amount15(b) : "";
    *ma = !IsZero(b) && b < 0 ? Amount15(-b) : "";
  };
  auto sum = [this](std::size_t first, std::size_t last, Amount* wn, Amount* ma) {
    *wn = 0;
    *ma = 0;
    for (std::size_t i = first; i <= last && i < day_wn_.size(); ++i) {
      *wn += day_wn_[i];
      *ma += day_ma_[i];
    }
  };
  std::string bwn, bma;
  Amount b = day_wn_[0] - day_ma_[0];
  balance_cells(b, &bwn, &bma);
  RapWiersz(current_, "", "BO", Amount15(day_wn_[0]), Amount15(day_ma_[0]), bwn, bma,
            Description(current_));
  Amount wn = 0, ma = 0;
  if (p_.from > p_.bo_date + 1) {
    sum(1, static_cast<std::size_t>(p_.from - p_.bo_date - 1), &wn, &ma);
    b += wn - ma;
    balance_cells(b, &bwn, &bma);
    RapWiersz("", "", "poprz.", Amount15(wn), Amount15(ma), bwn, bma);
  }
  for (const auto& [first, last] : months_) {
    // Offset 0 is the opening line's; a period starting on the BO date does
    // not count that day twice.
    std::size_t from = std::max<std::size_t>(1, first - p_.bo_date);
    sum(from, static_cast<std::size_t>(last - p_.bo_date), &wn, &ma);
    b += wn - ma;
    balance_cells(b, &bwn, &bma);
    RapWiersz("", "", TwoDigits(static_cast<std::uint8_t>(MonthOf(last))), Amount15(wn),
              Amount15(ma), bwn, bma);
  }
  std::fill(day_wn_.begin(), day_wn_.begin() + static_cast<std::ptrdiff_t>(days_used_), 0);
  std::fill(day_ma_.begin(), day_ma_.begin() + static_cast<std::ptrdiff_t>(days_used_), 0);
  days_used_ = 0;
}

void Run::CloseAccount(std::string_view next) {
  BalanceRule(acc_.a[kNaWn], acc_.a[kNaMa], &acc_.a[kSaWn], &acc_.a[kSaMa]);
  const bool zero_account = p_.kind == TrialBalanceKind::ZOiSN && IsZero(acc_.a[kSaWn]) &&
                            IsZero(acc_.a[kSaMa]);
  if (p_.kind == TrialBalanceKind::SynMi) MonthlyLines();
  if (p_.kind == TrialBalanceKind::Anali) AnaliOpening();
  if (ledger_) {
    TwoLines(acc_.a, current_);
    RapLinia('.');
  }
  acc_.count = 1;
  Roll(acc_, zero_account ? zero_ : pod7_);
  const std::string_view closed = current_;

  if (p_.pod7 != 0) {
    if (Prefix(closed, p_.pod7) == Prefix(next, p_.pod7)) return;
    const std::string_view prefix = Prefix(closed, p_.pod7);
    LevelLine(pod7_.a, prefix, prefix);
    JpkRow(prefix, pod7_.a);
  }
  Roll(pod7_, pod3_);
  if (ledger_) RapLinia('-');

  if (p_.pod3 != 0) {
    if (Prefix(closed, p_.pod3) == Prefix(next, p_.pod3)) return;
    const std::string_view prefix = Prefix(closed, p_.pod3);
    if (p_.kind == TrialBalanceKind::ZOiSN) ZeroLine(prefix, pod3_);
    if (LevelLine(pod3_.a, std::string(prefix) + "  [synt]", prefix)) RapLinia('.');
    if (p_.pod7 == 0) JpkRow(prefix, pod3_.a);
  }
  Roll(pod3_, pod1_);

  if (p_.pod1 != 0) {
    if (Prefix(closed, p_.pod1) == Prefix(next, p_.pod1)) return;
    const std::string_view prefix = Prefix(closed, p_.pod1);
    ZeroLine(prefix, pod1_);
    if (!AllZero(pod1_.a)) {
      if (p_.kind != TrialBalanceKind::Anali && p_.pod3 == 0) RapLinia('-');
      LevelLine(pod1_.a, std::string(prefix) + "  [zespół]"_w, prefix);
      RapLinia('-');
    }
    if (p_.pod7 == 0 && p_.pod3 == 0) JpkRow(prefix, pod1_.a);
  }
  Roll(pod1_, total_);
}

void Run::End() {
  ZeroLine("", total_);
  LevelLine(total_.a, "RAZEM", "", true);
  AmountSet result{};
  for (std::size_t i = 0; i < result.size(); i += 2) {
    BalanceRule(total_.a[i], total_.a[i + 1], &result[i], &result[i + 1]);
  }
  LevelLine(result, "WYNIK", "", true);
  if (jpk_) jpk_->End();
}

bool Run::Read(RecordSource& source, std::string_view file_name) {
  masks_ = ExpandMasks(p_.masks);
  if (p_.kind == TrialBalanceKind::SynMi) {
    // A whole period always fits: one slot per day from the BO date.
    std::size_t days = p_.to > p_.bo_date ? static_cast<std::size_t>(p_.to - p_.bo_date) + 1 : 1;
    days = std::max(days, kMinDays);
    day_wn_.assign(days, 0);
    day_ma_.assign(days, 0);
    for (std::uint32_t d = p_.from; d <= p_.to && d != 0; ++d) {
      const DayNo day = static_cast<DayNo>(d);
      if (months_.empty() || MonthOf(day) != MonthOf(months_.back().second) ||
          day != months_.back().second + 1) {
        months_.push_back({day, day});
      } else {
        months_.back().second = day;
      }
    }
  }
  if (p_.jpk && p_.jpk->Begin()) jpk_ = p_.jpk;
  Head();

  const std::uint64_t total = RecordCount(source, kJournalRecordSize);
  BlockReader reader(source, file_name);
  AccountOrderGuard order;
  std::string last_seen;
  bool seen_any = false;
  bool selected = false;
  bool have_account = false;
  for (;;) {
    const JournalView e = reader.NextView();
    if (reader.StartedBlock()) {
      if (w_.AbortRequested()) {
        // The report stays as far as it got; its JPK rows would be incomplete.
        if (jpk_) jpk_->Discard();
        return false;
      }
      w_.Progress(have_account ? std::string_view(current_) : std::string_view(Code(p_.kind)),
                  static_cast<std::int64_t>(reader.Position()), static_cast<std::int64_t>(total));
    }
    if (reader.AtEnd() || e.IsSentinel()) break;
    if (e.IsControl()) continue;
    const std::string_view account = e.account();
    // Sums per account need the file in account order: one that is not
    // would split accounts and give wrong totals, so the run stops.
    if (!order.Feed(account, reader.RecordNumber())) {
      Discard();
      const std::string text =
          order.Message(p_.annual_name.empty() ? file_name : std::string_view(p_.annual_name));
      ShowStatus(text, kWarning);
      w_.FieldError(kFieldRocz, text);
      return false;
    }
    if (e.bookingDate() > p_.to) continue;
    if (!seen_any || account != last_seen) {
      last_seen = account;
      seen_any = true;
      selected = masks_.empty() ||
                 std::any_of(masks_.begin(), masks_.end(),
                             [&](const std::string& m) { return SymbolMatchesMask(m, account); });
      if (!selected) continue;
      if (!have_account || account != current_) {
        if (have_account) CloseAccount(account);
        current_ = account;
        have_account = true;
        StartAccount();
      }
    } else if (!selected) {
      continue;
    }
    // Here the account is the one of the last record taken, so it is
    // already the current account.
    Posting(e);
  }
  if (have_account) CloseAccount(kSentinelSymbol);
  End();
  return true;
}

}  // namespace

std::uint8_t TrialBalanceIndex(TrialBalanceKind kind) {
  switch (kind) {
    case TrialBalanceKind::ZOiSa: return 55;
    case TrialBalanceKind::SyBBO: return 56;
    case TrialBalanceKind::SynMi: return 58;
    case TrialBalanceKind::Anali: return 59;
    case TrialBalanceKind::ZOiSN: return 65;
  }
  return 0;
}

bool TrialBalanceKindOf(std::uint8_t option_index, TrialBalanceKind* kind) {
  for (TrialBalanceKind k : {TrialBalanceKind::ZOiSa, TrialBalanceKind::SyBBO,
                             TrialBalanceKind::SynMi, TrialBalanceKind::Anali,
                             TrialBalanceKind::ZOiSN}) {
    if (TrialBalanceIndex(k) == option_index) {
      *kind = k;
      return true;
    }
  }
  return false;
}

void BalanceRule(Amount debit, Amount credit, Amount* balance_debit, Amount* balance_credit) {
  const Amount d = Round4(debit);
  const Amount c = Round4(credit);
  const bool opposite = (d > 0 && c < 0) || (d < 0 && c > 0);
  if (opposite) {
    *balance_debit = debit;
    *balance_credit = credit;
  } else if (Round4(d < 0 ? -d : d) > Round4(c < 0 ? -c : c)) {
    *balance_debit = debit - credit;
    *balance_credit = 0;
  } else {
    *balance_debit = 0;
    *balance_credit = credit - debit;
  }
}

std::vector<std::string> ExpandMasks(const std::vector<std::string>& masks) {
  std::vector<std::string> out;
  for (const std::string& m : masks) {
    if (m.empty()) continue;
    out.push_back(MaskExpand(m, kMaskWidth));
  }
  return out;
}

bool SymbolMatchesMask(std::string_view mask, std::string_view symbol) {
  if (mask.size() < symbol.size()) return false;
  for (std::size_t i = 0; i < mask.size(); ++i) {
    if (mask[i] == '?') continue;
    if (i >= symbol.size() || mask[i] != symbol[i]) return false;
  }
  return true;
}

bool CheckTrialBalance(const TrialBalanceParams& p, OptionServices& window) {
  auto fail = [&window](int field, const std::string& text) {
    ShowStatus(text, kWarning);
    window.FieldError(field, text);
    return false;
  };
  if (p.annual_path.empty() || !FileExists(p.annual_path)) {
    return fail(kFieldRocz, "Nie ma " + p.annual_path);
  }
  if (HasBoDate(p.kind) && p.from < p.bo_date) return fail(kFieldDaBO, "Popraw datę BO"_w);
  if (p.to < p.from) return fail(kFieldDaOd, "Popraw datę początkową"_w);
  if (p.pod3 != 0 && p.pod3 < p.pod1) return fail(kFieldPod3, "Popraw głębokość"_w);
  if (p.pod7 != 0 && p.pod7 < p.pod3) return fail(kFieldPod7, "Popraw głębokość"_w);
  return true;
}

bool TrialBalanceFrom(const TrialBalanceParams& p, RecordSource& source,
                      std::string_view file_name, OptionServices& window) {
  Run run(p, window);
  return run.Read(source, file_name);
}

bool TrialBalance(const TrialBalanceParams& p, OptionServices& window) {
  if (!CheckTrialBalance(p, window)) return false;
  File file;
  if (!OpenShared(file, p.annual_path, Share::kDenyWrite, "bZe:2459")) {
    // The busy message stays; no preview of an unfinished report.
    window.SetReturnField(kFieldRocz);
    return false;
  }
  FileSource source(file);
  return TrialBalanceFrom(p, source, p.annual_path, window);
}

}  // namespace zel
