// The imports and the month archiving through zel-batch on the sample year:
// dBase and .xls files with Polish letters read back through the store, bad
// rows that leave the old output whole, the newest file found only where the
// search may look, and month fixtures archived file by file.
#include <gtest/gtest.h>
#include <shapefil.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/batch.hpp"
#include "app/demo.hpp"
#include "app/demo_files.hpp"
#include "app/demo_imports.hpp"
#include "books/imports.hpp"
#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "platform/faults.hpp"
#include "platform/file.hpp"
#include "platform/paths.hpp"
#include "shell/file_access.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "store/chart.hpp"
#include "store/record_source.hpp"
#include "support/temp_folder.hpp"

namespace zel {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const std::string& native) {
  std::ifstream in(native, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void SetTime(const std::string& native, int seconds_ago) {
  const auto t = fs::file_time_type::clock::now() - std::chrono::seconds(seconds_ago);
  fs::last_write_time(native, t);
}

class ImportBatch : public ::testing::Test {
 protected:
  // The sample year is written once; each test works on its own copy.
  static void SetUpTestSuite() {
    sample_ = MakeTempFolder("zel_import_sample");
    std::string err;
    ASSERT_TRUE(SetZelFolder(sample_, &err)) << err;
    ASSERT_TRUE(WriteDemoYear(BuildDemoYear(DemoOptions{}), "DB\\", &err)) << err;
  }
  static void TearDownTestSuite() { fs::remove_all(sample_); }

  void SetUp() override {
    home_ = MakeTempFolder("zel_import_batch");
    fs::copy(sample_ + "/DB", home_ + "/DB", fs::copy_options::recursive);
    std::string err;
    ASSERT_TRUE(SetZelFolder(home_, &err)) << err;
    db_ = home_ + "/DB";
    SetRetryPause([](int) {});
  }
  void TearDown() override {
    SetRetryPause(nullptr);
    fs::remove_all(home_);
  }

  int Run(std::vector<std::string> args) {
    out_.clear();
    err_.clear();
    args.insert(args.begin(), {"--db", db_, "--today", "15-01-2025"});
    BatchRequest r;
    std::string why;
    EXPECT_TRUE(ParseBatchArgs(args, &r, &why)) << why;
    r.home = home_;
    BatchIo io;
    io.out = [this](std::string_view t) { out_.append(t); };
    io.err = [this](std::string_view t) { err_.append(t); };
    return RunBatch(r, io);
  }

  // The chart file as the program loads it (texts in Windows-1250).
  ChartTable LoadChartFile(const std::string& native) {
    const std::string bytes = ReadBytes(native);
    MemorySource source(bytes);
    ChartTable t;
    t.LoadFrom(source);
    return t;
  }

  static std::string sample_;
  std::string home_, db_, out_, err_;
};
std::string ImportBatch::sample_;

TEST_F(ImportBatch, SzDbfReadsTheNewestFilesBackThroughTheStore) {
  const std::string drive = home_ + "/drive_c";
  const std::string year = drive + "/Eksport/2024";
  const std::string older = drive + "/Eksport/2023";
  fs::create_directories(year);
  fs::create_directories(older);
  fs::create_directories(drive + "/.kopia");
  fs::create_directories(home_ + "/outside");
  std::string err;
  ASSERT_TRUE(WriteDemoImportDbfs(year, 40, &err)) << err;
  // Decoys with one account each: older, in a dot folder, behind a link.
  const std::vector<std::vector<std::string>> decoy = {{"999", "Wabik"}};
  for (const std::string& f : {older, drive + "/.kopia", home_ + "/outside"}) {
    ASSERT_TRUE(WriteDbf(f + "/KONTA.dbf", ChartDbfFields(), decoy, &err)) << err;
  }
  SetTime(older + "/KONTA.dbf", 3600);
  SetTime(year + "/Konta.dbf", 60);
  ASSERT_EQ(symlink((home_ + "/outside").c_str(), (drive + "/link").c_str()), 0);

  ASSERT_EQ(Run({"SzDbf", "Scie=c"}), kBatchDone) << err_;
  EXPECT_NE(out_.find("Konta.PFX (12)"), std::string::npos) << out_;
  EXPECT_NE(out_.find("Obroty.DFX (40)"), std::string::npos) << out_;

  ChartTable chart = LoadChartFile(db_ + "/Konta.PFX");
  const auto rows = DemoChartDbfRows();
  ASSERT_EQ(chart.Count(), rows.size() + 1);
  for (const auto& row : rows) {
    std::size_t slot = 0;
    ASSERT_TRUE(chart.Contains(row[0], &slot)) << row[0];
    const AccountRecord a = chart.At(slot);
    EXPECT_EQ(a.name.view(), row[1]);
    EXPECT_EQ(a.address.view(), row[17]);
    EXPECT_EQ(a.extra.view(), row[5] + " " + row[6]);
  }
  EXPECT_FALSE(chart.Contains("999"));

  const std::string journal = ReadBytes(db_ + "/Obroty.DFX");
  ASSERT_EQ(journal.size(), 40 * kJournalRecordSize);
  const auto turnovers = DemoTurnoverDbfRows(40);
  for (std::size_t i = 0; i < turnovers.size(); ++i) {
    const auto& row = turnovers[i];
    JournalEntry e;
    ASSERT_TRUE(DecodeJournalEntry(
        reinterpret_cast<const std::uint8_t*>(journal.data()) + i * kJournalRecordSize, &e));
    EXPECT_EQ(e.account.view(), row[3]);
    EXPECT_EQ(e.documentNo.view(), row[0] + "-" + row[1]);
    const std::string ddmmyy = row[2].substr(6, 2) + row[2].substr(4, 2) + row[2].substr(2, 2);
    EXPECT_EQ(e.bookingDate, DayFromDdMmYy(ddmmyy));
    EXPECT_EQ(e.side != 0, i % 2 == 0);
    EXPECT_FALSE(AmountsDiffer(e.amount, ParseNumber(e.side != 0 ? row[4] : row[5])));
    EXPECT_EQ(DosToWin(e.transactionNo.view()), row[6]);
    EXPECT_EQ(e.entryNo, i + 1);
    EXPECT_EQ(e.journalNo, static_cast<int>(i + 1));
  }
}

TEST_F(ImportBatch, BadTurnoverRowsLeaveTheOldFileWhole) {
  struct Case {
    const char* what;
    int row;        // 0-based data row changed
    int column;     // 0-based column
    const char* value;
    const char* message;
  };
  const Case cases[] = {
      {"31 February", 2, 2, "20240231", "Wiersz 3: \"2024-02-31\""},
      {"amounts on both sides", 4, 5, "1.00", "Wiersz 5: kwota i po stronie Wn, i Ma"},
  };
  const std::string folder = home_ + "/drive_c/Eksport";
  fs::create_directories(folder);
  std::ofstream(db_ + "/Obroty.DFX", std::ios::binary) << "stary plik";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto rows = DemoTurnoverDbfRows(10);
    rows[static_cast<std::size_t>(c.row)][static_cast<std::size_t>(c.column)] = c.value;
    std::string err;
    ASSERT_TRUE(WriteDbf(folder + "/Konta.dbf", ChartDbfFields(), DemoChartDbfRows(), &err));
    ASSERT_TRUE(WriteDbf(folder + "/Ksiega.dbf", TurnoverDbfFields(), rows, &err));
    EXPECT_EQ(Run({"SzDbf", "Scie=C:\\Eksport"}), kBatchFailed);
    EXPECT_NE(err_.find(c.message), std::string::npos) << err_;
    EXPECT_EQ(ReadBytes(db_ + "/Obroty.DFX"), "stary plik");
    for (const auto& e : fs::directory_iterator(db_))
      EXPECT_EQ(e.path().filename().string().find('~'), std::string::npos) << e.path();
  }
  // A path the search cannot use is refused with its field.
  EXPECT_EQ(Run({"SzDbf", "Scie=C\\Eksport"}), kBatchRefused);
  EXPECT_NE(err_.find("pole Scie: Po literze dysku dwukropek"), std::string::npos) << err_;
  EXPECT_EQ(Run({"SzDbf", "Scie=C:\\Brak"}), kBatchRefused);
  EXPECT_NE(err_.find("Nie widzę Konta.dbf"), std::string::npos) << err_;
}

TEST_F(ImportBatch, ImpPlXReadsTheWorkbookWithPolishLetters) {
  const fs::path fixture = fs::path(ZEL_TESTS_SOURCE_DIR) / "books" / "data" / "PlanKont.XLS";
  fs::copy_file(fixture, db_ + "/PlanKont.XLS");
  ASSERT_EQ(Run({"ImpPlX"}), kBatchDone) << err_;
  EXPECT_NE(out_.find("Konta.PFX (4)"), std::string::npos) << out_;
  ChartTable chart = LoadChartFile(db_ + "/Konta.PFX");
  struct Want {
    const char* symbol;
    const char* name;
    const char* address;
    const char* nip;
    const char* short_name;
  };
  const Want wants[] = {
      {"201-05", "Kowalski", "Łódź", "", "Kowalski, Łódź"},
      {"202-01", "Źródło sp. z o.o.", "", "123-456-78-90", "ŹRÓDŁO"},
      {"700", "Sprzedaż towarów żółć ĄĆĘŁŃÓŚŻŹ", "", "", "Sprzedaż towaró"},
      {"100", "Kasa gotówkowa złotówkowa długa nazwa", "", "", "Kasa gotówkowa "},
  };
  ASSERT_EQ(chart.Count(), 5u);
  for (const Want& w : wants) {
    SCOPED_TRACE(w.symbol);
    std::size_t slot = 0;
    ASSERT_TRUE(chart.Contains(w.symbol, &slot));
    const AccountRecord a = chart.At(slot);
    EXPECT_EQ(WinToUtf8(a.name.view()), w.name);
    EXPECT_EQ(WinToUtf8(a.address.view()), w.address);
    EXPECT_EQ(WinToUtf8(a.nip.view()), w.nip);
    EXPECT_EQ(WinToUtf8(a.shortName.view()), w.short_name);
  }
}

TEST_F(ImportBatch, TheChartInUseIsNeverReplaced) {
  const std::string before = ReadBytes(db_ + "/PlanKont.PFX");
  ASSERT_FALSE(before.empty());
  ChartPath = "DB\\planKONT.pfx";
  AccountRecord r;
  r.symbol = "100";
  r.name = "Kasa";
  EXPECT_FALSE(WriteImportedChart("DB\\PlanKont.PFX", {r}));
  EXPECT_NE(LastMessage().find("plan kont w użyciu"_w), std::string::npos);
  EXPECT_EQ(ReadBytes(db_ + "/PlanKont.PFX"), before);
  EXPECT_TRUE(WriteImportedChart("DB\\Konta.PFX", {r}));
  EXPECT_EQ(LastMessage(), "Zapisano DB\\Konta.PFX (1)");
  ChartPath = "";
}

TEST_F(ImportBatch, ZamknMovesEachFileItCanAndCountsTheRest) {
  // The sample year has month files of its own: months 03 and 05 hold only
  // the files this test makes.
  for (const auto& entry : fs::directory_iterator(db_)) {
    const std::string name = entry.path().filename().string();
    if (entry.is_regular_file() && (name.rfind("03", 0) == 0 || name.rfind("05", 0) == 0))
      fs::remove(entry.path());
  }
  for (const char* f : {"03A.DFX", "03-1.DFX", "03.DFX", "03A.BAK", "03b.zfx", "04A.DFX",
                        "03.BAK"}) {
    std::ofstream(db_ + "/" + f) << f;
  }
  EXPECT_EQ(Run({"Zamkn", "Mies=13"}), kBatchRefused);
  EXPECT_EQ(Run({"Zamkn", "Mies=00"}), kBatchRefused);
  EXPECT_NE(err_.find("pole Mies: Miesiąc od 01 do 12"), std::string::npos) << err_;

  {
    // Another program holds 03-1.DFX: it stays, the others move.
    File held;
    ASSERT_TRUE(held.Open("DB\\03-1.DFX", Access::kReadWrite, Share::kExclusive));
    EXPECT_EQ(Run({"Zamkn", "Mies=03"}), kBatchFailed);
    EXPECT_NE(err_.find("Przeniesiono 3, nie przeniesiono 1: 03-1.DFX"), std::string::npos)
        << err_;
    // The option's own reason is the only line: no "nothing made" after it.
    EXPECT_EQ(err_.find("Opcja nie utworzyła"), std::string::npos) << err_;
  }
  EXPECT_TRUE(fs::exists(db_ + "/03/03A.DFX"));
  EXPECT_TRUE(fs::exists(db_ + "/03/BAK/03A.BAK"));
  EXPECT_TRUE(fs::exists(db_ + "/03/ZFX/03b.zfx"));
  EXPECT_TRUE(fs::exists(db_ + "/03-1.DFX"));
  for (const char* stays : {"03.DFX", "03.BAK", "04A.DFX"})
    EXPECT_TRUE(fs::exists(db_ + "/" + stays)) << stays;

  // The month folder now holds journals: a second run stops and asks.
  EXPECT_EQ(Run({"Zamkn", "Mies=03", "--answers", "N"}), kBatchFailed);
  EXPECT_NE(err_.find("są już zbiory .DFX"), std::string::npos) << err_;
  EXPECT_TRUE(fs::exists(db_ + "/03-1.DFX"));

  // A month with nothing held moves everything and says how much.
  std::ofstream(db_ + "/05A.DFX") << "x";
  std::ofstream(db_ + "/05A.ZFX") << "x";
  EXPECT_EQ(Run({"Zamkn", "Mies=5"}), kBatchDone) << err_;
  EXPECT_NE(out_.find("Gotowe. Przeniesiono do"), std::string::npos) << out_;
  EXPECT_NE(out_.find("05: 2"), std::string::npos) << out_;
}

TEST_F(ImportBatch, ADbfIsReadInTheCodePageItNames) {
  // The letters are written as code page 852 bytes with no language byte;
  // a ".cpg" file beside the table decides how they are read.
  const std::string letters = "Żółć Ślęża"_w;
  std::string as852 = letters;
  for (char& ch : as852) {
    for (std::size_t i = 0; i < PolishWin.size(); ++i)
      if (static_cast<std::uint8_t>(ch) == PolishWin[i]) {
        ch = static_cast<char>(Polish852[i]);
        break;
      }
  }
  struct Case {
    const char* cpg;  // nullptr: no .cpg file
    std::string want;
  };
  const Case cases[] = {{nullptr, letters}, {"852", letters}, {"CP1250", as852}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cpg != nullptr ? c.cpg : "no .cpg");
    const std::string path = home_ + "/Konta.dbf";
    std::string err;
    ASSERT_TRUE(WriteDbf(path, {{"NAZWA", 'C', 20, 0}}, {{letters}}, &err, 0)) << err;
    fs::remove(home_ + "/Konta.cpg");
    if (c.cpg != nullptr) std::ofstream(home_ + "/Konta.cpg") << c.cpg;
    auto sheet = OpenDbfSheet(path, &err);
    ASSERT_TRUE(sheet) << err;
    EXPECT_EQ(sheet->Cell(1, 1), "NAZWA");
    EXPECT_EQ(sheet->Cell(2, 1), c.want);
  }
}

