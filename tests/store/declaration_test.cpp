#include "store/declaration.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/numbers.hpp"
#include "store/store_folder.hpp"
#include "support/journal_builder.hpp"

namespace zel {
namespace {

// A 15-character amount field as the registers write it: "." between
// thousands, "," before the decimals, right-aligned.
std::string Field(const std::string& text) {
  return std::string(15 - text.size(), ' ') + text;
}

// One line of the declaration data file: two spaces, the 12-character key
// (period code, kind, group label), the letter, three amount fields (an empty
// third leaves the field out: a line without a third amount).
std::string DataLine(const std::string& code_and_kind, char letter, const std::string& base,
                     const std::string& second = "0,00", const std::string& third = "") {
  std::string key = code_and_kind + "REJ";
  key.resize(12, ' ');
  return "  " + key + letter + Field(base) + Field(second) + (third.empty() ? "" : Field(third)) +
         "\r\n";
}

DeclarationData March2024() {
  DeclarationData d;
  d.year = 2024;
  d.month = 3;
  return d;
}

TEST(DeclarationData, PeriodCode) {
  EXPECT_EQ(PeriodCode(2024, 3), "2403");
  EXPECT_EQ(PeriodCode(2024, 12), "2412");
  EXPECT_EQ(PeriodCode(2005, 1), "501");
}

TEST(DeclarationData, SalesLettersFeedTheirSlots) {
  struct Row {
    char letter;
    int base;
    int tax;  // -1: the letter has no tax slot
  } rows[] = {
      {'H', 0, -1},  {'G', 1, -1},  {'F', 2, -1},  {'E', 3, -1},  {'D', 4, -1},  {'C', 5, 6},
      {'B', 7, 8},   {'A', 9, 10},  {'L', 11, -1}, {'K', 12, -1}, {'N', 13, 14}, {'S', 13, 14},
      {'M', 15, 16}, {'R', 15, 16}, {'I', 17, 18}, {'U', 17, 18}, {'J', 19, 20}, {'T', 19, 20},
      {'O', 21, 22}, {'V', 21, 22}, {'P', 23, -1}, {'Q', 24, -1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(1, row.letter));
    DeclarationData d = March2024();
    ReadDeclarationText(DataLine("2403S", row.letter, "1.234,50", "7,00", "284,00"), d);
    for (int slot = 0; slot < kDeclarationSlots; ++slot) {
      const Amount want = slot == row.base ? 1234.5L : slot == row.tax ? 284.0L : 0.0L;
      EXPECT_FALSE(AmountsDiffer(d.amounts[slot], want)) << "slot " << slot;
    }
  }
}

TEST(DeclarationData, TotalsAddUpAndTheHashLineClears) {
  DeclarationData d = March2024();
  std::string two =
      DataLine("2403S", 'A', "100,00", "23,00") + DataLine("2403S", 'A', "200,00", "46,00");
  ReadDeclarationText(two, d);
  EXPECT_FALSE(AmountsDiffer(d.amounts[9], 300));
  EXPECT_FALSE(AmountsDiffer(d.amounts[10], 69));  // the second amount when the third is zero

  DeclarationData e = March2024();
  ReadDeclarationText(DataLine("2403S", 'A', "100,00", "23,00") + DataLine("2403S", '#', "") +
                          DataLine("2403S", 'A', "200,00", "46,00"),
                      e);
  EXPECT_FALSE(AmountsDiffer(e.amounts[9], 200));
  EXPECT_FALSE(AmountsDiffer(e.amounts[10], 46));

  DeclarationData f = March2024();
  ReadDeclarationText(
      DataLine("2403S", 'N', "10,00", "1,00") + DataLine("2403S", 'S', "20,00", "2,00"), f);
  EXPECT_FALSE(AmountsDiffer(f.amounts[13], 30));
  EXPECT_FALSE(AmountsDiffer(f.amounts[14], 3));
}

TEST(DeclarationData, PurchaseLetters) {
  struct Row {
    char letter;
    int base;  // -1: ignored
  } rows[] = {{'A', 34}, {'L', 34}, {'U', 34}, {'V', 34}, {'X', 34}, {'M', 32},
              {'T', 32}, {'Y', 32}, {'W', -1}, {'Z', -1}, {'a', -1}};
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(1, row.letter));
    DeclarationData d = March2024();
    ReadDeclarationText(DataLine("2403Z", row.letter, "50,00", "", "    11,50"), d);
    for (int slot = 32; slot <= 35; ++slot) {
      const Amount want = slot == row.base ? 50.0L : slot == row.base + 1 ? 11.5L : 0.0L;
      EXPECT_FALSE(AmountsDiffer(d.amounts[slot], want)) << "slot " << slot;
    }
  }
  DeclarationData d = March2024();
  ReadDeclarationText(DataLine("2403Z", 'A', "50,00", "11,50") + DataLine("2403Z", '#', ""), d);
  EXPECT_FALSE(AmountsDiffer(d.amounts[34], 0));

