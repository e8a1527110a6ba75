#include "statements/statement_procedures.hpp"

#include <gtest/gtest.h>

#include <string>

#include "common/dates.hpp"
#include "fields/option_dispatch.hpp"
#include "fields/option_values.hpp"
#include "shell/settings_keys.hpp"
#include "shell/state.hpp"

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

}  // namespace
}  // namespace zel
