// The records behind the F3 windows: completion when a field is left, and
// the saves of the taxpayer data, the account card and the account masks.
#include "fields/okna_f3_records.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/globals.hpp"
#include "common/numbers.hpp"
#include "fields/option_values.hpp"
#include "platform/file.hpp"
#include "platform/paths.hpp"
#include "shell/file_access.hpp"
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

TEST_F(F3RecordTest, CardNeverDeletesAndWindowsWithoutARecordStoreNothing) {
  AccountRecord named;
  named.symbol = "201-01";
  named.name = "Odbiorca";
  Chart().Put(named);
  LoadAccount("201-01");
  F3Record card;
  ASSERT_TRUE(card.Open(122));
  EXPECT_FALSE(card.ReadOnly());
  std::string warning, message;
  // A cleared name would write the chart's deletion record.
  card.Enter(card.FieldNumber("KNaz"), "", &warning);
  EXPECT_EQ(card.Save(&message), 5);
  EXPECT_EQ(message, "Musisz podać opis konta"_w);
  EXPECT_FALSE(std::filesystem::exists(root_ + "/DB/Plan.PFX"));
  EXPECT_TRUE(Chart().Contains("201-01"));

  // The currency and purchase windows keep their values nowhere: Go must
  // not pass for a save, and with nothing typed there is nothing to say.
  for (std::uint8_t code : {123, 124}) {
    SCOPED_TRACE(static_cast<int>(code));
    F3Record r;
    EXPECT_FALSE(r.Open(code));
    EXPECT_TRUE(r.ReadOnly());
    EXPECT_EQ(r.Save(&message), 0);
    EXPECT_EQ(message, "Nic się nie zmieniło"_w);
    const std::uint8_t first = F3Fields(code).front().number;
    EXPECT_TRUE(r.Enter(first, "1", &warning));
    EXPECT_EQ(r.Save(&message), first);
    EXPECT_EQ(message, "Tylko do oglądania"_w);
  }
  // The card opened after one of them is no longer read-only.
  EXPECT_TRUE(card.Open(122));
  EXPECT_FALSE(card.ReadOnly());
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
  EXPECT_FALSE(r.Open(123));  // the currency window saves nothing
}

// The declaration windows append their values to VAT\Vat.7BT and the loader
// reads them back to the slots the windows show; opened again, every window
// shows what was typed.
TEST_F(F3RecordTest, DeclarationWindowsSaveWhatTheLoaderReadsBack) {
  Declaration().year = 2024;
  Declaration().month = 3;
  struct Row {
    std::uint8_t window;
    const char* field;
    const char* typed;
    int slot;  // the slot the value lands in after loading
  };
  const Row rows[] = {
      {128, "vK10", "100", 0},      {128, "vK11", "300", 1},     {128, "vK12", "120", 2},
      {128, "vK13", "50", 3},       {128, "vK14", "20", 4},      {128, "vK15", "200", 5},
      {128, "vK16", "10", 6},       {128, "vK19", "1.000,00", 9}, {128, "vK20", "230", 10},
      {128, "vK23", "40", 13},      {128, "vK24", "9", 14},      {128, "vK27", "500", 17},
      {128, "vK28", "115", 18},     {128, "vK29", "200", 19},    {128, "vK30", "46", 20},
      {128, "vK33", "7", 23},       {128, "vK34", "3", 24},      {129, "vK39", "2000", 32},
      {129, "vK40", "460", 33},     {129, "vK41", "800", 34},    {129, "vK42", "184", 35},
      {129, "vK43", "-12", 36},     {129, "vK44", "5", 37},      {129, "vK46", "300", 40},
      {129, "vK47", "2", 41},       {129, "vK51", "77", 43},
  };
  for (std::uint8_t window : {128, 129}) {
    F3Record r;
    ASSERT_TRUE(r.Open(window));
    std::string warning, message;
    for (const Row& row : rows) {
      if (row.window != window) continue;
      ASSERT_TRUE(r.Enter(r.FieldNumber(row.field), row.typed, &warning)) << row.field;
    }
    ASSERT_EQ(r.Save(&message), 0) << WinToUtf8(message);
  }
  F3Record sign;
  ASSERT_TRUE(sign.Open(130));
  std::string warning, message;
  ASSERT_TRUE(sign.Enter(sign.FieldNumber("voIm"), "Anna", &warning));
  ASSERT_TRUE(sign.Enter(sign.FieldNumber("voNa"), "Nowak", &warning));
  ASSERT_TRUE(sign.Enter(sign.FieldNumber("voTe"), "42 600 00 00", &warning));
  Declaration().signatureDate = DayFromDdMmYy("250424");
  Declaration().answers[0] = "Tak";
  Declaration().attachments = 1;
  ASSERT_EQ(sign.Save(&message), 0) << WinToUtf8(message);

  // The typed values went as "P" lines with their letters.
  const std::string file = Read("VAT/VAT.7BT");
  for (const char* line : {"  2403P       e", "  2403P       f", "  2403P       g",
                           "  2403P       h", "  2403P       j", "  2403SF3     #",
                           "  2403ZF3     #", "  2403P       t 25-04-2024",
                           "  2403P       z .119.LZD=1"}) {
    EXPECT_NE(file.find(line), std::string::npos) << line << "\n" << file;
  }

  Declaration() = DeclarationData{};
  Declaration().year = 2024;
  Declaration().month = 3;
  LoadDeclarationData();
  const DeclarationData& d = Declaration();
  for (const Row& row : rows) {
    const Amount want = ParseNumber(row.typed[1] == '.' ? "1000" : row.typed);
    EXPECT_FALSE(AmountsDiffer(d.amounts[static_cast<std::size_t>(row.slot)], want))
        << row.field << " slot " << row.slot << " = " << static_cast<double>(d.amounts[row.slot]);
  }
  EXPECT_EQ(d.oIm.str(), "Anna");
  EXPECT_EQ(d.oTe.str(), "42 600 00 00");
  EXPECT_EQ(DayToText10(d.signatureDate), "25-04-2024");
  EXPECT_EQ(d.answers[0].str(), "Tak");
  EXPECT_EQ(d.attachments, 1);

  // Opened again, each window shows what was typed.
  for (std::uint8_t window : {128, 129}) {
    F3Record r;
    ASSERT_TRUE(r.Open(window));
    for (const Row& row : rows) {
      if (row.window != window) continue;
      EXPECT_EQ(r.Value(r.FieldNumber(row.field)), NumberText(ParseNumber(row.typed[1] == '.' ? "1000" : row.typed), 2))
          << row.field;
    }
    EXPECT_EQ(r.Save(&message), 0);
    EXPECT_EQ(message, "Nic się nie zmieniło"_w);
  }
  F3Record bad;
  ASSERT_TRUE(bad.Open(129));
  EXPECT_FALSE(bad.Enter(bad.FieldNumber("vK43"), "12x", &warning));
  EXPECT_EQ(warning, "Błędna kwota"_w);
}

