// Posting, splitting and changing journal files through zel-batch, on the
// sample year: the month files post into exactly the demo's annual file and
// the check agrees; nothing is posted twice; a failure at any file operation
// of a posting leaves the annual file and its journal of postings as they
// were; the two outputs of every split hold exactly the source; each change
// touches exactly the chosen documents.
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
#include "books/journal_posting.hpp"
#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "platform/faults.hpp"
#include "platform/paths.hpp"
#include "shell/file_access.hpp"
#include "shell/registry.hpp"
#include "shell/state.hpp"
#include "shell/stations.hpp"
#include "store/journal_entry.hpp"
#include "store/journal_file.hpp"
#include "support/journal_builder.hpp"
#include "support/temp_folder.hpp"

namespace zel {
namespace {

namespace fs = std::filesystem;

std::string ReadNative(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteNative(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// A journal of postings without the clock's minutes (a run may cross one).
std::string WithoutTimes(std::string journal) {
  for (std::size_t at = 0; (at = journal.find(':', at)) != std::string::npos; ++at)
    journal.replace(at - 2, 5, "hh:mm");
  return journal;
}

std::vector<std::string> Records(const std::string& bytes) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i + kJournalRecordSize <= bytes.size(); i += kJournalRecordSize)
    out.push_back(bytes.substr(i, kJournalRecordSize));
  return out;
}

class JournalFilesBatch : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    home_ = MakeTempFolder("zel_journal_files");
    std::string err;
    ASSERT_TRUE(SetZelFolder(home_, &err)) << err;
    ASSERT_TRUE(WriteDemoYear(BuildDemoYear(DemoOptions{}), "DEMO\\", &err)) << err;
    annual_ = ReadNative(home_ + "/DEMO/N2024.DFX");
  }
  static void TearDownTestSuite() { fs::remove_all(home_); }

  void SetUp() override {
    fs::remove_all(db());
    fs::copy(home_ + "/DEMO", db(), fs::copy_options::recursive);
    journal_ = ReadNative(file("N2024.KSG"));
    SetRetryPause([](int) {});
  }
  void TearDown() override {
    ClearFaults();
    SetRetryPause(nullptr);
  }

  static std::string db() { return home_ + "/DB"; }
  static std::string file(const std::string& name) { return db() + "/" + name; }

  int Run(std::vector<std::string> args, const std::string& answers = "") {
    out_.clear();
    err_.clear();
    args.insert(args.begin(), {"--db", db(), "--today", "15-01-2025"});
    if (!answers.empty()) args.insert(args.begin(), {"--answers", answers});
    BatchRequest r;
    std::string why;
    EXPECT_TRUE(ParseBatchArgs(args, &r, &why)) << why;
    r.home = home_;
    BatchIo io;
    io.out = [this](std::string_view t) { out_.append(t); };
    io.err = [this](std::string_view t) { err_.append(t); };
    return RunBatch(r, io);
  }

  // An empty year: no annual file, no journal of postings.
  static void EmptyYear() {
    fs::remove(file("N2024.DFX"));
    fs::remove(file("N2024.KSG"));
  }

  static std::string home_;
  static std::string annual_;
  std::string journal_;  // the demo's journal of postings
  std::string out_, err_;
};
std::string JournalFilesBatch::home_;
std::string JournalFilesBatch::annual_;

