// Documents stored from a terminal into the sample year's working file:
// refused documents write nothing, a stored one is in the journal and, once
// the year's postings are in account order, in the trial balance; a
// correction and a deletion through --answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/batch.hpp"
#include "app/demo.hpp"
#include "app/demo_files.hpp"
#include "common/cp1250.hpp"
#include "common/numbers.hpp"
#include "output/report_document.hpp"
#include "platform/paths.hpp"
#include "store/journal_entry.hpp"
#include "support/temp_folder.hpp"

namespace zel {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

Amount Number(std::string_view cell) {
  std::string s(cell);
  s.erase(std::remove(s.begin(), s.end(), '.'), s.end());
  return ParseNumber(s);
}

class DocumentBatch : public ::testing::Test {
 protected:
  // The sample year is written once; every test starts from a copy of it.
  static void SetUpTestSuite() {
    home_ = MakeTempFolder("zel_document_batch");
    std::string err;
    ASSERT_TRUE(SetZelFolder(home_, &err)) << err;
    ASSERT_TRUE(WriteDemoYear(BuildDemoYear(DemoOptions{}), "DB0\\", &err)) << err;
  }
  static void TearDownTestSuite() { std::filesystem::remove_all(home_); }
  void SetUp() override {
    std::filesystem::remove_all(home_ + "/DB");
    std::filesystem::copy(home_ + "/DB0", home_ + "/DB", std::filesystem::copy_options::recursive);
    working_ = home_ + "/DB/R2024.DFX";
  }

  int Run(std::vector<std::string> args, const std::string& db = "DB") {
    out_.clear();
    err_.clear();
    args.insert(args.begin(), {"--db", home_ + "/" + db, "--today", "15-01-2025"});
    BatchRequest r;
    std::string why;
    EXPECT_TRUE(ParseBatchArgs(args, &r, &why)) << why;
    r.home = home_;
    BatchIo io;
    io.out = [this](std::string_view t) { out_.append(t); };
    io.err = [this](std::string_view t) { err_.append(t); };
    return RunBatch(r, io);
  }

  // The trial balance of a folder whose annual file is made from its
  // working file in account order; the cells of each account's row.
  std::vector<std::vector<std::string>> TrialBalanceRows(const std::string& db,
                                                         const std::vector<std::string>& accounts) {
    std::filesystem::remove_all(home_ + "/" + db);
    std::filesystem::copy(home_ + "/DB", home_ + "/" + db,
                          std::filesystem::copy_options::recursive);
    const std::string all = ReadFile(home_ + "/" + db + "/R2024.DFX");
    std::vector<JournalEntry> records;
    for (std::size_t i = 0; i + kJournalRecordSize <= all.size(); i += kJournalRecordSize) {
      JournalEntry e;
      DecodeJournalEntry(reinterpret_cast<const std::uint8_t*>(all.data() + i), &e);
      records.push_back(e);
    }
    std::stable_sort(records.begin(), records.end(), AccountOrderLess);
    std::ofstream out(home_ + "/" + db + "/N2024.DFX", std::ios::binary | std::ios::trunc);
    for (const JournalEntry& e : records) {
      const RecordBytes b = EncodeJournalEntry(e);
      out.write(reinterpret_cast<const char*>(b.data()), b.size());
    }
    out.close();
    EXPECT_EQ(Run({"ZOiSa", "--out", "/dev/null"}, db), kBatchDone) << err_;
    const ReportDocument& doc = CurrentReport();
    std::vector<std::vector<std::string>> rows;
    for (const std::string& account : accounts) {
      std::vector<std::string> cells;
      for (std::int32_t r = 1; r <= doc.RowCount(); ++r) {
        if (doc.Cell(r, 1) != account) continue;
        for (int c = 1; c <= 12; ++c) cells.emplace_back(doc.Cell(r, c));
        break;
      }
      rows.push_back(cells);
    }
    return rows;
  }

