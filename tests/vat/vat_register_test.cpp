#include "vat/vat_register.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/numbers.hpp"
#include "output/report_document.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "store/declaration.hpp"
#include "support/journal_builder.hpp"
#include "support/temp_folder.hpp"
#include "vat/jpk_schemas.hpp"
#include "vat/jpk_kr.hpp"
#include "vat/vat_entry.hpp"

namespace zel {
namespace {

std::string ReadNative(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return std::string(s);
}

VatEntry OneLine(const std::string& key, const char* ddmmyy, char letter, Amount net, Amount vat) {
  VatEntry e;
  e.key = key;
  e.number = 1;
  e.registration_date = DayFromDdMmYy(ddmmyy);
  e.invoice_date = e.registration_date;
  e.vat_date = e.registration_date;
  e.nip = "7740001454";
  e.name = "Dostawca";
  e.address = "Adres 1";
  e.document_no = "F/" + key;
  e.lines[0] = {letter, net, vat, {}};
  return e;
}

// A database folder with registers written by the test, a temporary folder
// for the fragment, and a silent window.
class VatRegisterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_sink_ = SetStatusSink(nullptr);
    root_ = MakeTempFolder("zel_vat_register");
    std::filesystem::create_directories(root_ + "/db/VAT");
    std::filesystem::create_directories(root_ + "/tmp");
    old_db_ = DbDir.str();
    old_temp_ = TempDir.str();
    DbDir = root_ + "/db/";
    TempDir = root_ + "/tmp/";
    StationExt = ".007";
  }
  void TearDown() override {
    DbDir = old_db_;
    TempDir = old_temp_;
    SetStatusSink(old_sink_);
    std::filesystem::remove_all(root_);
  }

  void WriteRegister(const std::string& code, char kind, const std::vector<VatEntry>& entries) {
    std::string bytes(entries.size() * kVatEntrySize, '\0');
    for (std::size_t i = 0; i < entries.size(); ++i) {
      VatEntry e = entries[i];
      VatEntryToDos(e);
      EncodeVatEntry(e, reinterpret_cast<std::uint8_t*>(bytes.data()) + i * kVatEntrySize);
    }
    std::ofstream(root_ + "/db/VAT/" + VatRegisterFileName(code, kind), std::ios::binary) << bytes;
  }

  VatRegisterParams March(char kind) const {
    VatRegisterParams p;
    p.kind = kind;
    p.from = DayFromDdMmYy("010324");
    p.to = DayFromDdMmYy("310324");
    p.db_dir = DbDir.str();
    return p;
  }

  // Runs the register with its JPK rows; the fragment's text.
  std::string Run(VatRegisterParams p, JpkVatWriter* jpk = nullptr) {
    JpkVatWriter local;
    p.jpk = jpk ? jpk : &local;
    SilentOptionServices window(" za 03-2024");
    EXPECT_TRUE(VatRegister(p, window)) << LastMessage();
    return ReadNative(root_ + "/tmp/Ux-SZWi.007");
  }

  // The first data row whose column 5 starts with `text`.
  std::int32_t RowWith(std::string_view text) const {
    const ReportDocument& doc = CurrentReport();
    for (std::int32_t r = 1; r <= doc.RowCount(); ++r) {
      if (doc.RowKind(r) == '0' && doc.Cell(r, 5).substr(0, text.size()) == text) return r;
    }
    return 0;
  }

  std::string root_, old_db_, old_temp_;
  StatusSink* old_sink_ = nullptr;
};

