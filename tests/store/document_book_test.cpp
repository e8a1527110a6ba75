// Documents of the working file: the checks before storing, the records a
// stored document becomes, corrections and deletions that leave every other
// record as it was, and two processes storing into one file at once.
#include "store/document_book.hpp"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "platform/faults.hpp"
#include "shell/file_access.hpp"
#include "shell/state.hpp"
#include "store/chart.hpp"
#include "store/store_folder.hpp"
#include "support/journal_builder.hpp"

namespace zel {
namespace {

using test::JournalBuilder;
using test::StoreFolder;

DayNo D(const char* ddmmyy) {
  return DayFromDdMmYy(ddmmyy);
}

std::string ReadNative(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<JournalEntry> Records(const std::string& bytes) {
  std::vector<JournalEntry> out;
  for (std::size_t i = 0; i + kJournalRecordSize <= bytes.size(); i += kJournalRecordSize) {
    JournalEntry e;
    DecodeJournalEntry(reinterpret_cast<const std::uint8_t*>(bytes.data() + i), &e);
    out.push_back(e);
  }
  return out;
}

// Every record of the file that does not belong to `number`, as bytes.
std::vector<std::string> OthersOf(const std::string& bytes, std::string_view number) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i + kJournalRecordSize <= bytes.size(); i += kJournalRecordSize) {
    const std::string r = bytes.substr(i, kJournalRecordSize);
    JournalEntry e;
    DecodeJournalEntry(reinterpret_cast<const std::uint8_t*>(r.data()), &e);
    if (e.documentNo.view() != number) out.push_back(r);
  }
  return out;
}

class DocumentBookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetRetryPause([](int) {});
    ChartTable& chart = Chart();
    chart.Clear();
    for (const char* s : {"100", "130", "201", "201-1", "201-2", "402"}) {
      AccountRecord r;
      r.symbol = s;
      r.name = "konto";
      chart.Put(r);
    }
    BoDate = D("010124");
    BzDate = D("311224");
  }
  void TearDown() override { SetRetryPause(nullptr); }

  static Document Sample(std::string number = "PK 1") {
    Document d;
    d.number = std::move(number);
    d.booking = D("150324");
    d.document_date = D("140324");
    d.lines = {
        {"100", "130", "1500,00", "", "", "", "wypłata"_w},
        {"201-1", "", "12,5", "FS 1/03"_w, "A", "310324", "sprzedaż ąę"_w},
        {"", "201-2", "12.50", "", "", "", ""},
    };
    return d;
  }

  StoreFolder folder_;
};

TEST_F(DocumentBookTest, ChecksSendTheCursorToTheFaultyFieldOrCell) {
  struct Case {
    const char* name;
    void (*change)(Document&);
    int field, row, column;
    const char* says;
  } cases[] = {
      {"unbalanced", [](Document& d) { d.lines[2].amount = "12,49"; }, 0, 2, kColAmount,
       "Winien 1512,50 różni się od Ma 1512,49"},
      {"unknown account", [](Document& d) { d.lines[1].debit = "999"; }, 0, 1, kColDebit,
       "Nie ma konta 999"},
      {"synthetic account", [](Document& d) { d.lines[2].credit = "201"; }, 0, 2, kColCredit,
       "Konto 201 ma konta analityczne"},
      {"booking date outside the year", [](Document& d) { d.booking = D("020125"); }, kFieldBooking,
       -1, 0, "Data dekretacji poza rokiem"},
      {"document date outside the year", [](Document& d) { d.document_date = D("311223"); },
       kFieldDocDate, -1, 0, "Data dowodu poza rokiem"},
      {"amount not a number", [](Document& d) { d.lines[0].amount = "15OO"; }, 0, 0, kColAmount,
       "Kwota nie jest liczbą: 15OO"},
      {"three decimals", [](Document& d) { d.lines[0].amount = "1,005"; }, 0, 0, kColAmount,
       "Kwota nie jest liczbą"},
      {"zero amount", [](Document& d) { d.lines[0].amount = "0,00"; }, 0, 0, kColAmount, "zerowa"},
      {"amount without accounts", [](Document& d) { d.lines[0].debit = d.lines[0].credit = "wn"; },
       0, 0, kColDebit, "Podaj konto"},
      {"bad due date", [](Document& d) { d.lines[1].due = "310224"; }, 0, 1, kColDue,
       "Błędna data terminu"},
      {"no number", [](Document& d) { d.number = "  "; }, kFieldNumber, -1, 0, "Podaj numer"},
      {"no lines", [](Document& d) { d.lines.assign(3, DocumentLine{}); }, 0, 0, kColDebit,
       "Dowód nie ma pozycji"},
  };
  Document good = Sample();
  DocumentFault none;
  ASSERT_TRUE(CheckDocument(good, Chart(), BoDate, BzDate, &none)) << WinToUtf8(none.message);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Document d = Sample();
    c.change(d);
    DocumentFault f;
    EXPECT_FALSE(CheckDocument(d, Chart(), BoDate, BzDate, &f));
    EXPECT_EQ(f.field, c.field);
    EXPECT_EQ(f.row, c.row);
    EXPECT_EQ(f.column, c.column);
    EXPECT_NE(WinToUtf8(f.message).find(c.says), std::string::npos) << WinToUtf8(f.message);
    if (c.row >= 0) {
      EXPECT_EQ(WinToUtf8(f.message).rfind("Wiersz " + std::to_string(c.row + 1), 0), 0u);
    }
  }
}