  // A purchase total whose deductible tax is zero (written blank) deducts
  // nothing: the plain tax counts only on a line without a third amount.
  DeclarationData n = March2024();
  ReadDeclarationText(DataLine("2403Z", 'I', "548,78", "126,22", " ") +
                          DataLine("2403Z", 'M', "100,00", "23,00"),
                      n);
  EXPECT_FALSE(AmountsDiffer(n.amounts[34], 548.78L));
  EXPECT_FALSE(AmountsDiffer(n.amounts[35], 0));
  EXPECT_FALSE(AmountsDiffer(n.amounts[33], 23));
}

TEST(DeclarationData, TypedValuesSetAndTheLastLineWins) {
  DeclarationData d = March2024();
  const std::string text =
      DataLine("2403P", 'a', "", "", "120,00") + DataLine("2403P", 'a', "", "", "130,00") +
      DataLine("2403P", 'b', "", "7,00") + DataLine("2403P", 'k', "", "", "9,00") +
      "  2403P       t 15-04-2024\r\n" + "  2403P       z .119.LZD=2\r\n";
  ReadDeclarationText(text, d);
  EXPECT_FALSE(AmountsDiffer(d.amounts[31], 130));
  EXPECT_FALSE(AmountsDiffer(d.amounts[28], 7));
  EXPECT_FALSE(AmountsDiffer(d.amounts[44], 9));
  EXPECT_EQ(DayToText10(d.signatureDate), "15-04-2024");
  EXPECT_EQ(d.answers[0].view(), "Tak");
  for (int i = 1; i < kDeclarationAnswers; ++i) EXPECT_TRUE(d.answers[i].empty()) << i;
  EXPECT_EQ(d.attachments, 2);

  DeclarationData e = March2024();
  ReadDeclarationText(text + DataLine("2403P", '#', "") + "  2403P       z .WoP\r\n", e);
  EXPECT_FALSE(AmountsDiffer(e.amounts[31], 0));
  EXPECT_FALSE(AmountsDiffer(e.amounts[44], 0));
  EXPECT_FALSE(AmountsDiffer(e.amounts[28], 7));  // not cleared by the typed values' "#"
  EXPECT_TRUE(e.answers[0].empty());
  EXPECT_EQ(e.answers[6].view(), "Tak");
  EXPECT_EQ(e.attachments, 0);
}

TEST(DeclarationData, OtherLinesAreIgnored) {
  DeclarationData d = March2024();
  const std::string text = DataLine("2402S", 'A', "100,00", "23,00") +   // other month
                           DataLine("2403X", 'A', "100,00", "23,00") +   // other kind
                           "  2403S      A\r\n" +                        // 14 characters
                           DataLine("2403S", 'A', "abc", "1.2.3,4,5") +  // not numbers
                           DataLine("2403S", 'A', "9e30", "1e4000") +    // absurd numbers
                           "\x01\xFF garbage\n\n" + "  2403S";
  ReadDeclarationText(text, d);
  DeriveDeclarationValues(d);
  for (int slot = 0; slot < kDeclarationSlots; ++slot) {
    EXPECT_TRUE(std::isfinite(d.amounts[slot]));
    EXPECT_FALSE(AmountsDiffer(d.amounts[slot], 0)) << "slot " << slot;
  }
}

