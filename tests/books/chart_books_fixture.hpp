// A small chart in a scratch database folder for the chart options: the
// chart file written from a ChartBuilder and loaded, scripted answers to
// the options' questions, and a window that records what a run reports.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "books/chart_options.hpp"
#include "common/cp1250.hpp"
#include "fields/option_services.hpp"
#include "fields/option_values.hpp"
#include "platform/faults.hpp"
#include "shell/file_access.hpp"
#include "shell/questions.hpp"
#include "store/chart.hpp"
#include "store/status_capture.hpp"
#include "store/store_folder.hpp"
#include "support/journal_builder.hpp"

namespace zel::test {

// Answers the questions in order ('T', 'N', 'P'); an unscripted question
// gets "Powrót". Keeps the questions asked (UTF-8).
class ScriptAsker final : public Asker {
 public:
  ScriptAsker() { previous_ = SetQuestionAsker(this); }
  ~ScriptAsker() override { SetQuestionAsker(previous_); }
  int Ask(char, std::string_view, std::string_view second, DeskWindow*) override {
    asked.push_back(WinToUtf8(second));
    if (next_ >= answers.size()) return 2;
    const char a = answers[next_++];
    return a == 'T' ? 0 : a == 'N' ? 1 : 2;
  }
  void PressYes() override {}
  // New answers; the questions asked so far are forgotten.
  void Script(std::string letters) {
    answers = std::move(letters);
    next_ = 0;
    asked.clear();
  }
  std::string answers;
  std::vector<std::string> asked;  // the question lines, " ?" included

 private:
  Asker* previous_ = nullptr;
  std::size_t next_ = 0;
};

// What a run told its window (texts in UTF-8).
struct RecordingWindow : OptionServices {
  int error_field = 0;
  std::string error;
  int return_field = 0;
  std::string outcome;
  bool FieldError(int field, std::string_view text) override {
    error_field = field;
    error = WinToUtf8(text);
    return true;
  }
  void Progress(std::string_view, std::int64_t, std::int64_t) override {}
  bool AbortRequested() override { return false; }
  void SetReturnSlot(int) override {}
  void SetReturnField(int field) override { return_field = field; }
  void SetOutcome(std::string_view text) override { outcome = WinToUtf8(text); }
  void OpenRunBracket() override {}
  void CloseRunBracket() override {}
  std::string_view PeriodText() const override { return {}; }
};

class ChartBooksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetRetryPause([](int) {});
    Options = OptionValues{};
    RequestChartReload();
    Chart().Clear();
    // The program's one editor starts empty, as in a fresh program.
    AccountEditor().Load("");
  }
  void TearDown() override {
    ClearFaults();
    SetChartRegister(nullptr);
    SetRetryPause(nullptr);
    Chart().Clear();
  }
  // Writes the chart file and loads it.
  void WriteAndLoad(const ChartBuilder& b) {
    ASSERT_TRUE(b.WriteToNative(folder_.Db("Plan.PFX")));
    ASSERT_TRUE(LoadChart());
  }
  std::uintmax_t ChartRecords() const { return folder_.Size("Plan.PFX") / kAccountRecordSize; }
  // The account in memory (an empty record when absent).
  AccountRecord InMemory(std::string_view symbol) {
    std::size_t slot = 0;
    return Chart().Contains(symbol, &slot) ? Chart().At(slot) : AccountRecord{};
  }
  static void Text(int field, const std::string& utf8) { SetOptionText(field, Utf8ToWin(utf8)); }
  static std::string Text(int field) { return WinToUtf8(OptionText(field)); }

  StoreFolder folder_;
  StatusCapture status_;
  ScriptAsker asker_;
};

}  // namespace zel::test