TEST_F(DocumentBookTest, StoredDocumentReadsBackAsPostingsWithCounterAccountsAndControl) {
  DocumentBook book;
  ASSERT_TRUE(book.Open("ROB"));
  EXPECT_NE(WinToUtf8(book.Message()).find("Nie ma DB\\ROB.DFX"), std::string::npos);
  DocumentFault f;
  ASSERT_TRUE(book.Append(Sample(), &f)) << WinToUtf8(f.message);
  const std::vector<JournalEntry> r = Records(ReadNative(folder_.Db("ROB.DFX")));
  ASSERT_EQ(r.size(), 5u);
  struct Want {
    const char* account;
    int side;
    const char* counter;
    int entry;
    double amount;
  } want[] = {{"100", 1, "130", 1, 1500},
              {"130", 0, "100", 1, 1500},
              {"201-1", 1, "", 2, 12.5},
              {"201-2", 0, "", 3, 12.5},
              {"100", 1, "", 4, 1512.5}};
  for (std::size_t i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(r[i].account.view(), want[i].account);
    EXPECT_EQ(r[i].side, want[i].side);
    EXPECT_EQ(r[i].counterAccount.view(), want[i].counter);
    EXPECT_EQ(r[i].entryNo, want[i].entry);
    EXPECT_DOUBLE_EQ(static_cast<double>(r[i].amount), want[i].amount);
    EXPECT_EQ(r[i].documentNo.view(), "PK 1");
    EXPECT_EQ(r[i].bookingDate, D("150324"));
    EXPECT_EQ(r[i].documentDate, D("140324"));
    EXPECT_EQ(r[i].sourceFile.view(), "ROB");
    EXPECT_EQ(r[i].journalNo, i == 4 ? -1 : 0);
  }
  // Texts in DOS Mazovia: "ą" 0x86, "ę" 0x91.
  EXPECT_EQ(r[2].description.view(), "sprzeda\xA7 \x86\x91");
  EXPECT_EQ(r[2].transactionNo.view(), "FS 1/03");
  EXPECT_EQ(r[2].dueDate, D("310324"));
  EXPECT_EQ(r[2].extraCode.view(), "A");

  EXPECT_EQ(book.Postings(), 4u);
  EXPECT_TRUE(book.Contains("PK 1"));
  ASSERT_EQ(book.Entries().size(), 1u);
  EXPECT_EQ(book.Entries()[0], "PK 1        \xD7 15-03-2024  ");
  // Loaded again, the lines are the typed ones and can be stored again.
  Document back;
  bool editable = false;
  std::string raw;
  ASSERT_TRUE(book.Load("PK 1", &back, &editable, &raw));
  EXPECT_TRUE(editable);
  ASSERT_EQ(back.lines.size(), 3u);
  EXPECT_EQ(back.lines[1].text, "sprzedaż ąę"_w);
  EXPECT_EQ(back.lines[2].credit, "201-2");
  EXPECT_EQ(back.lines[2].amount, "12,5");
  // The same number again is refused, and nothing is written.
  EXPECT_FALSE(book.Append(Sample(), &f));
  EXPECT_EQ(f.field, kFieldNumber);
  EXPECT_EQ(folder_.Size("ROB.DFX"), 5u * kJournalRecordSize);
}

