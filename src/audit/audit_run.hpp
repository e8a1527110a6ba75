// Private to the audit: the accumulators of one run and the checks made when
// an account closes. The readers (audit_read.cpp) feed postings account by
// account, in account order; this class owns every sum and writes the rows.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "audit/annual_audit.hpp"

namespace zel {

inline constexpr int kAuditMonthRuns = 24;
inline constexpr int kAuditSlots = kAuditMonthRuns + 1;  // the last: after the 24th run

using MonthAmounts = std::array<Amount, kAuditSlots>;

class AuditRun {
 public:
  AuditRun(const AuditParams& p, ChartTable& chart);

  // The report's title, columns and subtitle.
  void Head();
  // A posting of the current account; `account` changes only between
  // accounts, which the caller announces by CloseAccount.
  void Posting(DayNo booking, bool debit, Amount amount) {
    const int m = Slot(booking);
    if (debit) {
      wd_ += amount;
      month_wd_[static_cast<std::size_t>(m)] += amount;
    } else {
      wm_ += amount;
    }
    months_used_ |= 1u << m;
    if (booking < p_.bo_date) before_ = true;
    if (booking == p_.bo_date) on_bo_ = true;
    if (booking > p_.bz_date) after_ = true;
  }
  // Starts a new account (the previous one must have been closed).
  void OpenAccount(std::string_view account) { account_.assign(account); }
  // The checks of the current account; its sums are cleared.
  void CloseAccount();
  // The rows over whole groups and the explanations.
  void End();

  // Index of the month run of a booking date (0..24).
  int Slot(DayNo booking) const {
    if (booking <= p_.bo_date) return 0;
    const std::uint32_t off = booking - p_.bo_date;
    return off < slot_of_day_.size() ? slot_of_day_[off] : kAuditMonthRuns;
  }
  // The month number (MM) of a run, for the "K" rows.
  int MonthOfRun(int run) const {
    return run < run_count_ ? run_month_[static_cast<std::size_t>(run)] : 0;
  }
  const std::string& account() const { return account_; }

 private:
  struct CostCode {
    std::string code;
    MonthAmounts g4{};
    MonthAmounts g5{};
    Amount total4 = 0;
    Amount total5 = 0;
  };

  bool Reported(char code) const;
  // A finding row for the current account (when its code is not excluded).
  void Finding(char code, std::string_view text);
  // A row after the last account: its label cut to 20.
  void EndRow(char code, std::string_view label, Amount a, Amount b, std::string_view text);
  void Row(char code, std::string_view label, Amount a, Amount b, std::string_view text);
  CostCode& Cost(std::string_view code);
  void AddMonths(MonthAmounts& into);
  void CostCircleRows();
  void Explanations();

  const AuditParams& p_;
  ChartTable& chart_;
  std::string bo_text_, bz_text_;

  // Month runs: run of every day from the BO date; the month of each run.
  std::vector<std::uint8_t> slot_of_day_;
  std::array<int, kAuditMonthRuns> run_month_{};
  int run_count_ = 0;

  // The current account.
  std::string account_;
  Amount wd_ = 0, wm_ = 0;
  MonthAmounts month_wd_{};
  std::uint32_t months_used_ = 0;  // bit per slot with a posting
  bool before_ = false, on_bo_ = false, after_ = false;

  std::string last_synthetic_;
  bool looked_up_ = false;

  std::array<Amount, 10> gross_{};
  std::array<Amount, 10> depreciation_{};
  std::array<Amount, 10> debit_balances_{};
  std::array<Amount, 10> credit_balances_{};
  Amount balance49_ = 0;
  std::vector<CostCode> costs_;
  std::unordered_map<std::string, std::size_t> cost_index_;
  std::string occurred_;  // codes in the order of their first finding
};

}  // namespace zel