// Another workstation holding a declaration file: the save waits through the
// retries, then says so; the file keeps what it held.
TEST_F(F3RecordTest, DeclarationFilesHeldElsewhereAreLeftWhole) {
  SetRetryPause([](int) {});
  Declaration().year = 2024;
  Declaration().month = 3;
  std::string warning, message;
  F3Record taxpayer;
  ASSERT_TRUE(taxpayer.Open(127));
  ASSERT_TRUE(taxpayer.Enter(taxpayer.FieldNumber("vMia"), "Radom", &warning));
  ASSERT_EQ(taxpayer.Save(&message), 0) << WinToUtf8(message);
  F3Record amounts;
  ASSERT_TRUE(amounts.Open(129));
  ASSERT_TRUE(amounts.Enter(amounts.FieldNumber("vK47"), "5", &warning));
  ASSERT_EQ(amounts.Save(&message), 0) << WinToUtf8(message);
  const std::string pod = Read("VAT/Pod.7BT");
  const std::string vat = Read("VAT/VAT.7BT");

  File held_pod, held_vat;
  ASSERT_TRUE(held_pod.Open(DbDir.str() + "VAT\\Pod.7BT", Access::kReadWrite, Share::kExclusive));
  ASSERT_TRUE(held_vat.Open(DbDir.str() + "VAT\\VAT.7BT", Access::kReadWrite, Share::kExclusive));
  ASSERT_TRUE(taxpayer.Enter(taxpayer.FieldNumber("vMia"), "Kielce", &warning));
  EXPECT_EQ(taxpayer.Save(&message), 27);
  EXPECT_EQ(WinToUtf8(message), "Błąd zapisu do pliku " + root_ + "/DB\\VAT\\Pod.7BT");
  ASSERT_TRUE(amounts.Enter(amounts.FieldNumber("vK47"), "6", &warning));
  EXPECT_EQ(amounts.Save(&message), 70);
  held_pod.Close();
  held_vat.Close();
  EXPECT_EQ(Read("VAT/Pod.7BT"), pod);
  EXPECT_EQ(Read("VAT/VAT.7BT"), vat);
  SetRetryPause(nullptr);
}

}  // namespace
}  // namespace zel