TEST_F(DocumentBookTest, CorrectionAndDeletionLeaveEveryOtherRecordByteForByte) {
  // Records another program wrote, with bytes this system would not write
  // (reserved ranges), around and between the documents.
  JournalBuilder foreign;
  foreign.Post("402", D("020124"), 7, true, "FZ 9", 1).journalNo = 5;
  foreign.Post("130", D("020124"), 7, false, "FZ 9", 2);
  std::string bytes = foreign.Bytes();
  bytes[44] = 'x';
  bytes[200] = 'y';
  ASSERT_TRUE(test::WriteBytesNative(folder_.Db("ROB.DFX"), bytes));
  DocumentBook book;
  ASSERT_TRUE(book.Open("ROB"));
  DocumentFault f;
  ASSERT_TRUE(book.Append(Sample("PK 1"), &f));
  ASSERT_TRUE(book.Append(Sample("PK 2"), &f));
  const std::string before = ReadNative(folder_.Db("ROB.DFX"));

  Document d;
  bool editable = false;
  std::string raw;
  ASSERT_TRUE(book.Load("PK 1", &d, &editable, &raw));
  d.lines[0].amount = "1600";
  d.lines[1].amount = "112,5";
  d.lines[2].amount = "112,5";
  ASSERT_TRUE(book.Replace(d, raw, &f)) << WinToUtf8(f.message);
  const std::string corrected = ReadNative(folder_.Db("ROB.DFX"));
  EXPECT_EQ(OthersOf(corrected, "PK 1"), OthersOf(before, "PK 1"));
  const auto pk1 = Records(corrected);
  EXPECT_DOUBLE_EQ(static_cast<double>(pk1[2].amount), 1600);  // where PK 1 stood
  EXPECT_EQ(book.Postings(), 2u + 4u + 4u);
  EXPECT_FALSE(std::filesystem::exists(folder_.Db("ROB.DF$")));

  // Replacing with records that are no longer the file's is refused whole.
  EXPECT_FALSE(book.Replace(d, raw, &f));
  EXPECT_NE(WinToUtf8(f.message).find("zmieniony na innym stanowisku"), std::string::npos);
  EXPECT_EQ(ReadNative(folder_.Db("ROB.DFX")), corrected);

  ASSERT_TRUE(book.Load("PK 2", &d, &editable, &raw));
  ASSERT_TRUE(book.Delete("PK 2", raw, &f)) << WinToUtf8(f.message);
  const std::string deleted = ReadNative(folder_.Db("ROB.DFX"));
  EXPECT_EQ(OthersOf(deleted, "PK 2"), OthersOf(corrected, "PK 2"));
  EXPECT_EQ(deleted.size(), corrected.size() - 5 * kJournalRecordSize);
  EXPECT_FALSE(book.Contains("PK 2"));
  EXPECT_TRUE(book.Contains("FZ 9"));

  // A document another program wrote can be deleted, not replaced.
  ASSERT_TRUE(book.Load("FZ 9", &d, &editable, &raw));
  EXPECT_FALSE(editable);
}

