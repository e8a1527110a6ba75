#include "statements/statement_procedures.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "common/dates.hpp"
#include "fields/field_set.hpp"
#include "fields/option_dispatch.hpp"
#include "menu/current_option.hpp"
#include "shell/status.hpp"
#include "fields/option_values.hpp"
#include "shell/settings_keys.hpp"
#include "shell/state.hpp"
#include "support/temp_folder.hpp"

namespace zel {
namespace {

TEST(StatementProcedures, AllFiveAreRegisteredAndReadTheStoredParameters) {
  RegisterStatementProcedures();
  for (std::uint8_t index : {55, 56, 58, 59, 65}) {
    SCOPED_TRACE(index);
    EXPECT_TRUE(IsProcedureRegistered(index));
    TrialBalanceKind kind;
    ASSERT_TRUE(TrialBalanceKindOf(index, &kind));
    EXPECT_EQ(TrialBalanceIndex(kind), index);
  }
  TrialBalanceKind kind;
  EXPECT_FALSE(TrialBalanceKindOf(57, &kind));

  const std::string old_db = DbDir.str();
  DbDir = "/dane/firma/";
  DbSettings.annual_journal = "N2024";
  DbSettings.depths = {1, 3, 6};
  DbSettings.opis_kont = 'H';
  BoDate = DayFromDdMmYy("010124");
  FromDate = DayFromDdMmYy("020124");
  ToDate = DayFromDdMmYy("311224");
  Options.masks.Clear();
  Options.masks.Add("20*");
  Options.masks.Add("");
  Options.masks.Add("40?");
  const TrialBalanceParams p = TrialBalanceParamsFromOptions(TrialBalanceKind::ZOiSN);
  EXPECT_EQ(p.kind, TrialBalanceKind::ZOiSN);
  EXPECT_EQ(p.annual_name, "N2024");
  EXPECT_EQ(p.annual_path, "/dane/firma/N2024.DFX");
  EXPECT_EQ(p.masks, (std::vector<std::string>{"20*", "40?"}));
  EXPECT_EQ(p.bo_date, BoDate);
  EXPECT_EQ(p.from, FromDate);
  EXPECT_EQ(p.to, ToDate);
  EXPECT_EQ(p.pod1, 1);
  EXPECT_EQ(p.pod3, 3);
  EXPECT_EQ(p.pod7, 6);
  EXPECT_EQ(p.mode, 'H');
  EXPECT_EQ(p.jpk, nullptr);
  Options.masks.Clear();
  DbDir = old_db;
}

class BracketWindow : public OptionServices {
 public:
  bool FieldError(int f, std::string_view) override {
    field = f;
    return true;
  }
  void Progress(std::string_view, std::int64_t, std::int64_t) override {}
  bool AbortRequested() override { return false; }
  void SetReturnSlot(int) override {}
  void SetReturnField(int) override {}
  void OpenRunBracket() override { ++opened; }
  void CloseRunBracket() override { ++closed; }
  std::string_view PeriodText() const override { return " za 2024 rok"; }
  int field = 0, opened = 0, closed = 0;
};

// A ZOiSa run without the JPK removes the fragments of an earlier run, so
// the JPK button cannot assemble another period's rows.
TEST(StatementProcedures, RunWithoutJpkLeavesNoOldFragments) {
  StatusSink* old_sink = SetStatusSink(nullptr);
  const std::string dir = MakeTempFolder("zel_tb_fragments") + "/";
  std::filesystem::create_directories(dir);
  const std::string old_temp = TempDir.str();
  const std::string old_db = DbDir.str();
  TempDir = dir;
  DbDir = dir;
  StationExt = ".007";
  for (const char* code : {"ZOiS", "Dzie", "KoZa"}) std::ofstream(TempName(code)) << "stare";
  RegisterStatementProcedures();
  Options.with_jpk = false;
  DbSettings.annual_journal = "BRAK0";  // no such file: the run stops at its check
  OpenOption("EA", 55, "ZOiSa", "zestawienie");
  BracketWindow window;
  FieldSet fields;
  RunOptionProcedure(window, fields);
  EXPECT_EQ(window.opened, 1);
  EXPECT_EQ(window.closed, 1);
  EXPECT_EQ(window.field, kFieldRocz);
  for (const char* code : {"ZOiS", "Dzie", "KoZa"}) {
    SCOPED_TRACE(code);
    EXPECT_FALSE(std::filesystem::exists(dir + "Ux-" + code + ".007"));
  }
  TempDir = old_temp;
  DbDir = old_db;
  std::filesystem::remove_all(dir);
  SetStatusSink(old_sink);
}

}  // namespace
}  // namespace zel
