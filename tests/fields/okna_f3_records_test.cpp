// The records behind the F3 windows: completion when a field is left, and
// the saves of the taxpayer data, the account card and the account masks.
#include "fields/okna_f3_records.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/cp1250.hpp"
#include "common/globals.hpp"
#include "fields/option_values.hpp"
#include "platform/paths.hpp"
#include "shell/state.hpp"
#include "store/chart.hpp"
#include "store/declaration.hpp"

namespace zel {
namespace {

TEST(F3CompletionTest, FieldsCompleteWhenLeft) {
  struct Row {
    const char* name;
    std::uint8_t field;
    const char* typed;
    const char* value;
    bool warned;
  };
  const Row rows[] = {
      {"kind p", 30, "podatnik", "p.n.o.f.", false},
      {"kind other", 30, "osoba", "os.fiz.", false},
      {"country prefix", 35, "hol", "Holandia", false},
      {"country folded", 35, "wlochy", "Włochy", false},
      {"country unknown stays", 35, "xyz", "Xyz", true},
      {"country empty stays", 35, "", "", false},
      {"voivodeship of the ten", 36, "mazowieckie", "mazowieckie", false},
      {"voivodeship capital letter", 36, "Śląskie", "śląskie", false},
      {"voivodeship empty stays", 36, "", "", false},
      {"mask with star", 83, "4*", "4*", false},
      {"mask of question marks stays", 83, "4??", "4??", false},
      {"mask lower case", 83, "20-a*", "20-A*", false},
      {"mask full width of ?", 83, "4????????????????????????", "4*", false},
      {"file name cleaned and folded", 84, "pl/a:n*ó", "plano", false},
      {"date", 33, "150380", "150380", false},
      {"impossible date", 33, "310280", "310280", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string warning;
    EXPECT_EQ(WinToUtf8(CompleteF3Value(row.field, Utf8ToWin(row.typed), &warning)), row.value);
    EXPECT_EQ(!warning.empty(), row.warned) << WinToUtf8(warning);
  }
}

class F3RecordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zel-f3-XXXXXX";
    root_ = mkdtemp(pattern);
    std::filesystem::create_directories(root_ + "/DB");
    // Absolute folders: the process's Zel folder stays as the other tests
    // left it.
    DbDir = root_ + "/DB\\";
    ChartName = "Plan";
    ChartPath = root_ + "/DB\\Plan.PFX";
    StationExt = ".xxx";
    Declaration() = DeclarationData{};
    Chart().Clear();
    Options.masks.Clear();
  }
  void TearDown() override {
    Chart().Clear();
    Options.masks.Clear();
    Declaration() = DeclarationData{};
    DbDir = saved_db_;
    ChartName = saved_name_;
    ChartPath = saved_path_;
    StationExt = saved_ext_;
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  std::string Read(const std::string& rel) const {
    std::ifstream in(root_ + "/DB/" + rel, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::string root_;
  const std::string saved_db_ = DbDir.str();
  const std::string saved_name_ = ChartName.str();
  const std::string saved_path_ = ChartPath.str();
  const std::string saved_ext_ = StationExt.str();
};

TEST_F(F3RecordTest, TaxpayerWindowRewritesItsFileAndStaysOnAFailedSave) {
  F3Record r;
  ASSERT_TRUE(r.Open(127));
  std::string message;
  EXPECT_EQ(r.Save(&message), 0);
  EXPECT_EQ(message, "Nic się nie zmieniło"_w);

  std::string warning;
  EXPECT_TRUE(r.Enter(r.FieldNumber("vNip"), "1234563218", &warning));
  EXPECT_TRUE(r.Enter(r.FieldNumber("VWOJ"), "mazow", &warning));
  EXPECT_TRUE(r.Enter(r.FieldNumber("vKra"), "pol", &warning));
  EXPECT_FALSE(r.Enter(r.FieldNumber("vDUr"), "310280", &warning));
  EXPECT_TRUE(r.Enter(r.FieldNumber("vDUr"), "150380", &warning));
  EXPECT_EQ(r.Save(&message), 0) << WinToUtf8(message);
  const std::string file = WinToUtf8(Read("VAT/Pod.7BT"));
  EXPECT_NE(file.find("  Nip = 1234563218\r\n"), std::string::npos) << file;
  EXPECT_NE(file.find("  Woj = mazowieckie\r\n"), std::string::npos) << file;
  EXPECT_NE(file.find("  Kra = Polska\r\n"), std::string::npos) << file;
  EXPECT_NE(file.find("  DUr = 15-03-1980\r\n"), std::string::npos) << file;

  // Opened again, the window shows what was saved.
  F3Record again;
  ASSERT_TRUE(again.Open(127));
  EXPECT_EQ(again.Value(again.FieldNumber("vWoj")), "mazowieckie");

  // A file that cannot be written keeps the window on its field.
  std::filesystem::remove_all(root_ + "/DB/VAT");
  std::ofstream(root_ + "/DB/VAT") << "not a folder";
  EXPECT_TRUE(again.Enter(again.FieldNumber("vMia"), "Radom", &warning));
  EXPECT_EQ(again.Save(&message), 27);
  EXPECT_NE(WinToUtf8(message).find("Błąd zapisu do pliku"), std::string::npos);
}

TEST_F(F3RecordTest, AccountCardAppendsTheRecordAsItStands) {
  LoadAccount("201-01");
  F3Record r;
  ASSERT_TRUE(r.Open(122));
  std::string warning, message;
  r.Enter(r.FieldNumber("KNaz"), "Odbiorca Łada"_w, &warning);
  r.Enter(r.FieldNumber("KNip"), "5260001246", &warning);
  EXPECT_EQ(r.Save(&message), 0) << WinToUtf8(message);
  ASSERT_EQ(std::filesystem::file_size(root_ + "/DB/Plan.PFX"), 250u);
  std::size_t slot = 0;
  ASSERT_TRUE(Chart().Contains("201-01", &slot));
  EXPECT_EQ(Chart().At(slot).name.str(), "Odbiorca Łada"_w);
  EXPECT_EQ(Chart().At(slot).nip.str(), "5260001246");
}

TEST_F(F3RecordTest, SelectedAccountsGoBackToTheMaskList) {
  F3Record r;
  ASSERT_TRUE(r.Open(125));
  std::string warning, message;
  r.Enter(83, "20*", &warning);
  r.Enter(83, "4??", &warning);
  EXPECT_EQ(r.Save(&message), 0);
  ASSERT_EQ(Options.masks.count, 2);
  EXPECT_EQ(Options.masks.masks[0].str(), "20*");
  EXPECT_EQ(Options.masks.masks[1].str(), "4??");
  EXPECT_FALSE(r.Open(128));  // declaration parts are not saved here
}

}  // namespace
}  // namespace zel