TEST(VatLetters, MasksFoldersAndOrder) {
  struct MaskCase {
    const char* mask;
    const char* code;
    bool match;
  };
  for (const MaskCase& c : {MaskCase{"", "SPR", true}, MaskCase{"*", "\"WN", true},
                            MaskCase{"sp*", "SPR", true}, MaskCase{"S?R", "SPR", true},
                            MaskCase{"SPR", "SPRX", false}, MaskCase{"SP", "SPR", false},
                            MaskCase{"SPR??", "SPR", true}, MaskCase{"K*", "SPR", false}}) {
    SCOPED_TRACE(std::string(c.mask) + " " + c.code);
    EXPECT_EQ(RegisterCodeMatches(c.mask, c.code), c.match);
  }
  const DayNo to = DayFromDdMmYy("310324");
  EXPECT_EQ(PreviousYearVatFolder("/dane/F2024\\", to), "/dane/F2023\\VAT\\");
  EXPECT_EQ(PreviousYearVatFolder("/dane/firma\\", to), "/dane/firma\\VAX\\");

  // Ties keep the order in which the entries were collected.
  auto entry = [](const char* code, const char* key, const char* date, std::uint16_t n,
                  std::uint32_t record) {
    VatIndexEntry e;
    e.code = code;
    e.key = key;
    e.date = DayFromDdMmYy(date);
    e.number = n;
    e.record = record;
    return e;
  };
  std::vector<VatIndexEntry> index = {entry("ZAK", "F2", "100324", 1, 0),
                                      entry("KOS", "F9", "050324", 1, 1),
                                      entry("ZAK", "F2", "010324", 1, 2),
                                      entry("KOS", "F1", "050324", 2, 3),
                                      entry("KOS", "F1", "050324", 2, 4)};
  std::vector<VatIndexEntry> by_register = index;
  OrderEntries(by_register, false);
  std::vector<std::uint32_t> got;
  for (const VatIndexEntry& e : by_register) got.push_back(e.record);
  EXPECT_EQ(got, (std::vector<std::uint32_t>{3, 4, 1, 2, 0}));
  OrderEntries(index, true);
  got.clear();
  for (const VatIndexEntry& e : index) got.push_back(e.record);
  EXPECT_EQ(got, (std::vector<std::uint32_t>{2, 3, 4, 1, 0}));
}

// Every purchase letter with net 100 and VAT 23: its adjusted amounts, the
// rule's row, and the JPK fields it feeds.
TEST_F(VatRegisterTest, PurchaseLetterRules) {
  struct Row {
    char letter;
    const char* rule;  // "" for none
    Amount net, vat;   // adjusted
    const char* jpk;   // the row's amount fields
  } rows[] = {
      {'A', "", 100, 23, "<K_44>100</K_44>|<K_45>23</K_45>"},
      {'D', "", 100, 23, "<K_44>100</K_44>|<K_45>23</K_45>"},
      {'E', "       46 %", 46, 10.58L, "<K_44>46</K_44>|<K_45>10.58</K_45>"},
      {'H', "       46 %", 46, 10.58L, "<K_44>46</K_44>|<K_45>10.58</K_45>"},
      {'I', "==", 0, 0, ""},
      {'L', "==", 0, 0, ""},
      {'M', "", 100, 23, "<K_42>100</K_42>|<K_43>23</K_43>"},
      {'O', " zak.aut 1/2", 50, 11.5L, "<K_42>50</K_42>|<K_43>11.5</K_43>"},
      {'P', "       46 %", 46, 10.58L, "<K_42>46</K_42>|<K_43>10.58</K_43>"},
      {'Q', " z.aut 46%/2", 23, 5.29L, "<K_42>23</K_42>|<K_43>5.29</K_43>"},
      {'R', "       46 %", 46, 10.58L, "<K_42>46</K_42>|<K_43>10.58</K_43>"},
      {'S', "==", 0, 0, ""},
      {'U', "  do aut 1/2", 50, 11.5L, "<K_44>50</K_44>|<K_45>11.5</K_45>"},
      {'V', "  +aut 46%/2", 23, 5.29L, "<K_44>23</K_44>|<K_45>5.29</K_45>"},
      {'W', "", 100, 23, "<K_44>100</K_44>|<K_45>23</K_45>"},
      {'Z', "", 100, 23, "<K_47>23</K_47>"},
      {'1', "", 100, 23, "<K_46>23</K_46>"},  // outside A..Z: the catch-all slot
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(1, row.letter));
    WriteRegister("KOS", 'Z', {OneLine("F1", "150324", row.letter, 100, 23)});
    const std::string jpk = Run(March('Z'));
    const std::string shown(1, row.letter == '1' ? '@' : row.letter);
    const std::int32_t line = RowWith(shown);
    ASSERT_GT(line, 0);
    EXPECT_EQ(CurrentReport().Cell(line, 6), "100,00");
    EXPECT_EQ(CurrentReport().Cell(line, 7), "23,00");
    const ReportDocument& doc = CurrentReport();
    if (*row.rule) {
      EXPECT_EQ(doc.Cell(line + 1, 5), Trim(row.rule));
      EXPECT_EQ(std::string(doc.Cell(line + 1, 6)), Trim(Amount15(row.net)));
      EXPECT_EQ(std::string(doc.Cell(line + 1, 7)), Trim(Amount15(row.vat)));
      EXPECT_EQ(doc.Cell(line + 2, 5), "do VAT-7");
    } else {
      EXPECT_NE(doc.Cell(line + 1, 5), "do VAT-7");
    }
    EXPECT_EQ(RowWith("na FAKT."), 0);  // one line: no invoice total
    std::string fields;
    for (std::size_t at = jpk.find("<K_"); at != std::string::npos; at = jpk.find("<K_", at + 1)) {
      if (!fields.empty()) fields += '|';
      fields += jpk.substr(at, jpk.find("\r\n", at) - at);
    }
    EXPECT_EQ(fields, row.jpk);
    EXPECT_EQ(jpk.find("K_48"), std::string::npos);
  }
}