TEST(DeclarationData, DerivedValues) {
  DeclarationData d = March2024();
  // Tax due 100 against deductible tax 150: 50 to carry over.
  ReadDeclarationText(
      DataLine("2403S", 'A', "500,00", "100,00") + DataLine("2403Z", 'A', "600,00", "150,00"), d);
  DeriveDeclarationValues(d);
  EXPECT_FALSE(AmountsDiffer(d.amounts[29], 500));
  EXPECT_FALSE(AmountsDiffer(d.amounts[30], 100));
  EXPECT_FALSE(AmountsDiffer(d.amounts[39], 150));
  EXPECT_FALSE(AmountsDiffer(d.amounts[42], 0));
  EXPECT_FALSE(AmountsDiffer(d.amounts[44], 50));
  EXPECT_FALSE(AmountsDiffer(d.amounts[49], 50));

  // Each amount counts once in the totals: a tax slot never in the base
  // total, the services of art. 28b (J) not again beside the imports (I)
  // that already hold them.
  DeclarationData t = March2024();
  ReadDeclarationText(DataLine("2403S", 'N', "1.000,00", "230,00") +
                          DataLine("2403S", 'O', "100,00", "23,00") +
                          DataLine("2403S", 'I', "400,00", "92,00") +
                          DataLine("2403S", 'J', "200,00", "46,00"),
                      t);
  DeriveDeclarationValues(t);
  EXPECT_FALSE(AmountsDiffer(t.amounts[17], 600));
  EXPECT_FALSE(AmountsDiffer(t.amounts[19], 200));
  EXPECT_FALSE(AmountsDiffer(t.amounts[29], 1000 + 100 + 600));
  EXPECT_FALSE(AmountsDiffer(t.amounts[30], 230 + 92 + 46));

  DeclarationData e = March2024();
  e.amounts[2] = 10.5L;  // joins slot 1: 1.0 + 10.5 = 11.5 -> 12
  e.amounts[1] = 1.0L;
  e.amounts[4] = 2.5L;   // joins slot 3: 2.5 -> 3 (50 grosze go up)
  e.amounts[9] = 0.1L + 0.2L + 0.2L;  // a sum of grosze just under 0,50 -> 1
  e.amounts[10] = 3.49L;  // -> 3
  e.amounts[36] = -2.5L;  // halves go away from zero: -> -3
  e.amounts[45] = 77;
  DeriveDeclarationValues(e);
  EXPECT_FALSE(AmountsDiffer(e.amounts[1], 12));
  EXPECT_FALSE(AmountsDiffer(e.amounts[3], 3));
  EXPECT_FALSE(AmountsDiffer(e.amounts[9], 1));
  EXPECT_FALSE(AmountsDiffer(e.amounts[10], 3));
  EXPECT_FALSE(AmountsDiffer(e.amounts[36], -3));
  EXPECT_FALSE(AmountsDiffer(e.amounts[29], 12 + 3 + 1));
  EXPECT_FALSE(AmountsDiffer(e.amounts[45], 0));
}

TEST(TaxpayerFile, WrittenTextReadsBack) {
  DeclarationData d;
  d.Nip = "5260001122";
  d.Naz = "Przykładowa Spółka z o.o."_w;
  d.DUr = DayFromDdMmYy("150380");
  d.Mia = "Łódź"_w;
  d.oTe = "42 000 00 00";
  const std::string text = TaxpayerFileText(d);
  EXPECT_EQ(text.substr(0, 2), "\r\n");
  EXPECT_NE(text.find("\r\n  Nip = 5260001122\r\n"), std::string::npos);
  EXPECT_NE(text.find("  DUr = 15-03-1980\r\n"), std::string::npos);
  int lines = 0;
  for (char c : text) lines += c == '\n';
  EXPECT_EQ(lines, 21);

  DeclarationData back;
  ReadTaxpayerText(text, back);
  EXPECT_EQ(back.Nip.view(), "5260001122");
  EXPECT_EQ(back.Naz.view(), d.Naz.view());
  EXPECT_EQ(back.DUr, d.DUr);
  EXPECT_EQ(back.Mia.view(), d.Mia.view());
  EXPECT_EQ(back.oTe.view(), d.oTe.view());
  EXPECT_TRUE(back.Pes.empty());

  DeclarationData cut;
  ReadTaxpayerText("  Nip = " + std::string(40, '9') + "\n  DUr = 31-02-2024\n  Xyz = 1\n  Ni",
                   cut);
  EXPECT_EQ(cut.Nip.size(), 15u);
}

TEST(TaxpayerFile, LoadFromTheYearFolder) {
  test::StoreFolder folder;
  DeclarationData& d = Declaration();
  d = DeclarationData();
  d.year = 2024;
  d.month = 3;
  d.purpose = "korekta";
  d.Naz = "Stara nazwa";
  d.amounts[5] = 99;
  d.Nip = "5260001122";
  d.oIm = "Anna";
  ASSERT_TRUE(WriteTaxpayerFile(d));
  ASSERT_TRUE(test::WriteBytesNative(folder.Db("VAT/Vat.7BT"),
                                     DataLine("2403S", 'A', "1.000,00", "230,00")));
  d.Naz = "do wyczyszczenia";
  LoadDeclarationData();
  EXPECT_EQ(d.Nip.view(), "5260001122");
  EXPECT_EQ(d.Naz.view(), "Stara nazwa");
  EXPECT_EQ(d.oIm.view(), "Anna");
  EXPECT_EQ(d.purpose.view(), "korekta");        // kept
  EXPECT_FALSE(AmountsDiffer(d.amounts[5], 0));  // cleared
  EXPECT_FALSE(AmountsDiffer(d.amounts[9], 1000));
  EXPECT_FALSE(AmountsDiffer(d.amounts[30], 230));

  // Without the files the record keeps only its cleared values.
  std::filesystem::remove_all(folder.Db("VAT"));
  LoadDeclarationData();
  EXPECT_TRUE(d.Nip.empty());
  EXPECT_FALSE(AmountsDiffer(d.amounts[9], 0));
  EXPECT_EQ(d.month, 3);
}

}  // namespace
}  // namespace zel
