#include <gtest/gtest.h>

#include "common/cp1250.hpp"
#include "common/pltext.hpp"
#include "platform/file.hpp"
#include "shell/file_access.hpp"
#include "store/chart.hpp"
#include "store/journal_file.hpp"
#include "store/status_capture.hpp"
#include "store/store_folder.hpp"
#include "support/journal_builder.hpp"

namespace zel {
namespace {

using test::ChartBuilder;
using test::StatusCapture;
using test::StoreFolder;

// A register that refuses or accepts as told and remembers the requests.
class ScriptedRegister : public ChartRegister {
 public:
  bool Request(char command, std::string_view) override {
    commands += command;
    return accept;
  }
  bool Active() const override { return true; }
  bool accept = true;
  std::string commands;
};

class ChartFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetRetryPause([](int) {});
    RequestChartReload();
  }
  void TearDown() override {
    SetChartRegister(nullptr);
    SetRetryPause(nullptr);
    Chart().Clear();
  }
  StoreFolder folder_;
  StatusCapture status_;
};

TEST_F(ChartFileTest, EnsureChartLoadedLoadsOnceAndReports) {
  ChartBuilder b;
  b.Add("100", "Kasa");
  b.Add("201", "Odbiorcy");
  ASSERT_TRUE(b.WriteToNative(folder_.Db("Plan.PFX")));
  EXPECT_TRUE(EnsureChartLoaded());
  EXPECT_EQ(status_.Count("Wczytano plan kont DB\\Plan.PFX", kSuccess), 1);
  EXPECT_FALSE(ChartReloadRequested());
  EXPECT_EQ(Chart().Count(), 3u);
  EXPECT_EQ(SymbolAt(FindAccount("201")).view(), "201");
  // No second load without a request.
  Chart().Remove("201");
  EXPECT_TRUE(EnsureChartLoaded());
  EXPECT_EQ(Chart().Count(), 2u);
}

TEST_F(ChartFileTest, RefusedOrLockedChartIsNotLoaded) {
  ChartBuilder b;
  b.Add("100", "Kasa");
  ASSERT_TRUE(b.WriteToNative(folder_.Db("Plan.PFX")));
  ScriptedRegister reg;
  reg.accept = false;
  SetChartRegister(&reg);
  EXPECT_FALSE(EnsureChartLoaded());
  EXPECT_EQ(status_.Count("Nie wczytano planu DB\\Plan.PFX", kWarning), 1);
  EXPECT_TRUE(ChartReloadRequested());
  EXPECT_EQ(reg.commands, "!");
  SetChartRegister(nullptr);

  File writer;  // another workstation writing the chart
  ASSERT_TRUE(writer.Open("DB\\Plan.PFX", Access::kReadWrite, Share::kExclusive));
  EXPECT_FALSE(EnsureChartLoaded());
  EXPECT_TRUE(ChartReloadRequested());
  writer.Close();
  EXPECT_TRUE(EnsureChartLoaded());
  EXPECT_EQ(Chart().Count(), 2u);
}

TEST_F(ChartFileTest, MissingChartIsCreatedFromTheOldChart) {
  std::string old(2 * kOldChartRecordSize, '\0');
  OldChartRecord o;
  o.symbol = "201-01";
  o.shortName = "ALFA";
  o.name = WinToDos("Przedsiębiorstwo Handlowo-Usługowe Alfa, ul. Długa 15, 00-950 Warszawa"_w);
  EncodeOldChartRecord(o, reinterpret_cast<std::uint8_t*>(old.data()));
  o.symbol = "100";
  o.shortName = "";
  o.name = "Kasa";
  EncodeOldChartRecord(o, reinterpret_cast<std::uint8_t*>(old.data()) + kOldChartRecordSize);
  ASSERT_TRUE(test::WriteBytesNative(folder_.Db("Plan.TFK"), old));
  ASSERT_TRUE(LoadChart());
  EXPECT_EQ(folder_.Size("Plan.PFX"), 2 * kAccountRecordSize);
  EXPECT_EQ(status_.Count("Czytam stary Plan.TFK", kInfo), 1);
  EXPECT_EQ(status_.Count("O.K.", kSuccess), 1);
  std::size_t slot = 0;
  ASSERT_TRUE(Chart().Contains("201-01", &slot));
  const AccountRecord& r = Chart().At(slot);
  EXPECT_EQ(r.name.view(), "Przedsiębiorstwo Handlowo-Usługowe Alfa,"_w);
  EXPECT_EQ(r.address.view(), "ul. Długa 15, 00-950 Warszawa"_w);
  EXPECT_EQ(r.shortName.view(), "ALFA");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.written.day, 0);
}

TEST_F(ChartFileTest, MissingChartWithoutOldChartStaysEmpty) {
  EXPECT_TRUE(LoadChart());
  EXPECT_EQ(status_.Count("Nie ma DB\\Plan.TFK", kWarning), 1);
  EXPECT_EQ(Chart().Count(), 1u);
  EXPECT_EQ(folder_.Size("Plan.PFX"), 0u);
}

