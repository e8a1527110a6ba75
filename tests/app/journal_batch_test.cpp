// The journals of the sample year through zel-batch: exactly the deliberate
// faults flagged, "=" rules exactly at the numbering gaps, the grand total
// equal to the file's postings, and the same journal from a shuffled file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
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

// "8.069.742,12" without its thousands dots.
std::string WithoutDots(std::string_view amount) {
  std::string s(amount);
  s.erase(std::remove(s.begin(), s.end(), '.'), s.end());
  return s;
}

class JournalBatch : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    home_ = MakeTempFolder("zel_journal_batch");
    std::string err;
    ASSERT_TRUE(SetZelFolder(home_, &err)) << err;
    year_ = new DemoYear(BuildDemoYear(DemoOptions{}));
    ASSERT_TRUE(WriteDemoYear(*year_, "DB\\", &err)) << err;
    // The same folder with the working file's records in random order.
    std::filesystem::copy(home_ + "/DB", home_ + "/DB2", std::filesystem::copy_options::recursive);
    const std::string file = home_ + "/DB2/R2024.DFX";
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string all = bytes.str();
    std::vector<std::string> records;
    for (std::size_t i = 0; i + kJournalRecordSize <= all.size(); i += kJournalRecordSize) {
      records.push_back(all.substr(i, kJournalRecordSize));
    }
    std::shuffle(records.begin(), records.end(), std::mt19937(2024));
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (const std::string& r : records) out << r;
  }
  static void TearDownTestSuite() {
    delete year_;
    std::filesystem::remove_all(home_);
  }

  int Run(const std::string& db, std::vector<std::string> args) {
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

  static std::string home_;
  static DemoYear* year_;
  std::string out_, err_;
};
std::string JournalBatch::home_;
DemoYear* JournalBatch::year_ = nullptr;

TEST_F(JournalBatch, FullJournalOfTheYearFlagsExactlyTheDeliberateFaults) {
  ASSERT_EQ(Run("DB", {"DzieP", "Robo=R2024", "DaOd=010124", "DaDo=311224"}), kBatchDone) << err_;
  EXPECT_EQ(err_,
            " *** Niezgodna suma kontrolna\n *** Niezgodność strony W-N z MA\n"
            "zel-batch: wierszy z uwagami: 2\n");
  const ReportDocument& doc = CurrentReport();
  std::vector<std::string> flagged, gaps;
  std::string last_total, document;
  Amount wn = 0, ma = 0;
  for (std::int32_t r = 1; r <= doc.RowCount(); ++r) {
    const std::string_view first = doc.Cell(r, 1), second = doc.Cell(r, 2);
    if (doc.RowKind(r) == '0' && first == "Dow.") document = second.substr(0, 11);
    if (doc.RowKind(r) == '0' && second.rfind("Razem d-d ", 0) == 0) last_total = second.substr(10);
    if (doc.RowKind(r) == '-') flagged.push_back(last_total + WinToUtf8(first));
    // The rule after a document's total, and the document that follows it.
    if (doc.RowKind(r) == '3' && first == "=" && r + 1 <= doc.RowCount() &&
        doc.Cell(r + 1, 1) == "Dow.") {
      gaps.push_back(document + ">" + std::string(doc.Cell(r + 1, 2).substr(0, 11)));
    }
    if (doc.RowKind(r) == '0' && second == "Razem zbiór"_w) {
      wn = ParseNumber(WithoutDots(doc.Cell(r, 3)));
      ma = ParseNumber(WithoutDots(doc.Cell(r, 4)));
    }
  }
  EXPECT_EQ(flagged, (std::vector<std::string>{
                         "FV24/000032 *** Niezgodna suma kontrolna",
                         "PK24/000027 *** Niezgodność strony W-N z MA",
                     }));
  EXPECT_EQ(year_->wrong_control_document, "FV24/000032");
  EXPECT_EQ(year_->unbalanced_document, "PK24/000027");
  // A "=" rule at each change of document kind and at the cancelled cash
  // receipt KP24/000004, nowhere else.
  std::vector<std::string> documents;
  for (const JournalEntry& e : year_->working) documents.push_back(e.documentNo.str());
  std::sort(documents.begin(), documents.end());
  documents.erase(std::unique(documents.begin(), documents.end()), documents.end());
  std::vector<std::string> want_gaps;
  for (std::size_t i = 1; i < documents.size(); ++i) {
    if (documents[i].substr(0, 2) != documents[i - 1].substr(0, 2) ||
        documents[i] == "KP24/000005") {
      want_gaps.push_back(documents[i - 1] + ">" + documents[i]);
    }
  }
  EXPECT_EQ(want_gaps.size(), 7u);
  EXPECT_EQ(gaps, want_gaps);
  Amount want_wn = 0, want_ma = 0;
  for (const JournalEntry& e : year_->working) {
    if (e.IsControl()) continue;
    (e.IsDebit() ? want_wn : want_ma) += e.amount;
  }
  EXPECT_FALSE(AmountsDiffer(wn, want_wn)) << static_cast<double>(wn);
  EXPECT_FALSE(AmountsDiffer(ma, want_ma)) << static_cast<double>(ma);
}

TEST_F(JournalBatch, ShuffledWorkingFileGivesTheSameJournals) {
  for (const char* option : {"DzieP", "DzieS"}) {
    SCOPED_TRACE(option);
    ASSERT_EQ(Run("DB", {option, "Robo=R2024", "DaOd=010124", "DaDo=311224"}), kBatchDone);
    const std::string in_order = out_, in_order_err = err_;
    ASSERT_EQ(Run("DB2", {option, "Robo=R2024", "DaOd=010124", "DaDo=311224"}), kBatchDone);
    EXPECT_TRUE(out_ == in_order) << "the journals differ";
    EXPECT_EQ(err_, in_order_err);
  }
}

}  // namespace
}  // namespace zel