TEST_F(ImportBatch, DeletedDbfRecordsAreNoRows) {
  const std::string path = home_ + "/Konta.dbf";
  std::string err;
  ASSERT_TRUE(WriteDbf(path, {{"SYMBOL", 'C', 10, 0}}, {{"100"}, {"200"}, {"300"}}, &err)) << err;
  DBFHandle dbf = DBFOpen(path.c_str(), "rb+");
  ASSERT_NE(dbf, nullptr);
  DBFMarkRecordDeleted(dbf, 1, 1);
  DBFClose(dbf);
  auto sheet = OpenDbfSheet(path, &err);
  ASSERT_TRUE(sheet) << err;
  EXPECT_EQ(sheet->Rows(), 3);
  EXPECT_EQ(sheet->Cell(2, 1), "100");
  EXPECT_EQ(sheet->Cell(3, 1), "300");
}

TEST_F(ImportBatch, ARowReadAtOnceGivesTheCellsOneByOne) {
  // Padded texts, Polish letters (code page 852), numbers and dates; the
  // second record gets a NUL byte inside its first field, where the cell ends.
  const std::string path = home_ + "/Ksiega.dbf";
  std::string err;
  ASSERT_TRUE(WriteDbf(path,
                       {{"DOK", 'C', 10, 0}, {"KONTO", 'C', 25, 0}, {"WN", 'N', 15, 2},
                        {"DATA", 'D', 8, 0}, {"KLUCZ", 'C', 20, 0}},
                       {{"FV", "201-1", "12.50", "20240315", "Żółć"_w},
                        {"ABCDEF", " 202 ", "-3.00", "20241231", "x y"},
                        {"", "", "7.25", "", ""}},
                       &err))
      << err;
  {
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    unsigned char head[12] = {};
    f.read(reinterpret_cast<char*>(head), sizeof head);
    const int header = head[8] | head[9] << 8, length = head[10] | head[11] << 8;
    f.seekp(header + length + 1 + 3);  // record 2, after its deletion mark: "ABC\0EF"
    f.put('\0');
  }
  auto sheet = OpenDbfSheet(path, &err);
  ASSERT_TRUE(sheet) << err;
  ASSERT_EQ(sheet->Rows(), 4);
  const std::vector<std::vector<std::string>> want = {
      {"DOK", "KONTO", "WN", "DATA", "KLUCZ"},
      {"FV", "201-1", "12.50", "2024-03-15", "Żółć"_w},
      {"ABC", "202", "-3.00", "2024-12-31", "x y"},
      {"", "", "7.25", "", ""}};
  for (int r = 1; r <= 4; ++r) {
    SCOPED_TRACE(r);
    // Two columns more than the file has: those read as empty.
    std::string_view views[7];
    std::string scratch[7];
    sheet->RowViews(r, 7, views, scratch);
    for (int c = 1; c <= 7; ++c) {
      const std::string one = sheet->Cell(r, c);
      const auto i = static_cast<std::size_t>(c - 1);
      EXPECT_EQ(one, i < 5 ? want[static_cast<std::size_t>(r - 1)][i] : "") << c;
      EXPECT_EQ(std::string(views[i]), one) << c;
    }
  }
}