TEST_F(ChartFileTest, ContractorListsBecomeCharts) {
  ASSERT_TRUE(ChartBuilder().WriteToNative(folder_.Db("Plan.PFX")));
  std::string trz(kContractorRecordSize, '\0');
  ContractorRecord c;
  c.symbol = "D-0001";
  c.nip = "526-000-00-00";
  c.shortName = "GAMMA";
  c.name = "Gamma";
  EncodeContractorRecord(c, reinterpret_cast<std::uint8_t*>(trz.data()));
  ASSERT_TRUE(test::WriteBytesNative(folder_.Db("DOSTAWCY.trz"), trz));
  ASSERT_TRUE(LoadChart());
  EXPECT_EQ(folder_.Size("DOSTAWCY.PFX"), kAccountRecordSize);
  EXPECT_FALSE(folder_.Exists("NABYWCY.PFX"));  // no list, no chart
  // A chart of that name is used as it is.
  c.symbol = "D-0002";
  EncodeContractorRecord(c, reinterpret_cast<std::uint8_t*>(trz.data()));
  ASSERT_TRUE(test::WriteBytesNative(folder_.Db("DOSTAWCY.trz"), trz + trz));
  ASSERT_TRUE(LoadChart());
  EXPECT_EQ(folder_.Size("DOSTAWCY.PFX"), kAccountRecordSize);

  ChartName = "DOSTAWCY";
  ChartPath = "DB\\DOSTAWCY.PFX";
  ASSERT_TRUE(LoadChart());
  std::size_t slot = 0;
  ASSERT_TRUE(Chart().Contains("D-0001", &slot));
  EXPECT_EQ(Chart().At(slot).nip.view(), "526-000-00-00");
}

TEST_F(ChartFileTest, AppendWritesTheFileFirstAndThenTheTable) {
  ChartBuilder b;
  b.Add("100", "Kasa");
  ASSERT_TRUE(b.WriteToNative(folder_.Db("Plan.PFX")));
  ASSERT_TRUE(LoadChart());
  ScriptedRegister reg;
  SetChartRegister(&reg);
  SetStampUser("ADMIN");
  AccountRecord r;
  r.symbol = "201";
  r.name = "Odbiorcy – kraj"_w;
  r.changed.day = 77;  // never written
  ASSERT_TRUE(AppendAccount(r, true));
  EXPECT_EQ(reg.commands, "#-");
  EXPECT_TRUE(Chart().Contains("201"));
  ASSERT_EQ(folder_.Size("Plan.PFX"), 2 * kAccountRecordSize);

  ASSERT_TRUE(AppendAccount(r, false));  // a deletion
  EXPECT_FALSE(Chart().Contains("201"));

  // What a fresh load of the file sees agrees with the table.
  ASSERT_TRUE(LoadChart());
  EXPECT_FALSE(Chart().Contains("201"));
  File f;
  ASSERT_TRUE(f.Open("DB\\Plan.PFX", Access::kRead, Share::kDenyNone));
  std::uint8_t bytes[kAccountRecordSize];
  std::size_t got = 0;
  ASSERT_TRUE(f.ReadAt(kAccountRecordSize, bytes, sizeof bytes, &got));
  const AccountRecord written = DecodeAccountRecord(bytes);
  EXPECT_EQ(written.status, 1);
  EXPECT_EQ(written.name.view(), WinToDos("Odbiorcy – kraj"_w));
  EXPECT_EQ(std::string(written.written.user.data(), 3), "ADM");
  EXPECT_EQ(written.changed.day, 0);
  for (std::size_t at = 230; at < 235; ++at) EXPECT_EQ(bytes[at], 0);

  // A locked chart: nothing is written and the table stays as it was.
  File other;
  ASSERT_TRUE(other.Open("DB\\Plan.PFX", Access::kRead, Share::kDenyWrite));
  r.symbol = "202";
  EXPECT_FALSE(AppendAccount(r, true));
  EXPECT_FALSE(Chart().Contains("202"));
  EXPECT_EQ(status_.Count("Nie zapisano konta 202", kWarning), 1);
  other.Close();
  EXPECT_EQ(folder_.Size("Plan.PFX"), 3 * kAccountRecordSize);
}

TEST_F(ChartFileTest, RefreshPullsInOtherWorkstationsAppends) {
  ChartBuilder b;
  b.Add("100", "Kasa");
  b.Add("201", "Odbiorcy");
  ASSERT_TRUE(b.WriteToNative(folder_.Db("Plan.PFX")));
  ASSERT_TRUE(LoadChart());
  ScriptedRegister reg;
  SetChartRegister(&reg);
  b.Delete("201");
  b.Add("202", "Dostawcy");
  ASSERT_TRUE(b.WriteToNative(folder_.Db("Plan.PFX")));
  ASSERT_TRUE(RefreshChart());
  EXPECT_FALSE(Chart().Contains("201"));
  EXPECT_TRUE(Chart().Contains("202"));
  EXPECT_EQ(Chart().Consumed(), 4u);
  // Without an active register there is nothing to refresh.
  SetChartRegister(nullptr);
  b.Add("203", "Inni");
  ASSERT_TRUE(b.WriteToNative(folder_.Db("Plan.PFX")));
  ASSERT_TRUE(RefreshChart());
  EXPECT_FALSE(Chart().Contains("203"));
}

TEST_F(ChartFileTest, AppendKeepsRecordsAlignedAfterATornTail) {
  ChartBuilder b;
  b.Add("100", "Kasa");
  ASSERT_TRUE(test::WriteBytesNative(folder_.Db("Plan.PFX"), b.Bytes() + std::string(17, 'x')));
  ASSERT_TRUE(LoadChart());
  AccountRecord r;
  r.symbol = "130";
  r.name = "Bank";
  ASSERT_TRUE(AppendAccount(r, true));
  EXPECT_EQ(folder_.Size("Plan.PFX"), 2 * kAccountRecordSize);
  ASSERT_TRUE(LoadChart());
  EXPECT_TRUE(Chart().Contains("130"));
}

TEST(JournalPathRule, YearFolderNameAndExtension) {
  const FixedText<250> saved = DbDir;
  DbDir = "C:\\KSIEGI\\FIRMA-ALFA\\ROK-2024\\";
  EXPECT_EQ(JournalPath("N2024"), "C:\\KSIEGI\\FIRMA-ALFA\\ROK-2024\\N2024.DFX");
  DbDir = saved;
}

}  // namespace
}  // namespace zel