  static std::string home_;
  std::string working_, out_, err_;
};
std::string DocumentBatch::home_;

TEST_F(DocumentBatch, RefusedDocumentsNameTheFieldAndWriteNothing) {
  const std::string before = ReadFile(working_);
  struct Case {
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {{"DatD=150324", "--row", "100;130;100", "--row", "100;;5"},
       "pole Kwot: Wiersz 2: Winien 105,00 różni się od Ma 100,00"},
      {{"DatD=150324", "--row", "100;139;100"},
       "pole KoMa: Wiersz 1: Nie ma konta 139 w planie kont"},
      {{"DatD=150324", "--row", "201;130;100"},
       "pole KoWn: Wiersz 1: Konto 201 ma konta analityczne"},
      {{"DatD=150325", "--row", "100;130;100"}, "pole DatD: Data dekretacji poza rokiem"},
      {{"DatD=150324", "--row", "100;130;sto"}, "pole Kwot: Wiersz 1: Kwota nie jest liczbą: sto"},
      {{"DatD=150324", "--row", "100;130;100;;;300224"},
       "pole Term: Wiersz 1: Błędna data terminu"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.says);
    std::vector<std::string> args = {"Dekre", "Robo=R2024", "NDow=PK24/777"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    EXPECT_EQ(Run(args), kBatchRefused);
    EXPECT_NE(err_.find(c.says), std::string::npos) << err_;
    EXPECT_EQ(ReadFile(working_), before);
  }
  // A --row is refused outside the document window, and a cell wider than
  // its column is refused rather than cut.
  EXPECT_EQ(Run({"ZOiSa", "--row", "100;130;1"}), kBatchRefused);
  EXPECT_EQ(Run({"Dekre", "Robo=R2024", "NDow=PK24/777", "DatD=150324", "--row",
                 "12345678901234567;130;1"}),
            kBatchRefused);
  EXPECT_NE(err_.find("KoWn dłuższe niż 16 znaków"), std::string::npos) << err_;
  EXPECT_EQ(ReadFile(working_), before);
}

TEST_F(DocumentBatch, StoredDocumentIsInTheJournalAndTheTrialBalance) {
  const auto before = TrialBalanceRows("TB1", {"100", "130"});
  ASSERT_EQ(Run({"Dekre", "Robo=R2024", "NDow=PK24/777", "DatD=150324", "DatF=140324", "--row",
                 "100;130;1500,00;;;;wypłata z banku", "--row", "402;;20;;;;opłata", "--row",
                 ";100;20;;;;opłata"}),
            kBatchDone)
      << err_;
  EXPECT_NE(out_.find("Zapisano dowód PK24/777: pozycji 3"), std::string::npos) << out_;

  ASSERT_EQ(Run({"DzieP", "Robo=R2024", "DaOd=010324", "DaDo=310324"}), kBatchDone) << err_;
  // Only the sample year's own deliberate fault of March, none of this document.
  EXPECT_EQ(err_.find("PK24/777"), std::string::npos) << err_;
  const ReportDocument& doc = CurrentReport();
  bool listed = false;
  for (std::int32_t r = 1; r <= doc.RowCount(); ++r) {
    if (doc.Cell(r, 1) == "Dow." && doc.Cell(r, 2).substr(0, 8) == "PK24/777") listed = true;
  }
  EXPECT_TRUE(listed);

  const auto after = TrialBalanceRows("TB2", {"100", "130"});
  ASSERT_EQ(before.size(), 2u);
  ASSERT_EQ(after.size(), 2u);
  ASSERT_FALSE(before[0].empty());
  ASSERT_FALSE(after[0].empty());
  // Per account, the cells that changed and by how much: 100 got 1500 on
  // the debit and 20 on the credit, 130 got 1500 on the credit.
  auto changes = [](const std::vector<std::string>& a, const std::vector<std::string>& b) {
    std::vector<double> d;
    for (std::size_t c = 0; c < a.size() && c < b.size(); ++c) {
      const double diff = static_cast<double>(Number(b[c]) - Number(a[c]));
      if (a[c] != b[c]) d.push_back(diff);
    }
    return d;
  };
  const std::vector<double> acc100 = changes(before[0], after[0]);
  const std::vector<double> acc130 = changes(before[1], after[1]);
  EXPECT_NE(std::find(acc100.begin(), acc100.end(), 1500.0), acc100.end());
  EXPECT_NE(std::find(acc100.begin(), acc100.end(), 20.0), acc100.end());
  EXPECT_NE(std::find(acc130.begin(), acc130.end(), 1500.0), acc130.end());
}

TEST_F(DocumentBatch, CorrectionAndDeletionThroughAnswers) {
  const std::string before = ReadFile(working_);
  ASSERT_EQ(Run({"Dekre", "Robo=R2024", "NDow=PK24/777", "DatD=150324", "--row", "100;130;15"}),
            kBatchDone)
      << err_;
  ASSERT_EQ(Run({"Dekre", "Robo=R2024", "NDow=PK24/777", "--row", "100;130;16"}), kBatchDone)
      << err_;
  EXPECT_NE(out_.find("Poprawiono dowód PK24/777"), std::string::npos) << out_;
  EXPECT_EQ(ReadFile(working_).size(), before.size() + 3 * kJournalRecordSize);
  // "Nie" and no answer keep the document.
  for (const char* answers : {"N", ""}) {
    std::vector<std::string> args = {"Dekre", "Robo=R2024", "NDow=PK24/777", "--delete"};
    if (*answers) args.insert(args.end(), {"--answers", answers});
    EXPECT_EQ(Run(args), kBatchDone) << err_;
    EXPECT_NE(out_.find("Dowodu nie skasowano"), std::string::npos) << out_;
    EXPECT_EQ(ReadFile(working_).size(), before.size() + 3 * kJournalRecordSize);
  }
  ASSERT_EQ(Run({"Dekre", "Robo=R2024", "NDow=PK24/777", "--delete", "--answers", "T"}), kBatchDone)
      << err_;
  EXPECT_EQ(ReadFile(working_), before);
}

}  // namespace
}  // namespace zel