TEST_F(ImportBatch, AFaultAtAnyStepOfTheWriteLeavesTheOldFileWhole) {
  const std::string old_bytes(3 * kJournalRecordSize, 'x');
  std::ofstream(db_ + "/Obroty.DFX", std::ios::binary) << old_bytes;
  MemorySheet sheet({{"h"}, {"FV", "1", "2024-03-15", "201", "1.00", "0"}});
  TurnoverImport rows;
  std::string err;
  ASSERT_TRUE(ReadDbfTurnovers(sheet, nullptr, &rows, &err)) << err;
  struct Case {
    const char* step;
    FaultOp op;
    int nth;
  };
  const Case cases[] = {{"creating the new file", FaultOp::kOpen, 2},
                        {"writing the records", FaultOp::kWrite, 1},
                        {"forcing them to disk", FaultOp::kWrite, 2},
                        {"renaming over the old file", FaultOp::kRename, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step);
    InjectFault(c.op, c.nth, false);
    EXPECT_FALSE(WriteImportedTurnovers("DB\\Obroty.DFX", rows));
    EXPECT_EQ(FaultsFired(), 1);
    ClearFaults();
    EXPECT_NE(LastMessage().find("Obroty.DFX"), std::string::npos) << LastMessage();
    EXPECT_EQ(ReadBytes(db_ + "/Obroty.DFX"), old_bytes);
    for (const auto& e : fs::directory_iterator(db_))
      EXPECT_EQ(e.path().filename().string().find('~'), std::string::npos) << e.path();
  }
  EXPECT_TRUE(WriteImportedTurnovers("DB\\Obroty.DFX", rows));
  EXPECT_EQ(ReadBytes(db_ + "/Obroty.DFX").size(), kJournalRecordSize);
}

// A window that asks to stop at once.
class StoppingWindow : public SilentOptionServices {
 public:
  bool AbortRequested() override { return true; }
};

TEST_F(ImportBatch, TheSearchStopsOnEsc) {
  StoppingWindow window;
  bool aborted = false;
  EXPECT_EQ(FindNewestFile(home_, "Konta.dbf", window, &aborted), "");
  EXPECT_TRUE(aborted);
}

}  // namespace
}  // namespace zel
