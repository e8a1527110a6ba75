// The database folder zel-demo writes, read back through the store, VAT and
// settings code.
#include "app/demo_files.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/demo.hpp"
#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "platform/faults.hpp"
#include "platform/file.hpp"
#include "platform/paths.hpp"
#include "shell/settings.hpp"
#include "shell/state.hpp"
#include "store/chart.hpp"
#include "store/journal_entry.hpp"
#include "store/record_source.hpp"
#include "vat/vat_entry.hpp"

namespace zel {
namespace {

namespace fs = std::filesystem;

std::string ReadNative(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::int64_t Grosze(Amount a) {
  return std::llround(a * 100);
}

class DemoFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zel-demo-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    std::string err;
    ASSERT_TRUE(SetZelFolder((root_ / "home").string(), &err)) << err;
    SetSettingsWait([](int) {});
  }
  void TearDown() override {
    DbDir = "";
    StationExt = "";
    std::error_code ec;
    fs::remove_all(root_, ec);
  }

  // Writes a year into root/name and returns its folder as a Zel path.
  std::string Write(const DemoYear& year, const std::string& name) {
    const std::string dir = (root_ / name).string() + "\\";
    std::string err;
    EXPECT_TRUE(WriteDemoYear(year, dir, &err)) << err;
    return dir;
  }

