// What a running option may ask of the parameter window it runs from: report
// a field error, show progress, check for the user's abort request, say where
// the cursor goes afterwards, and open and close the run bracket.
//
// The parameter window implements it; zel-batch and tests drive the same
// window without a view. Option procedures receive it by reference and never
// keep it past their run.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zel {

class OptionServices {
 public:
  virtual ~OptionServices() = default;

  // Remembers the field as return field and shows the text on the Go button
  // in red. Always answers true, so a check can `return FieldError(...)`.
  virtual bool FieldError(int field_number, std::string_view text) = 0;
  // Shown only for counters up to 5 and multiples of 100.
  virtual void Progress(std::string_view title, std::int64_t counter, std::int64_t total) = 0;
  // True once the user pressed Esc during the run: the option stops reading.
  virtual bool AbortRequested() = 0;
  virtual void SetReturnSlot(int slot) = 0;
  virtual void SetReturnField(int field_number) = 0;
  // The run's outcome when it is no failure and builds no report ("Konto
  // zmienione"): the window shows it instead of "Wykonane.". The default
  // keeps nothing.
  virtual void SetOutcome(std::string_view text) { (void)text; }
  // Brings row `row` (0-based) of the table block into view and answers the
  // slot of its column `column`; 0 when the window has no such cell.
  virtual int ShowTableCell(int row, int column) {
    (void)row;
    (void)column;
    return 0;
  }

  // The run bracket: opening builds the period text from FromDate and ToDate;
  // closing opens the report preview unless a return field was set or the
  // user aborted.
  virtual void OpenRunBracket() = 0;
  virtual void CloseRunBracket() = 0;
  // The period text of the open bracket ("za okres ..."), put after report titles.
  virtual std::string_view PeriodText() const = 0;
};

// A window that refuses nothing, shows nothing and is never aborted: for
// running an option from code with no window around it (benchmarks, fuzzing,
// tests of the procedures).
class SilentOptionServices : public OptionServices {
 public:
  explicit SilentOptionServices(std::string_view period_text = {}) : period_(period_text) {}
  bool FieldError(int, std::string_view) override { return true; }
  void Progress(std::string_view, std::int64_t, std::int64_t) override {}
  bool AbortRequested() override { return false; }
  void SetReturnSlot(int) override {}
  void SetReturnField(int) override {}
  void OpenRunBracket() override {}
  void CloseRunBracket() override {}
  std::string_view PeriodText() const override { return period_; }

 private:
  std::string period_;
};

}  // namespace zel