TEST_F(VatRegisterTest, SalesFieldsPairsAndControlSum) {
  struct Row {
    char letter;
    const char* jpk;
    const char* control;  // PodatekNalezny
  } rows[] = {
      {'A', "<K_19>100</K_19>|<K_20>23</K_20>", "23"},
      {'D', "<K_13>100</K_13>|<K_14>100</K_14>", "0"},
      {'F', "<K_11>100</K_11>|<K_12>100</K_12>", "0"},
      {'G', "<K_11>100</K_11>", "0"},
      {'R', "<K_25>100</K_25>|<K_26>23</K_26>|<K_37>23</K_37>", "23"},
      {'S', "<K_23>100</K_23>|<K_24>23</K_24>|<K_38>23</K_38>", "23"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(1, row.letter));
    WriteRegister("SPR", 'S', {OneLine("F1", "150324", row.letter, 100, 23)});
    const std::string jpk = Run(March('S'));
    std::string fields;
    for (std::size_t at = jpk.find("<K_"); at != std::string::npos; at = jpk.find("<K_", at + 1)) {
      if (!fields.empty()) fields += '|';
      fields += jpk.substr(at, jpk.find("\r\n", at) - at);
    }
    EXPECT_EQ(fields, row.jpk);
    // The tax of R and S is written twice but counted once.
    EXPECT_NE(jpk.find("<PodatekNalezny>" + std::string(row.control) + "</PodatekNalezny>"),
              std::string::npos)
        << jpk;
  }

  // A pair is written whole when one of its fields is zero: VAT 0 of C.
  WriteRegister("SPR", 'S', {OneLine("F1", "150324", 'C', 100, 0)});
  const std::string pair = Run(March('S'));
  EXPECT_NE(pair.find("<K_15>100</K_15>\r\n    <K_16>0</K_16>"), std::string::npos) << pair;
}