TEST_F(JournalFilesBatch, MonthFilesPostIntoTheDemosAnnualFileOnceAndTheCheckAgrees) {
  // The demo's annual file already holds every month file: nothing to post.
  EXPECT_EQ(Run({"LacZb"}, "TT"), kBatchRefused);
  EXPECT_NE(err_.find("Brak zbiorów do księgowania"), std::string::npos) << err_;

  EmptyYear();
  ASSERT_EQ(Run({"LacZb"}, "TT"), kBatchDone) << err_;
  EXPECT_EQ(ReadNative(file("N2024.DFX")), annual_) << "not byte-identical";
  // The journal as the demo writes it, but for the day of the posting.
  std::string journal = ReadNative(file("N2024.KSG"));
  for (std::size_t at = 0; (at = journal.find("15-01-2025", at)) != std::string::npos;)
    journal.replace(at, 16, "31-12-2024 00:00");
  EXPECT_EQ(journal, journal_);
  EXPECT_NE(out_.find("Razem"), std::string::npos) << out_;

  ASSERT_EQ(Run({"LacWe"}), kBatchDone) << err_;
  EXPECT_NE(out_.find("Zgodne"), std::string::npos) << out_;

  // Again: every month file is posted already (named or taken as "all").
  EXPECT_EQ(Run({"LacZb", "LiZb=01A"}, "TT"), kBatchRefused);
  EXPECT_NE(err_.find("już zaksięgowany"), std::string::npos) << err_;
  EXPECT_EQ(Run({"LacZb"}, "TT"), kBatchRefused);
  EXPECT_EQ(ReadNative(file("N2024.DFX")), annual_);

  // A posting lost and another doubled: the check names both.
  std::vector<std::string> records = Records(annual_);
  const std::string lost = records[10];
  records.erase(records.begin() + 10);
  records.insert(records.begin() + 20, records[20]);
  std::string tampered;
  for (const std::string& r : records) tampered += r;
  WriteNative(file("N2024.DFX"), tampered);
  EXPECT_EQ(Run({"LacWe"}), kBatchDone) << err_;
  EXPECT_NE(out_.find("Niezgodne: brak 1, podwójnie 1"), std::string::npos) << out_;
  EXPECT_NE(err_.find("Niezgodne"), std::string::npos);
}

TEST_F(JournalFilesBatch, PostingAddsToAnExistingAnnualFileInAccountOrder) {
  // The annual file of January's first part; then the rest of the list.
  EmptyYear();
  WriteNative(file("REST.ZFX"), "; the year after 01A\r\n" + ReadNative(file("MIESIACE.ZFX")).substr(5));
  ASSERT_EQ(Run({"LacZb", "LiZb=01A"}, "TT"), kBatchDone) << err_;
  ASSERT_EQ(Run({"LacZb", "LiZb=REST"}, "T"), kBatchDone) << err_;
  EXPECT_EQ(ReadNative(file("N2024.DFX")), annual_);
  // A list naming the annual file or a file twice is refused before anything is read.
  WriteNative(file("BAD.ZFX"), "02A\r\n02a.dfx\r\n");
  EXPECT_EQ(Run({"LacZb", "LiZb=BAD"}, "T"), kBatchRefused);
  EXPECT_NE(err_.find("dwa razy"), std::string::npos) << err_;
  // "Powrót" at the question changes nothing.
  fs::remove(file("N2024.KSG"));
  EXPECT_EQ(Run({"LacZb", "LiZb=01A"}, "P"), kBatchRefused);
  EXPECT_FALSE(fs::exists(file("N2024.KSG")));
  EXPECT_EQ(ReadNative(file("N2024.DFX")), annual_);
}

TEST_F(JournalFilesBatch, ThePostingWindowShowsTheFilesItWouldPost) {
  // Nine rows of names and the count of all: the month files not posted yet
  // in posting order, or a list's names; "?" when the list cannot be read.
  auto shown = [this](std::vector<std::string> args) {
    args.insert(args.begin(), "LacZb");
    args.push_back("--fields");
    EXPECT_EQ(Run(args), kBatchDone) << err_;
    std::string rows;
    for (std::size_t at = 0; (at = out_.find("LisZ = ", at)) != std::string::npos; at += 7)
      rows += out_.substr(at + 7, out_.find('\n', at) - at - 7) + "|";
    const std::size_t count = out_.find("LixZ = ");
    return rows + (count == std::string::npos ? "" : out_.substr(count + 7, out_.find('\n', count) - count - 7));
  };
  EXPECT_EQ(shown({}), "|||||||||0");
  // The journal of postings without its last four lines: those files show.
  std::string journal = journal_;
  for (int i = 0; i < 4; ++i) journal.resize(journal.rfind('\n', journal.size() - 2) + 1);
  WriteNative(file("N2024.KSG"), journal);
  const std::string last = shown({});
  EXPECT_EQ(std::count(last.begin(), last.end(), '|'), 9);
  EXPECT_EQ(last.substr(last.rfind('|') + 1), "4");
  EXPECT_EQ(last.substr(0, last.find("|||")), "11A|11-1|12A|12-1") << last;
  fs::remove(file("N2024.KSG"));
  EXPECT_EQ(shown({}).substr(0, 17), "01A|01-1|02A|02-1");
  WriteNative(file("TWO.ZFX"), "; two files\r\n12a.dfx\r\n\r\n03-1\r\n");
  EXPECT_EQ(shown({"LiZb=TWO"}), "12a|03-1||||||||2");
  EXPECT_EQ(shown({"LiZb=NONE"}), "|||||||||?");
  // Only shown: nothing was posted.
  EXPECT_EQ(ReadNative(file("N2024.DFX")), annual_);
}

