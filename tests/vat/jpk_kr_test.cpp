#include "vat/jpk_kr.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/pltext.hpp"
#include "menu/current_option.hpp"
#include "platform/folders.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "store/chart.hpp"
#include "statements/trial_balance.hpp"
#include "store/journal_entry.hpp"
#include "support/journal_builder.hpp"
#include "support/temp_folder.hpp"

namespace zel {
namespace {

std::string ReadNative(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(JpkFormats, AmountsDatesAndElements) {
  struct AmountCase {
    Amount x;
    const char* text;
  };
  for (const AmountCase& c : {AmountCase{1234.50L, "1234.5"}, AmountCase{0, "0"},
                              AmountCase{-12.5L, "-12.5"}, AmountCase{0.00001L, "0"},
                              AmountCase{100, "100"}, AmountCase{0.1L + 0.2L, "0.3"}}) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(JpkAmount(c.x), c.text);
  }
  EXPECT_EQ(JpkDate(DayFromDdMmYy("150324")), "2024-03-15");
  EXPECT_EQ(JpkDate(0), "");
  EXPECT_EQ(JpkElement("NazwaNabywcy", "A&B"), "    <NazwaNabywcy>A&amp;B</NazwaNabywcy>");
  EXPECT_EQ(JpkElement("Opis", ""), "    <Opis>BRAK</Opis>");
  EXPECT_EQ(JpkElement("Opis", "-"), "    <Opis>BRAK</Opis>");
  EXPECT_EQ(JpkElement("Opis", "   "), "    <Opis>BRAK</Opis>");
  EXPECT_EQ(JpkElement("Opis", "Łódź"_w), "    <Opis>Łódź</Opis>");
}

TEST(JpkTaxpayer, FileLinesKeysAndPolishTable) {
  const TaxpayerData t = ParseTaxpayer(
      "NIP=   \r\n"
      " K Ur = 1435 \r\n"
      "PNa=Sp\xA2\x88ka\r\n"                 // Polish letters as the DOS file writes them
      "Pol=\x86\x8D\x91\x92\xA4\xA2\x9E\xA7\xA6\x8F\x95\x90\x9C\xA5\xA3\x98\xA1\xA0\r\n"
      "Mie=\x9C\xA2""d\xA6\r\n"
      "nip=9999999999\r\n"
      "bez znaku rownosci\r\n");
  EXPECT_EQ(t.NIP, "BRAK");          // only spaces after "="
  EXPECT_EQ(t.KUr, "1435");           // spaces removed from the key
  EXPECT_EQ(t.PNa, "Sp\xA2\x88ka");  // before the table: unchanged
  EXPECT_EQ(t.Mie, "Łódź"_w);        // after it: Mazovia letters replaced
  EXPECT_EQ(t.Pow, "BRAK");           // missing key of the file
  EXPECT_EQ(t.KKr, "PL");
  EXPECT_EQ(t.Reg, DefaultTaxpayer().Reg);

  const TaxpayerData d = DefaultTaxpayer();
  EXPECT_EQ(d.KUr, "1471");
  ASSERT_EQ(d.NIP.size(), 10u);
  const int weights[9] = {6, 5, 7, 2, 3, 4, 5, 6, 7};
  int sum = 0;
  for (int i = 0; i < 9; ++i) sum += (d.NIP[static_cast<std::size_t>(i)] - '0') * weights[i];
  EXPECT_EQ(sum % 11, d.NIP[9] - '0');
}

// A database folder and a temporary folder of their own, and the globals
// the assembly reads.
class JpkFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_sink_ = SetStatusSink(nullptr);
    root_ = MakeTempFolder("zel_jpk_kr");
    std::filesystem::create_directories(root_ + "/db");
    std::filesystem::create_directories(root_ + "/tmp");
    old_db_ = DbDir.str();
    old_temp_ = TempDir.str();
    DbDir = root_ + "/db/";
    TempDir = root_ + "/tmp/";
    StationExt = ".005";
    FromDate = DayFromDdMmYy("010324");
    ToDate = DayFromDdMmYy("310324");
    ForWhom = "Kowalski i syn";
    OpenOption("EA", 55, "ZOiSa", "zestawienie obrotów i sald"_w);
    test::ChartBuilder charts;
    charts.Add("2", "Rozrachunki");
    charts.Add("201", "Odbiorcy");
    charts.Add("201-01", "Firma & Syn");
    charts.Add("7", "Przychody");
    charts.Add("700", "Sprzedaż"_w);
    chart_bytes_ = charts.Bytes();
    MemorySource src(chart_bytes_);
    chart_.LoadFrom(src);
  }
  void TearDown() override {
    DbDir = old_db_;
    TempDir = old_temp_;
    SetStatusSink(old_sink_);
    std::filesystem::remove_all(root_);
  }