  fs::path root_;
};

TEST_F(DemoFiles, JournalFilesReadBackAsTheyWereBuilt) {
  const DemoYear year = BuildDemoYear(DemoOptions{});
  Write(year, "db");
  const fs::path db = root_ / "db";

  const std::string working = ReadNative(db / "R2024.DFX");
  ASSERT_EQ(working.size(), year.working.size() * kJournalRecordSize);
  const auto* w = reinterpret_cast<const std::uint8_t*>(working.data());
  for (std::size_t i = 0; i < year.working.size(); ++i) {
    JournalEntry e;
    ASSERT_TRUE(DecodeJournalEntry(w + i * kJournalRecordSize, &e)) << i;
    ASSERT_EQ(EncodeJournalEntry(e), EncodeJournalEntry(year.working[i])) << i;
  }

  // The annual file: every posting once, in account order, file order kept
  // within an account, debits and credits differing only by the one grosz of
  // the deliberately unbalanced document.
  const std::string annual = ReadNative(db / "N2024.DFX");
  ASSERT_EQ(annual.size(), static_cast<std::size_t>(PostingCount(year)) * kJournalRecordSize);
  const auto* a = reinterpret_cast<const std::uint8_t*>(annual.data());
  const std::vector<std::uint32_t> order = AnnualOrder(year);
  std::int64_t debit = 0, credit = 0;
  JournalEntry previous;
  for (std::size_t i = 0; i < order.size(); ++i) {
    JournalEntry e;
    ASSERT_TRUE(DecodeJournalEntry(a + i * kJournalRecordSize, &e)) << i;
    ASSERT_EQ(EncodeJournalEntry(e), EncodeJournalEntry(year.working[order[i]])) << i;
    ASSERT_FALSE(e.IsControl());
    if (i > 0) {
      ASSERT_LE(CompareSymbols(previous.account.view(), e.account.view()), 0) << i;
      if (previous.account.view() == e.account.view()) {
        ASSERT_LT(order[i - 1], order[i]) << i;
      }
    }
    (e.IsDebit() ? debit : credit) += Grosze(e.amount);
    previous = e;
  }
  EXPECT_EQ(debit - credit, 1);
}

TEST_F(DemoFiles, ChartLoadsWithItsCostStructure) {
  const DemoYear year = BuildDemoYear(DemoOptions{});
  Write(year, "db");
  File f;
  ASSERT_TRUE(
      f.OpenNative((root_ / "db" / "PlanKont.PFX").string(), Access::kRead, Share::kDenyWrite));
  FileSource source(f);
  ChartTable chart;
  chart.LoadFrom(source);
  ASSERT_EQ(chart.Count() - 1, year.accounts.size());
  for (const DemoAccount& acc : year.accounts) {
    std::size_t slot = 0;
    ASSERT_TRUE(chart.Contains(acc.symbol, &slot)) << acc.symbol;
    EXPECT_EQ(chart.At(slot).name.view(), acc.name) << acc.symbol;
    EXPECT_EQ(chart.At(slot).nip.view(), acc.nip) << acc.symbol;
  }
  EXPECT_EQ(chart.Definition('K'), "599");
  // A cost-centre posting account is described through the structure.
  const std::string text = chart.Description("500-01-402", 'N');
  EXPECT_NE(text.find("usługi obce"_w), std::string::npos) << WinToUtf8(text);
}

TEST_F(DemoFiles, RegistersAndTaxpayerFilesReadBack) {
  const DemoYear year = BuildDemoYear(DemoOptions{});
  Write(year, "db");
  const fs::path vat = root_ / "db" / "VAT";
  for (const DemoRegister& reg : year.registers) {
    SCOPED_TRACE(reg.code);
    const std::string bytes = ReadNative(vat / VatRegisterFileName(reg.code, reg.kind));
    ASSERT_EQ(bytes.size(), reg.entries.size() * kVatEntrySize);
    for (std::size_t i = 0; i < reg.entries.size(); ++i) {
      VatEntry e =
          DecodeVatEntry(reinterpret_cast<const std::uint8_t*>(bytes.data()) + i * kVatEntrySize);
      ASSERT_TRUE(e.amounts_ok);
      VatEntryToWin(e);
      const VatEntry& want = reg.entries[i];
      EXPECT_EQ(e.key, want.key);
      EXPECT_EQ(e.name, want.name);
      EXPECT_EQ(e.address, want.address);
      EXPECT_EQ(e.description, want.description);
      EXPECT_EQ(e.vat_date, want.vat_date);
      for (int l = 0; l < kVatLines; ++l) {
        EXPECT_EQ(e.lines[l].letter, want.lines[l].letter);
        EXPECT_EQ(Grosze(e.lines[l].net), Grosze(want.lines[l].net));
        EXPECT_EQ(Grosze(e.lines[l].vat), Grosze(want.lines[l].vat));
      }
    }
  }
  EXPECT_EQ(VatRegisterCode(VatRegisterFileName("\"WN", 'Z')), "\"WN");
  EXPECT_TRUE(fs::exists(vat / "Rej\"WN.RZV"));

  const std::string podmiot = ReadNative(root_ / "db" / "Podmiot1.TXT");
  EXPECT_NE(podmiot.find("KUr=1471\r\n"), std::string::npos);
  EXPECT_NE(podmiot.find("NIP=1234563218\r\n"), std::string::npos);

  const std::string taxpayer = ReadNative(vat / "Pod.7BT");
  for (const std::string& line :
       {std::string("  Nip = 1234563218\r\n"), "  Naz = " + year.firm.name + "\r\n",
        std::string("  Pes = 123456785\r\n")}) {
    EXPECT_NE(taxpayer.find(line), std::string::npos) << WinToUtf8(line);
  }

  for (const char* name : {"OP-VAT-S.TXT", "OP-VAT-Z.TXT", "RSV-SUM", "RZV-SUM"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(ReadNative(root_ / "db" / "SETUP" / name).empty());
  }
  const std::string letters = ReadNative(root_ / "db" / "SETUP" / "OP-VAT-Z.TXT");
  char expected = 'A';
  for (std::size_t p = 0; p < letters.size(); p = letters.find('\n', p) + 1, ++expected) {
    EXPECT_EQ(letters[p], expected);
    EXPECT_EQ(letters[p + 1], ' ');
  }
  EXPECT_EQ(expected, 'Z' + 1);
}

TEST_F(DemoFiles, SettingsNameTheYearAndItsFiles) {
  const DemoYear year = BuildDemoYear(DemoOptions{});
  const std::string dir = Write(year, "db");
  DbDir = dir;
  StationExt = ".xxx";
  struct Case {
    const char* key;
    std::string value;
  };
  const Case cases[] = {
      {"DatyBOBZ", "01-01-2024;31-12-2024"},
      {"ZbRoczny", "N2024"},
      {"ZRoboczy", "R2024"},
      {"FirmUsSi", year.firm.name + ";1234563218;T;N"},
      {"Dla kogo", year.firm.short_name},
      {"GlebPods", "1;3;8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(ReadSetting(true, c.key), c.value);
  }

  std::string err;
  ASSERT_TRUE(WriteStationSettings(dir, &err)) << err;
  ReadSetting(false, "DirxBaza");
  EXPECT_EQ(SettingField(1), dir);
  EXPECT_EQ(SettingField(2), "PlanKont");
  EXPECT_TRUE(fs::exists(root_ / "home" / "SETUP" / "OP-VAT-S.TXT"));

  // Inside the Zel folder the database is named relative to it.
  const std::string inside = Utf8ToWin(ZelFolder()) + "/bazy/2024\\";
  ASSERT_TRUE(WriteStationSettings(inside, &err)) << err;
  ReadSetting(false, "DirxBaza");
  EXPECT_EQ(SettingField(1), "bazy/2024\\");
  // A folder too long for a setting's value is refused, not cut.
  EXPECT_FALSE(WriteStationSettings(Concat({"/", std::string(80, 'x'), "\\"}), &err));
  EXPECT_FALSE(err.empty());
}

TEST_F(DemoFiles, SameSeedGivesTheSameBytesAnotherSeedOthers) {
  DemoOptions options;
  options.seed = 11;
  Write(BuildDemoYear(options), "a");
  Write(BuildDemoYear(options), "b");
  options.seed = 12;
  Write(BuildDemoYear(options), "c");
  int compared = 0;
  for (const auto& entry : fs::recursive_directory_iterator(root_ / "a")) {
    if (!entry.is_regular_file()) continue;
    const fs::path rel = fs::relative(entry.path(), root_ / "a");
    if (rel == "Zel.BAL") continue;  // its first record names its own folder
    SCOPED_TRACE(rel.string());
    EXPECT_EQ(ReadNative(entry.path()), ReadNative(root_ / "b" / rel));
    ++compared;
  }
  EXPECT_GE(compared, 14);
  EXPECT_NE(ReadNative(root_ / "a" / "N2024.DFX"), ReadNative(root_ / "c" / "N2024.DFX"));
  EXPECT_NE(ReadNative(root_ / "a" / "VAT" / "RejSPR.RSV"),
            ReadNative(root_ / "c" / "VAT" / "RejSPR.RSV"));
}

TEST_F(DemoFiles, AFailedWriteLeavesTheOldFilesWholeAndNoPartsBehind) {
  DemoOptions options;
  options.seed = 3;
  Write(BuildDemoYear(options), "db");
  const std::string before = ReadNative(root_ / "db" / "N2024.DFX");
  options.seed = 4;
  const DemoYear other = BuildDemoYear(options);
  // Persistent faults of deleting and renaming are left out: with them the
  // clean-up itself cannot run.
  struct Fault {
    FaultOp op;
    bool persistent;
  };
  const Fault faults[] = {{FaultOp::kOpen, true},
                          {FaultOp::kOpen, false},
                          {FaultOp::kWrite, true},
                          {FaultOp::kWrite, false},
                          {FaultOp::kRename, false}};
  for (const Fault& fault : faults) {
    for (int nth : {1, 2, 3, 7}) {
      SCOPED_TRACE(static_cast<int>(fault.op) * 100 + (fault.persistent ? 10 : 0) + nth);
      InjectFault(fault.op, nth, fault.persistent);
      std::string err;
      const bool ok = WriteDemoYear(other, (root_ / "db").string() + "\\", &err);
      ClearFaults();
      EXPECT_FALSE(ok);
      EXPECT_FALSE(err.empty());
      for (const auto& entry : fs::recursive_directory_iterator(root_ / "db")) {
        EXPECT_EQ(entry.path().string().find(".demo$"), std::string::npos) << entry.path();
      }
      // The annual file is the old one or, when the failure came after it,
      // the new one; never a mixture.
      const std::string now = ReadNative(root_ / "db" / "N2024.DFX");
      EXPECT_TRUE(now == before ||
                  now.size() == static_cast<std::size_t>(PostingCount(other)) * 250);
    }
  }
}

TEST_F(DemoFiles, ScaledYearFilesAreAsBigAsTheirRecords) {
  DemoOptions options;
  options.postings = 20000;
  options.year = 2023;
  const DemoYear year = BuildDemoYear(options);
  Write(year, "big");
  const fs::path db = root_ / "big";
  EXPECT_EQ(fs::file_size(db / "N2023.DFX"), static_cast<std::uintmax_t>(PostingCount(year)) * 250);
  EXPECT_EQ(fs::file_size(db / "R2023.DFX"),
            static_cast<std::uintmax_t>(PostingCount(year) + year.control_records) * 250);
  EXPECT_EQ(fs::file_size(db / "PlanKont.PFX"), year.accounts.size() * 250);
  for (const DemoRegister& reg : year.registers) {
    EXPECT_EQ(fs::file_size(db / "VAT" / VatRegisterFileName(reg.code, reg.kind)),
              reg.entries.size() * 450);
  }
  // Balanced to the grosz, and still in account order.
  const std::string annual = ReadNative(db / "N2023.DFX");
  const auto* p = reinterpret_cast<const std::uint8_t*>(annual.data());
  std::int64_t debit = 0, credit = 0;
  JournalEntry previous, e;
  for (std::size_t i = 0; i * 250 < annual.size(); ++i) {
    ASSERT_TRUE(DecodeJournalEntry(p + i * 250, &e));
    if (i > 0) {
      ASSERT_LE(CompareSymbols(previous.account.view(), e.account.view()), 0);
    }
    (e.IsDebit() ? debit : credit) += Grosze(e.amount);
    previous = e;
  }
  EXPECT_EQ(debit, credit);
  EXPECT_EQ(year.bo_date, DayFromDdMmYy("010123"));
}

}  // namespace
}  // namespace zel