TEST_F(JournalFilesBatch, AFailureAtAnyFileOperationLeavesTheOldFilesWhole) {
  EmptyYear();
  ASSERT_EQ(Run({"LacZb", "LiZb=01A"}, "TT"), kBatchDone) << err_;
  const std::string old_annual = ReadNative(file("N2024.DFX"));
  const std::string old_journal = ReadNative(file("N2024.KSG"));
  ASSERT_EQ(Run({"LacZb", "LiZb=01-1"}, "T"), kBatchDone) << err_;
  const std::string new_annual = ReadNative(file("N2024.DFX"));
  const std::string new_journal = ReadNative(file("N2024.KSG"));
  ASSERT_NE(new_annual, old_annual);

  int failures = 0;
  for (FaultOp op : {FaultOp::kOpen, FaultOp::kRead, FaultOp::kWrite, FaultOp::kRename}) {
    for (int nth = 1; nth < 2000; ++nth) {
      SCOPED_TRACE(testing::Message() << "operation " << static_cast<int>(op) << " #" << nth);
      WriteNative(file("N2024.DFX"), old_annual);
      WriteNative(file("N2024.KSG"), old_journal);
      InjectFault(op, nth, false);
      const int code = Run({"LacZb", "LiZb=01-1"}, "T");
      const bool fired = FaultsFired() > 0;
      ClearFaults();
      const std::string annual = ReadNative(file("N2024.DFX"));
      const std::string journal = ReadNative(file("N2024.KSG"));
      if (code == kBatchDone) {
        EXPECT_EQ(annual, new_annual);
        EXPECT_EQ(WithoutTimes(journal), WithoutTimes(new_journal));
      } else {
        ++failures;
        EXPECT_EQ(annual, old_annual);
        EXPECT_EQ(journal, old_journal);
      }
      EXPECT_FALSE(fs::exists(file("N2024.DFX.tmp")));
      if (!fired) break;
    }
  }
  EXPECT_GT(failures, 0);
}

TEST_F(JournalFilesBatch, EachSplitsTwoOutputsHoldExactlyTheSource) {
  const std::vector<std::string> source = Records(annual_);
  struct Case {
    std::vector<std::string> args;
  };
  const std::vector<Case> cases = {
      {{"WWgZb", "Zrod=R2024"}},
      {{"WWgSK", "KonW=20*"}},
      {{"WWgND", "DowW=FV*"}},
      {{"WWgND", "DoOd=KP24/000001", "DoDo=KW24/000003"}},
      {{"WWgDK", "DaOd=01-03-2024", "DaDo=31-03-2024"}},
      {{"WWgNK", "Text=bank"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args[1]);
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"Rob1=R1", "Rob2=R2"});
    ASSERT_EQ(Run(args, "TT"), kBatchDone) << err_;
    const std::vector<std::string> one = Records(ReadNative(file("R1.DFX")));
    const std::vector<std::string> two = Records(ReadNative(file("R2.DFX")));
    EXPECT_EQ(one.size() + two.size(), source.size());
    // Interleaving the two in source order gives the source back.
    std::size_t a = 0, b = 0;
    for (const std::string& r : source) {
      if (a < one.size() && one[a] == r) {
        ++a;
      } else if (b < two.size() && two[b] == r) {
        ++b;
      } else {
        ADD_FAILURE() << "a record of the source is in neither output in its place";
        break;
      }
    }
  }
  // Outputs named like the source or like each other are refused; the
  // source stays as it was.
  EXPECT_EQ(Run({"WWgSK", "KonW=20*", "Rob1=N2024", "Rob2=R2"}, "TT"), kBatchRefused);
  EXPECT_EQ(Run({"WWgSK", "KonW=20*", "Rob1=R2", "Rob2=R2"}, "TT"), kBatchRefused);
  EXPECT_EQ(ReadNative(file("N2024.DFX")), annual_);
}