TEST_F(DocumentBookTest, DocumentListReadsLongPathsWaitsForLocksAndAnnouncesOverflow) {
  // A folder path past 30 characters names the file whole.
  const std::string deep = "DB\\a folder name longer than thirty characters\\";
  std::filesystem::create_directories(folder_.Db("a folder name longer than thirty characters"));
  DbDir = deep;
  JournalBuilder many;
  for (int i = 0; i < 901; ++i) {
    char number[13];
    std::snprintf(number, sizeof number, "FV/%04d", 900 - i);
    many.Post("100", D("020124"), 1, true, number, 1);
  }
  ASSERT_TRUE(many.WriteTo(deep + "ROB.DFX"));
  DocumentBook book;
  ASSERT_TRUE(book.Open("ROB"));
  EXPECT_EQ(book.Count(), 901u);
  EXPECT_EQ(WinToUtf8(book.Message()), "W zbiorze jest 901 dowodów; lista pokazuje pierwsze 900");
  const std::vector<std::string> entries = book.Entries();
  ASSERT_EQ(entries.size(), 900u);
  EXPECT_EQ(entries.front().substr(0, 12), "FV/0000     ");
  EXPECT_EQ(entries.back().substr(0, 12), "FV/0899     ");
  EXPECT_EQ(book.FirstNumber(), "FV/0000");
  EXPECT_EQ(book.FreePercent(), 0);
  EXPECT_TRUE(book.Contains("FV/0900"));  // counted and found, though not listed

  // A file another workstation holds through all the retries: a message,
  // not a silently empty list.
  File held;
  ASSERT_TRUE(held.Open(deep + "ROB.DFX", Access::kReadWrite, Share::kExclusive));
  DocumentBook blocked;
  EXPECT_FALSE(blocked.Open("ROB"));
  EXPECT_NE(WinToUtf8(blocked.Message()).find("Nie odczytano listy dowodów z DB\\a folder name"),
            std::string::npos)
      << WinToUtf8(blocked.Message());
  EXPECT_EQ(blocked.Count(), 0u);
  DbDir = "DB\\";
}

// A register that refuses or accepts as told and remembers the requests.
class ScriptedRegister : public ChartRegister {
 public:
  bool Request(char command, std::string_view text) override {
    commands += command;
    objects += std::string(text) + ";";
    return accept;
  }
  bool Active() const override { return true; }
  bool accept = true;
  std::string commands, objects;
};

TEST_F(DocumentBookTest, WritesHoldTheFileInTheRegisterAndWriteNothingWhenRefused) {
  ScriptedRegister reg;
  SetChartRegister(&reg);
  DocumentBook book;
  ASSERT_TRUE(book.Open("ROB"));
  DocumentFault f;
  ASSERT_TRUE(book.Append(Sample("PK 1"), &f));
  EXPECT_EQ(reg.commands, "#-");
  EXPECT_EQ(reg.objects, "DB\\ROB.DFX;DB\\ROB.DFX;");
  const std::string stored = ReadNative(folder_.Db("ROB.DFX"));

  reg.accept = false;
  EXPECT_FALSE(book.Append(Sample("PK 2"), &f));
  EXPECT_EQ(f.field, kFieldWorkFile);
  Document d;
  bool editable = false;
  std::string raw;
  ASSERT_TRUE(book.Load("PK 1", &d, &editable, &raw));
  EXPECT_FALSE(book.Delete("PK 1", raw, &f));
  EXPECT_EQ(ReadNative(folder_.Db("ROB.DFX")), stored);
  EXPECT_EQ(reg.commands.find('-', 2), std::string::npos);  // nothing held, nothing released
  SetChartRegister(nullptr);
}