  void WriteFragments() {
    JpkKrWriter w(&chart_);
    ASSERT_TRUE(w.Begin());
    w.AccountRow("201", {100, 0, 1234.5L, 0, 1334.5L, 0, 1334.5L, 0});
    w.AccountRow("201-01", {100, 0, 1234.5L, 0, 1334.5L, 0, 1334.5L, 0});
    w.AccountRow("700", {0, 0, 0, 1234.5L, 0, 1234.5L, 0, 1234.5L});
    JournalEntry e = test::Posting("201-01", DayFromDdMmYy("100324"), 1234.5L, true, "FV 12", 1);
    e.counterAccount = "700";
    e.description = WinToDos("Sprzedaż towaru"_w);
    w.Posting(e);
    JournalEntry f = e;
    f.account = "700";
    f.counterAccount = "201-01";
    f.side = 0;
    f.entryNo = 2;
    w.Posting(f);
    w.End();
    EXPECT_EQ(w.JournalRows(), 2);
  }

  std::string root_, old_db_, old_temp_, chart_bytes_;
  StatusSink* old_sink_ = nullptr;
  ChartTable chart_;
};

TEST_F(JpkFileTest, FragmentsHoldRowsAndControlSums) {
  WriteFragments();
  const std::string zois = ReadNative(root_ + "/tmp/Ux-ZOiS.005");
  EXPECT_NE(zois.find("    <OpisKonta>Odbiorcy</OpisKonta>"), std::string::npos);
  EXPECT_NE(zois.find("    <TypKonta>wynikowe</TypKonta>"), std::string::npos);
  EXPECT_NE(zois.find("    <OpisKategorii>Sprzedaż</OpisKategorii>"), std::string::npos);
  EXPECT_NE(zois.find("    <ObrotyWinien>1234.5</ObrotyWinien>"), std::string::npos);
  EXPECT_NE(zois.find("    <BilansOtwarciaMa>0</BilansOtwarciaMa>"), std::string::npos);
  const std::string dzie = ReadNative(root_ + "/tmp/Ux-Dzie.005");
  EXPECT_NE(dzie.find("    <NrZapisuDziennika>FV 12;1</NrZapisuDziennika>"), std::string::npos);
  EXPECT_NE(dzie.find("    <RodzajDowodu>FV</RodzajDowodu>"), std::string::npos);
  EXPECT_NE(dzie.find("    <DataDowodu>2024-03-10</DataDowodu>"), std::string::npos);
  EXPECT_NE(dzie.find("    <OpisDziennika>Sprzedaż towaru</OpisDziennika>"), std::string::npos);
  EXPECT_NE(dzie.find("    <LiczbaWierszyDziennika>2</LiczbaWierszyDziennika>"),
            std::string::npos);
  EXPECT_NE(dzie.find("    <SumaKwotOperacji>2469</SumaKwotOperacji>"), std::string::npos);
  const std::string koza = ReadNative(root_ + "/tmp/Ux-KoZa.005");
  EXPECT_NE(koza.find("    <KodKontaWinien>201-01</KodKontaWinien>\r\n"
                      "    <KwotaWinien>1234.5</KwotaWinien>"),
            std::string::npos);
  EXPECT_NE(koza.find("    <KodKontaMa>700</KodKontaMa>\r\n    <KwotaMa>1234.5</KwotaMa>"),
            std::string::npos);
  EXPECT_NE(koza.find("    <SumaWinien>1234.5</SumaWinien>\r\n    <SumaMa>1234.5</SumaMa>"),
            std::string::npos);
}

