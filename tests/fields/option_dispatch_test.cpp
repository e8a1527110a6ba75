#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "declaration_fixture.hpp"
#include "fields/b_zestaw.hpp"
#include "fields/option_dispatch.hpp"

namespace zel {
namespace {

using test::Declaring;
using test::StatusRecorder;

// Records what a procedure and the dispatch ask of the window, in order.
struct RecordingWindow : OptionServices {
  std::vector<std::string> calls;
  bool FieldError(int field_number, std::string_view) override {
    calls.push_back("error " + std::to_string(field_number));
    return true;
  }
  void Progress(std::string_view, std::int64_t, std::int64_t) override {}
  bool AbortRequested() override { return false; }
  void SetReturnSlot(int slot) override { calls.push_back("slot " + std::to_string(slot)); }
  void SetReturnField(int field) override { calls.push_back("field " + std::to_string(field)); }
  void OpenRunBracket() override { calls.push_back("open"); }
  void CloseRunBracket() override { calls.push_back("close"); }
  std::string_view PeriodText() const override { return ""; }
};

using Calls = std::vector<std::string>;

// Declares the index's fields, then runs it with a recording procedure
// registered (or none) and answers what the window saw.
struct DispatchRun {
  StatusRecorder status;
  RecordingWindow window;
  Declaring d;
  bZestaw module;

  Calls Go(int index, bool registered) {
    Declaring::Open(index);
    DeclareOptionFields(d.fields, module);
    if (registered)
      RegisterProcedure(static_cast<std::uint8_t>(index),
                        [](OptionServices& w) { static_cast<RecordingWindow&>(w).calls.push_back("run"); });
    module.WykonaOpc("bZestaw", window, d.fields);
    UnregisterProcedure(static_cast<std::uint8_t>(index));
    return window.calls;
  }
};

TEST(OptionDispatch, RegisteredProceduresRunInsideTheBracketWhereTheTableSays) {
  struct Row {
    int index;
    Calls calls;
  } rows[] = {
      {55, {"open", "run", "close"}},
      {14, {"open", "run", "close"}},
      {117, {"open", "run", "close"}},
      {12, {"run"}},
      {23, {"open", "run", "close"}},
      {16, {"run"}},
      {134, {"run"}},
      {11, {"slot 2", "run"}},
      {85, {"field 232", "run"}},
      {83, {"field 214", "run"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.index);
    DispatchRun r;
    EXPECT_EQ(r.Go(row.index, true), row.calls);
    EXPECT_TRUE(r.status.shown.empty());
  }
}

TEST(OptionDispatch, MissingProcedureSaysSoAndKeepsTheWindow) {
  // 13, 18 and 19 are chart options whose windows exist without a procedure
  // built here: they must never look as if they had run.
  for (int index : {55, 13, 18, 19}) {
    SCOPED_TRACE(index);
    DispatchRun r;
    Calls calls = r.Go(index, false);
    EXPECT_EQ(calls, (Calls{"error 0", "slot " + std::to_string(r.d.fields.SlotCount())}));
    ASSERT_EQ(r.status.shown.size(), 1u);
    EXPECT_EQ(r.status.shown[0], std::make_pair(std::string("Funkcja w przygotowaniu"), 0));
  }
}

TEST(OptionDispatch, IndicesWithoutProcedure) {
  struct Row {
    int index;
    bool keeps_window;  // the return slot becomes the slot count
  } rows[] = {{10, false}, {131, false}, {57, true}, {60, true}, {44, true}, {141, true}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.index);
    DispatchRun r;
    Calls calls = r.Go(row.index, false);
    Calls expected;
    if (row.keeps_window) expected.push_back("slot " + std::to_string(r.d.fields.SlotCount()));
    EXPECT_EQ(calls, expected);
    EXPECT_TRUE(r.status.shown.empty());
  }
}

TEST(OptionDispatch, ActionSetsDeclaredAgainBeforeTheRun) {
  struct Row {
    int index;
    int flags;
    const char* key;
  } rows[] = {  // 81 sets only the key, so the flags stay
      {11, 3, "P-K"}, {40, 1, "PoKs"}, {79, 1, "SzWP"}, {81, 16, "prel"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.index);
    DispatchRun r;
    Declaring::Open(row.index);
    DeclareOptionFields(r.d.fields, r.module);
    r.d.fields.SetActionSet(16, "Xxxx");
    RunOptionProcedure(r.window, r.d.fields);
    EXPECT_EQ(r.d.fields.Actions().key.view(), row.key);
    EXPECT_EQ(r.d.fields.Actions().flags, row.flags);
  }
  // 79 and 81 only adjust the action set: nothing is missing there.
  DispatchRun r;
  EXPECT_TRUE(r.Go(79, false).empty());
  EXPECT_TRUE(r.status.shown.empty());
}

TEST(OptionDispatch, PreparedFormTakesTheFormKey) {
  DispatchRun r;
  ChosenForm.key = "GSZK";
  r.Go(83, true);
  EXPECT_EQ(r.d.fields.Actions().key.view(), "GSZK");
  ChosenForm = PreparedForm{};
}

TEST(OptionDispatch, EveryProcedureIndexIsReached) {
  const std::vector<std::uint8_t> indices = ProcedureIndices();
  std::string listed;
  for (std::uint8_t i : indices) listed += std::to_string(i) + (FindDispatchRow(i)->bracketed ? "b " : " ");
  EXPECT_EQ(listed,
            "11 12 13 14b 15b 16 17b 18 19 20 21 22 23b 24 25b 26b 27b 28b 29b 30b 31b 32b 33b 34b 35b 36b 37 38b 39b 40 41b 42b 43b 54 55b 56b 58b 59b 65b 67b 68b 69b 70b 71b 72b 73b "
            "74b 75b 76b 77b 78b "
            "83 85 105 117b 134 143 ");
  for (std::uint8_t index : indices) {
    SCOPED_TRACE(static_cast<int>(index));
    DispatchRun r;
    Calls calls = r.Go(index, true);
    EXPECT_NE(std::find(calls.begin(), calls.end(), "run"), calls.end());
  }
}

TEST(OptionDispatch, ShellOptionsCannotBeRegistered) {
  for (int index : {0, 1, 2, 8, 133, 135, 136, 138, 139, 140, 142}) {
    SCOPED_TRACE(index);
    EXPECT_FALSE(RegisterProcedure(static_cast<std::uint8_t>(index), [](OptionServices&) {}));
    EXPECT_FALSE(IsProcedureRegistered(static_cast<std::uint8_t>(index)));
  }
  EXPECT_FALSE(RegisterProcedure(55, nullptr));
  EXPECT_TRUE(RegisterProcedure(141, [](OptionServices&) {}));
  EXPECT_TRUE(IsProcedureRegistered(141));
  UnregisterProcedure(141);
  EXPECT_FALSE(IsProcedureRegistered(141));
}

TEST(OptionDispatch, WrongOwnerIsReportedAndTheOptionRunsAllTheSame) {
  DispatchRun r;
  Declaring::Open(12);
  DeclareOptionFields(r.d.fields, r.module);
  int runs = 0;
  RegisterProcedure(12, [&runs](OptionServices&) { ++runs; });
  r.module.WykonaOpc("aZestaw", r.window, r.d.fields);
  UnregisterProcedure(12);
  EXPECT_EQ(runs, 1);
  ASSERT_EQ(r.status.shown.size(), 1u);
  EXPECT_EQ(r.status.shown[0].first, "WykonaOpc ma być w bZestaw a nie w aZestaw");
}

}  // namespace
}  // namespace zel