// A small working file: two invoices (the first with its control record),
// a cash receipt; reserved bytes set, so that a change must keep them.
class JournalChanges : public JournalFilesBatch {
 protected:
  void SetUp() override {
    JournalFilesBatch::SetUp();
    const DayNo day = DayFromDdMmYy("100324");
    test::JournalBuilder b;
    b.Post("201-1", day, 123, true, "FV24/000001", 1).dueDate = day + 14;
    b.Post("700", day, 100, false, "FV24/000001", 2).dueDate = day + 14;
    b.Post("221", day, 23, false, "FV24/000001", 3);
    b.Control("201-1", "FV24/000001", 123);
    b.Post("201-2", day, 50, true, "FV24/000002", 1);
    b.Post("700", day, 50, false, "FV24/000002", 2);
    b.Post("100", day, 10, true, "KP24/000001", 1).dueDate = day;
    std::string bytes = b.Bytes();
    for (std::size_t i = 0; i < b.size(); ++i) bytes[i * kJournalRecordSize + 200] = '\x07';
    before_ = bytes;
    WriteNative(file("FIX.DFX"), bytes);
  }

  std::vector<JournalEntry> Entries() {
    std::vector<JournalEntry> out;
    for (const std::string& r : Records(ReadNative(file("FIX.DFX")))) {
      EXPECT_EQ(r[200], '\x07') << "a byte the change does not own was lost";
      JournalEntry e;
      DecodeJournalEntry(reinterpret_cast<const std::uint8_t*>(r.data()), &e);
      out.push_back(e);
    }
    return out;
  }

  std::string before_;
};

TEST_F(JournalChanges, EachChangeTouchesTheChosenDocumentsWithTheirControlRecords) {
  ASSERT_EQ(Run({"ZmiND", "Robo=FIX", "DowW=FV24/000001", "DoNo=FV24/000777"}, "T"), kBatchDone)
      << err_;
  std::vector<JournalEntry> e = Entries();
  for (int i = 0; i < 4; ++i) EXPECT_EQ(e[i].documentNo.str(), "FV24/000777") << i;
  EXPECT_EQ(e[4].documentNo.str(), "FV24/000002");

  ASSERT_EQ(Run({"PrzND", "Robo=FIX", "DowW=FV*", "DowF=FV24/[", "DowG=5"}, "T"), kBatchDone)
      << err_;
  e = Entries();
  EXPECT_EQ(e[3].documentNo.str(), "FV24/000782");
  EXPECT_EQ(e[5].documentNo.str(), "FV24/000007");
  EXPECT_EQ(e[6].documentNo.str(), "KP24/000001");

  const DayNo day = DayFromDdMmYy("100324");
  ASSERT_EQ(Run({"ZmiDK", "Robo=FIX", "DowW=KP*", "DatD=150324"}, "T"), kBatchDone) << err_;
  e = Entries();
  EXPECT_EQ(e[6].bookingDate, DayFromDdMmYy("150324"));
  EXPECT_EQ(e[0].bookingDate, day);

  ASSERT_EQ(Run({"ZmiTe", "Robo=FIX", "DowW=FV*", "TeWn=7", "TeMa=-3"}, "T"), kBatchDone)
      << err_;
  e = Entries();
  EXPECT_EQ(e[0].dueDate, day + 21);  // debit: +7
  EXPECT_EQ(e[1].dueDate, day + 11);  // credit: -3
  EXPECT_EQ(e[2].dueDate, 0);         // not given stays not given
  EXPECT_EQ(e[6].dueDate, day);       // not chosen

  ASSERT_EQ(Run({"ZmiZZ", "Robo=FIX"}, "T"), kBatchDone) << err_;
  for (const JournalEntry& x : Entries()) EXPECT_EQ(x.sourceFile.str(), "FIX");
}