TEST_F(VatRegisterTest, ControlSumEqualsTheRegistersDeductibleTax) {
  std::vector<VatEntry> entries;
  for (char c : std::string("AORZ1H")) {
    entries.push_back(OneLine(std::string("F") + c, "150324", c, 100, 23));
  }
  entries[5].lines[0].vat = 0;  // H: 0 % under the 46 % rule
  WriteRegister("KOS", 'Z', entries);
  JpkVatWriter jpk;
  const std::string text = Run(March('Z'), &jpk);
  EXPECT_EQ(jpk.Rows(), 6u);
  // A 23 + O 11.50 + R 10.58 + Z 23 + catch-all 23 + H 0.
  EXPECT_FALSE(AmountsDiffer(jpk.Tax(), 91.08L));
  EXPECT_NE(text.find("<PodatekNaliczony>91.08</PodatekNaliczony>"), std::string::npos);
  const ReportDocument& doc = CurrentReport();
  std::int32_t total = 0;
  for (std::int32_t r = 1; r <= doc.RowCount(); ++r) {
    if (doc.Cell(r, 4).substr(0, 7) == "RAZEM (") total = r;
  }
  ASSERT_GT(total, 0);
  EXPECT_EQ(doc.Cell(total + 1, 5), "do VAT-7");
  EXPECT_EQ(doc.Cell(total + 1, 7), "91,08");
  // H has no VAT: its ratio is "=", never a division by zero.
  const std::int32_t h = RowWith("H");
  for (std::int32_t r = 1; r <= doc.RowCount(); ++r) {
    if (doc.Cell(r, 5) == "H" && r > h) {
      EXPECT_EQ(doc.Cell(r + 1, 8), "=");
    }
  }
}

TEST_F(VatRegisterTest, DatesNeverEmptyInTheRowAndNoRowsNoControl) {
  VatEntry e = OneLine("F1", "200324", 'A', 100, 23);
  e.vat_date = 0;
  e.invoice_date = 0;
  WriteRegister("SPR", 'S', {e});
  std::string jpk = Run(March('S'));
  EXPECT_NE(jpk.find("<DataWystawienia>2024-03-20</DataWystawienia>"), std::string::npos);
  EXPECT_EQ(jpk.find("DataSprzedazy"), std::string::npos);
  EXPECT_EQ(jpk.find("BRAK"), std::string::npos);

  e.registration_date = DayFromDdMmYy("200224");
  WriteRegister("SPR", 'S', {e});
  jpk = Run(March('S'));
  EXPECT_EQ(jpk, "");
  EXPECT_EQ(LastMessage(), "Brak zapisów"_w);
}

TEST_F(VatRegisterTest, MoreThanFiveThousandEntriesAllCount) {
  std::vector<VatEntry> entries;
  for (int i = 0; i < 6000; ++i) entries.push_back(OneLine(std::to_string(i), "150324", 'A', 1, 0.23L));
  WriteRegister("SPR", 'S', entries);
  JpkVatWriter jpk;
  const std::string text = Run(March('S'), &jpk);
  EXPECT_EQ(jpk.Rows(), 6000u);
  EXPECT_NE(text.find("<LiczbaWierszySprzedazy>6000</LiczbaWierszySprzedazy>"), std::string::npos);
  EXPECT_NE(text.find("<PodatekNalezny>1380</PodatekNalezny>"), std::string::npos);
}

TEST_F(VatRegisterTest, DeclarationLinesOnlyTheTotalOnceAMonth) {
  WriteRegister("KOS", 'Z', {OneLine("F1", "150324", 'A', 100, 23)});
  WriteRegister("ZAK", 'Z', {OneLine("F2", "160324", 'A', 200, 46), OneLine("F3", "160324", 'O', 100, 23)});
  VatRegisterParams p = March('Z');
  p.declaration = 'Z';
  Run(p);
  p.declaration = 'D';
  Run(p);
  const std::string file = ReadNative(root_ + "/db/VAT/VAT.7BT");
  const std::string a =
      "  2403Z       A" + Amount15(300) + Amount15(69) + Amount15(69) + Amount13x4(100) + " %" +
      Amount15(300) + "\r\n";
  const std::string o = "  2403Z       O" + Amount15(100) + Amount15(23) + Amount15(11.5L) +
                        Amount13x4(50) + " %" + Amount15(50) + "\r\n";
  // Z: the marker and the register total; D: the total once more. No
  // subtotal of KOS or ZAK.
  EXPECT_EQ(file, "\r\n  2403Z       #\r\n" + a + o + a + o);

  DeclarationData d;
  d.year = 2024;
  d.month = 3;
  ReadDeclarationText(file, d);
  EXPECT_FALSE(AmountsDiffer(d.amounts[34], 600));
  EXPECT_FALSE(AmountsDiffer(d.amounts[35], 138));

  // Not a whole month: refused, nothing appended.
  p.to = DayFromDdMmYy("300324");
  SilentOptionServices window;
  EXPECT_FALSE(VatRegister(p, window));
  EXPECT_EQ(ReadNative(root_ + "/db/VAT/VAT.7BT"), file);
}