TEST_F(JpkFileTest, AssembledFileIsValidAgainstTheSchema) {
  WriteFragments();
  const std::string name = XmlE();
  ASSERT_EQ(name, DbDir.str() + "JPK\\JPK_KR__2024-03_Kowalsk.XML");
  // Without a taxpayer file the sample entity stands in, and the file is not
  // reported ready.
  EXPECT_EQ(LastMessage(), name + "  UWAGA:  dane przykładowe: Podmiot1.TXT"_w);
  const std::string native = root_ + "/db/JPK/JPK_KR__2024-03_Kowalsk.XML";
  const std::string xml = ReadNative(native);
  EXPECT_EQ(xml.rfind("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n", 0), 0u);
  EXPECT_NE(xml.find("<KodUrzedu>1471</KodUrzedu>"), std::string::npos);
  EXPECT_NE(xml.find("<DataOd>2024-03-01</DataOd>"), std::string::npos);
  EXPECT_NE(xml.find("<OpisKonta>Firma &amp; Syn</OpisKonta>"), std::string::npos) << xml;

  if (std::system("command -v xmllint >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "xmllint is not installed: the schema check of the JPK file is skipped";
  }
  // The schema kit stands beside the source tree.
  const char* source_dir = std::getenv("ZEL_SOURCE_DIR");
  const std::string kit = std::string(source_dir ? source_dir : "/work/main") + "/../shared/jpk-xsd";
  const std::string cmd = "'" + kit + "/validate-jpk' '" + native + "' > '" + root_ +
                          "/validate.txt' 2>&1";
  const int rc = std::system(cmd.c_str());
  EXPECT_EQ(rc, 0) << ReadNative(root_ + "/validate.txt");
}

// The whole road: a trial balance writes the fragments, XmlE assembles them,
// the schema accepts the file.
TEST_F(JpkFileTest, TrialBalanceRunGivesAValidFile) {
  test::JournalBuilder j;
  const DayNo bo = DayFromDdMmYy("010124");
  const DayNo march = DayFromDdMmYy("150324");
  j.Post("201-01", bo, 500, true, "BO 1", 1).counterAccount = "800";
  j.Post("201-01", march, 1230, true, "FV 3", 1).counterAccount = "700";
  j.Post("201-01", DayFromDdMmYy("200324"), 600, false, "WB 2", 1).counterAccount = "130";
  j.Control("201-01", "WB 2", 600);
  j.Post("201-01", DayFromDdMmYy("100424"), 99, true, "FV 9", 1);  // after the period
  j.Post("700", march, 1230, false, "FV 3", 2).counterAccount = "201-01";
  const std::string bytes = j.Bytes();
  MemorySource source(bytes);
  JpkKrWriter writer(&chart_);
  TrialBalanceParams p;
  p.kind = TrialBalanceKind::ZOiSa;
  p.annual_name = "N2024";
  p.bo_date = bo;
  p.from = FromDate;
  p.to = ToDate;
  p.pod1 = 1;
  p.pod3 = 3;
  p.pod7 = 6;
  p.chart = &chart_;
  p.jpk = &writer;
  SilentOptionServices window(" za 03-2024");
  ASSERT_TRUE(TrialBalanceFrom(p, source, "N2024", window));
  EXPECT_EQ(writer.JournalRows(), 3);
  const std::string koza = ReadNative(root_ + "/tmp/Ux-KoZa.005");
  EXPECT_NE(koza.find("<SumaWinien>1230</SumaWinien>"), std::string::npos);
  EXPECT_NE(koza.find("<SumaMa>1830</SumaMa>"), std::string::npos);
  const std::string zois = ReadNative(root_ + "/tmp/Ux-ZOiS.005");
  EXPECT_NE(zois.find("<KodKonta>201-01</KodKonta>"), std::string::npos);
  EXPECT_NE(zois.find("<SaldoWinien>1130</SaldoWinien>"), std::string::npos);

  const std::string name = XmlE();
  ASSERT_FALSE(name.empty());
  if (std::system("command -v xmllint >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "xmllint is not installed: the schema check of the JPK file is skipped";
  }
  const char* source_dir = std::getenv("ZEL_SOURCE_DIR");
  const std::string kit = std::string(source_dir ? source_dir : "/work/main") + "/../shared/jpk-xsd";
  const std::string cmd = "'" + kit + "/validate-jpk' '" + root_ +
                          "/db/JPK/JPK_KR__2024-03_Kowalsk.XML' > '" + root_ +
                          "/validate.txt' 2>&1";
  EXPECT_EQ(std::system(cmd.c_str()), 0) << ReadNative(root_ + "/validate.txt");
}

// A run refused for a file out of account order leaves no fragments, not
// even those of an earlier run: the JPK button has nothing to assemble.
TEST_F(JpkFileTest, RunOverAFileOutOfOrderLeavesNoFragments) {
  WriteFragments();
  ASSERT_TRUE(std::filesystem::exists(root_ + "/tmp/Ux-ZOiS.005"));
  test::JournalBuilder j;
  j.Post("700", DayFromDdMmYy("150324"), 10, false);
  j.Post("201-01", DayFromDdMmYy("150324"), 10, true);
  const std::string bytes = j.Bytes();
  MemorySource source(bytes);
  JpkKrWriter writer(&chart_);
  TrialBalanceParams p;
  p.annual_name = "N2024";
  p.from = FromDate;
  p.to = ToDate;
  p.chart = &chart_;
  p.jpk = &writer;
  SilentOptionServices window(" za 03-2024");
  EXPECT_FALSE(TrialBalanceFrom(p, source, "N2024", window));
  for (const char* code : {"ZOiS", "Dzie", "KoZa"}) {
    SCOPED_TRACE(code);
    EXPECT_FALSE(std::filesystem::exists(root_ + "/tmp/Ux-" + code + ".005"));
  }
  EXPECT_EQ(XmlE(), "");
}

TEST_F(JpkFileTest, TaxpayerFileOfTheDatabaseIsUsed) {
  WriteFragments();
  std::ofstream(root_ + "/db/Podmiot1.TXT") << "KUr=1435\r\nPNa=Nasza Firma\r\n";
  ASSERT_FALSE(XmlE().empty());
  const std::string xml = ReadNative(root_ + "/db/JPK/JPK_KR__2024-03_Kowalsk.XML");
  EXPECT_NE(xml.find("<KodUrzedu>1435</KodUrzedu>"), std::string::npos);
  EXPECT_NE(xml.find("<P1:PelnaNazwa>Nasza Firma</P1:PelnaNazwa>"), std::string::npos);
  EXPECT_NE(xml.find("<P1:Powiat>BRAK</P1:Powiat>"), std::string::npos);
}

TEST_F(JpkFileTest, MissingFragmentsAndForbiddenFile) {
  // No fragments (a run without the JPK): refused, and no file is written,
  // since a JPK without its rows would not pass the schema.
  EXPECT_EQ(XmlE(), "");
  EXPECT_EQ(LastMessage(), "Brak danych JPK: wykonaj zestawienie z odpowiedzią T na pytanie o JPK"_w);
  EXPECT_FALSE(std::filesystem::exists(root_ + "/db/JPK/JPK_KR__2024-03_Kowalsk.XML"));

  // A database folder that is a file: nothing can be created below it.
  WriteFragments();
  std::ofstream(root_ + "/plik") << "x";
  DbDir = root_ + "/plik/";
  EXPECT_EQ(XmlE(), "");
  EXPECT_EQ(LastMessage(), "Zakazany " + JpkFileName("EA"));
}

}  // namespace
}  // namespace zel