TEST_F(JournalChanges, RefusalsLeaveTheFileAsItWas) {
  const std::vector<std::vector<std::string>> refused = {
      // two documents cannot both take one number
      {"ZmiND", "Robo=FIX", "DowW=FV*", "DoNo=FV24/000009"},
      // the new number belongs to another document
      {"ZmiND", "Robo=FIX", "DowW=FV24/000001", "DoNo=KP24/000001"},
      // shifted onto the next invoice's number
      {"PrzND", "Robo=FIX", "DowW=FV24/000001", "DowG=1"},
      // a shift below zero
      {"PrzND", "Robo=FIX", "DowW=FV*", "DowG=-5"},
      // nothing chosen
      {"ZmiDK", "Robo=FIX", "DowW=XX*", "DatD=150324"},
  };
  for (const auto& args : refused) {
    SCOPED_TRACE(args[0] + " " + args[2] + " " + args[3]);
    EXPECT_EQ(Run(args, "T"), kBatchRefused) << out_;
    EXPECT_EQ(ReadNative(file("FIX.DFX")), before_);
  }
  // "Powrót" at the question.
  EXPECT_EQ(Run({"ZmiZZ", "Robo=FIX"}, "P"), kBatchRefused);
  EXPECT_EQ(ReadNative(file("FIX.DFX")), before_);
  // A month file already posted is changed only when the user insists: the
  // annual file keeps its old version.
  const std::string month = ReadNative(file("01A.DFX"));
  // "Tak" to going on, but no answer left for the change itself.
  EXPECT_EQ(Run({"ZmiZZ", "Robo=01A"}, "T"), kBatchRefused);
  EXPECT_NE(err_.find("zmiana nie dotrze do zbioru rocznego"), std::string::npos) << err_;
  EXPECT_EQ(Run({"ZmiZZ", "Robo=01A"}, "NT"), kBatchRefused);
  EXPECT_EQ(ReadNative(file("01A.DFX")), month);
  EXPECT_EQ(Run({"ZmiZZ", "Robo=01A"}, "TT"), kBatchDone) << err_;
  EXPECT_NE(ReadNative(file("01A.DFX")), month);
}

TEST_F(JournalFilesBatch, AnAnnualFileAnotherWorkstationRewritesIsLeftAlone) {
  // The database's settings for every workstation (".???" beside ".xxx"):
  // the firm works shared, so the workstations use the registry.
  std::string settings = ReadNative(file("Zel.BAL")), added;
  for (std::size_t start = 0, nl; start < settings.size(); start = nl + 1) {
    nl = settings.find('\n', start);
    if (nl == std::string::npos) nl = settings.size();
    const std::string line = settings.substr(start, nl - start);
    const std::size_t at = line.find(".xxx =");
    if (at != std::string::npos) added += line.substr(0, at) + ".??? =" + line.substr(at + 6) + "\n";
  }
  WriteNative(file("Zel.BAL"), settings + added);
  // Workstation 6 runs and has claimed the annual file for a rewrite.
  ASSERT_EQ(Run({"--station", "6", "WWgSK", "Rocz=N2024", "KonW=20*", "Rob1=R1", "Rob2=R2"}, "TT"),
            kBatchDone)
      << err_;
  StationLock six;
  ASSERT_EQ(six.Take(StationLockName(6, {})), StationLock::Result::kTaken);
  RegistryRecord claim;
  // The annual file's path as the run named it (the run leaves its folder set).
  claim.objects[0] = RegistryKey(JournalPath("N2024"), 30);
  claim.kinds[0] = '#';
  char bytes[kRegistryRecordSize];
  claim.Encode(bytes);
  ASSERT_TRUE(ClearStoppedRecords());
  {
    std::fstream f(NativePath(kRegistryPath), std::ios::binary | std::ios::in | std::ios::out);
    f.seekp(6 * kRegistryRecordSize);
    f.write(bytes, sizeof bytes);
  }
  ASSERT_EQ(ReadRegistryRecord(6).objects[0], claim.objects[0]);
  EmptyYear();
  WriteNative(file("N2024.DFX"), "");
  EXPECT_EQ(Run({"--station", "5", "LacZb", "LiZb=01A", "Biez=N2024"}, "TT"), kBatchRefused);
  EXPECT_NE(err_.find("używany na innym stanowisku"), std::string::npos) << err_;
  EXPECT_TRUE(ReadNative(file("N2024.DFX")).empty());
  EXPECT_EQ(Run({"--station", "5", "WWgSK", "Rocz=N2024", "KonW=20*", "Rob1=R1", "Rob2=R2"}, "TT"),
            kBatchRefused);
  // Once workstation 6 has stopped, its claim no longer holds.
  six.Release();
  EXPECT_EQ(Run({"--station", "5", "LacZb", "LiZb=01A", "Biez=N2024"}, "TT"), kBatchDone) << err_;
  StationExt.clear();
}

TEST_F(JournalFilesBatch, TheUnbuiltTemplateOptionSaysSoAndNeverDone) {
  EXPECT_EQ(Run({"DeWzo"}), kBatchFailed);
  EXPECT_NE(err_.find("Funkcja w przygotowaniu"), std::string::npos) << err_;
}

}  // namespace
}  // namespace zel