TEST_F(VatRegisterTest, UnfinishedRunLeavesNoFragment) {
  {
    JpkVatWriter jpk;
    ASSERT_TRUE(jpk.Begin('S'));
    LetterTable letters{};
    jpk.Row(OneLine("F1", "150324", 'A', 1, 1), letters);
  }
  EXPECT_FALSE(std::filesystem::exists(root_ + "/tmp/Ux-SZWi.007"));
}

// The schema listing's turnover: control records repeat their document's
// postings and do not add; a damaged amount is not a number and stays out.
TEST_F(VatRegisterTest, JournalTurnoverSkipsControlRecords) {
  test::JournalBuilder j;
  const DayNo day = DayFromDdMmYy("150324");
  j.Post("201", day, 100, true, "FV 1", 1);
  j.Post("700", day, 100, false, "FV 1", 2);
  j.Control("201", "FV 1", 100);
  j.Post("202", day, 7, true, "FV 2", 1);
  const std::uint8_t nan[10] = {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F};
  j.SetRawAmount(3, nan);
  ASSERT_TRUE(j.WriteToNative(root_ + "/db/N2024.DFX"));
  const JournalTurnover t = ReadJournalTurnover(DbDir.str() + "N2024.DFX");
  ASSERT_TRUE(t.found);
  EXPECT_EQ(t.records, 2u);
  EXPECT_FALSE(AmountsDiffer(t.debit, 100));
  EXPECT_FALSE(AmountsDiffer(t.credit, 100));
  EXPECT_FALSE(ReadJournalTurnover(DbDir.str() + "N2023.DFX").found);
}

TEST(JpkHeader, FaultsFileNamesAndCutValues) {
  TaxpayerData good = DefaultTaxpayer();
  const DayNo from = DayFromDdMmYy("010324");
  const DayNo to = DayFromDdMmYy("310324");
  EXPECT_EQ(JpkHeaderFaults(good, from, to), "");
  TaxpayerData bad = good;
  bad.KUr = "BRAK";
  bad.NIP = "0123456789";
  bad.Reg = "12345";
  EXPECT_EQ(JpkHeaderFaults(bad, from, DayFromDdMmYy("310131")),
            "KodUrzedu, NIP, REGON, DataDo");

  const TaxpayerData partial = ParseTaxpayer("NIP=5250007313\r\nKUr=1435\r\n");
  EXPECT_EQ(partial.from_sample, "REGON, Wojewodztwo, Miejscowosc, KodPocztowy, Poczta");

  const FixedText<80> old = ForWhom;
  ForWhom = "A/B:C*D?";
  const std::string name = JpkFileName("EA");
  EXPECT_NE(name.find("_A_B_C_D.XML"), std::string::npos) << name;
  ForWhom = old;

  // A long value is cut before escaping: the line keeps its closing tag and
  // no entity is broken.
  const std::string line = JpkElement("NazwaNabywcy", std::string(300, '&'));
  EXPECT_LE(line.size(), 250u);
  EXPECT_EQ(line.substr(line.size() - 15), "</NazwaNabywcy>");
  EXPECT_NE(line.find("&amp;</NazwaNabywcy>"), std::string::npos);
  EXPECT_EQ(JpkElement("Opis", "a\r\nb"), "    <Opis>a  b</Opis>");
}

}  // namespace
}  // namespace zel