TEST_F(DocumentBookTest, FailedWritesLeaveTheFileWholeAndSaySo) {
  DocumentBook book;
  ASSERT_TRUE(book.Open("ROB"));
  DocumentFault f;
  ASSERT_TRUE(book.Append(Sample("PK 1"), &f));
  std::string stored = ReadNative(folder_.Db("ROB.DFX"));
  Document d;
  bool editable = false;
  std::string raw;
  ASSERT_TRUE(book.Load("PK 1", &d, &editable, &raw));
  d.lines[0].amount = d.lines[1].amount = d.lines[2].amount = "7";
  // Every write step of a correction in turn (making the copy, writing it,
  // forcing it to disk), the rename over the file, and a failed read.
  struct Case {
    const char* name;
    FaultOp op;
    int nth;
  } cases[] = {{"append write", FaultOp::kWrite, 1}, {"copy write 1", FaultOp::kWrite, 1},
               {"copy write 2", FaultOp::kWrite, 2}, {"copy write 3", FaultOp::kWrite, 3},
               {"copy write 4", FaultOp::kWrite, 4}, {"rename over", FaultOp::kRename, 1},
               {"copy read", FaultOp::kRead, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InjectFault(c.op, c.nth, false);
    const bool ok = std::string(c.name) == "append write" ? book.Append(Sample("PK 2"), &f)
                                                          : book.Replace(d, raw, &f);
    const int fired = FaultsFired();
    ClearFaults();
    if (fired == 0) {
      // Fewer steps of that kind than the case counts: it went through.
      EXPECT_TRUE(ok) << WinToUtf8(f.message);
      stored = ReadNative(folder_.Db("ROB.DFX"));
      ASSERT_TRUE(book.Load("PK 1", &d, &editable, &raw));
      continue;
    }
    EXPECT_FALSE(ok);
    EXPECT_EQ(f.field, kFieldWorkFile);
    EXPECT_NE(WinToUtf8(f.message).find("ROB.DF"), std::string::npos) << WinToUtf8(f.message);
    EXPECT_EQ(ReadNative(folder_.Db("ROB.DFX")), stored);
    EXPECT_FALSE(std::filesystem::exists(folder_.Db("ROB.DF$")));
    EXPECT_TRUE(book.Contains("PK 1"));
    EXPECT_FALSE(book.Contains("PK 2"));
  }
  // The list is whole after the failures: a correction goes through.
  d.lines[0].amount = d.lines[1].amount = d.lines[2].amount = "8";
  ASSERT_TRUE(book.Replace(d, raw, &f)) << WinToUtf8(f.message);
}

TEST_F(DocumentBookTest, TwoProcessesStoringAtOnceLoseNothing) {
  constexpr int kEach = 200;
  pid_t children[2];
  for (int c = 0; c < 2; ++c) {
    children[c] = fork();
    ASSERT_GE(children[c], 0);
    if (children[c] == 0) {
      // Each process reads the list once and then appends its documents,
      // while the other appends its own.
      // They wait for each other as workstations do, with real pauses
      // between the attempts to open the file.
      SetRetryPause(nullptr);
      DocumentBook book;
      book.Open("ROB");
      int failed = 0;
      for (int i = 0; i < kEach; ++i) {
        DocumentFault f;
        if (!book.Append(Sample("P" + std::to_string(c) + "/" + std::to_string(i)), &f)) ++failed;
      }
      _exit(failed);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
  const std::vector<JournalEntry> r = Records(ReadNative(folder_.Db("ROB.DFX")));
  ASSERT_EQ(r.size(), 2u * kEach * 5);
  // Every document whole: its five records one after another.
  std::map<std::string, int> per_document;
  for (std::size_t i = 0; i < r.size(); i += 5) {
    for (std::size_t k = 0; k < 5; ++k)
      EXPECT_EQ(r[i + k].documentNo.view(), r[i].documentNo.view());
    ++per_document[r[i].documentNo.str()];
  }
  EXPECT_EQ(per_document.size(), 2u * kEach);
  // A process that read the list before the other stored still refuses a
  // number the other has stored since.
  DocumentBook late;
  ASSERT_TRUE(late.Open("NONE"));
  DocumentBook early;
  ASSERT_TRUE(early.Open("ROB"));
  DocumentBook other;
  ASSERT_TRUE(other.Open("ROB"));
  DocumentFault f;
  ASSERT_TRUE(other.Append(Sample("NEW 1"), &f));
  EXPECT_FALSE(early.Append(Sample("NEW 1"), &f));
  EXPECT_EQ(f.field, kFieldNumber);
}

}  // namespace
}  // namespace zel
