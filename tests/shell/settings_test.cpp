#include "shell/settings.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <string>

#include "common/cp1250.hpp"
#include "platform/faults.hpp"
#include "platform/file.hpp"
#include "platform/folders.hpp"
#include "platform/zel_test_folder.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "shell/status_recorder.hpp"

namespace zel {
namespace {

using testing::RunChild;
using testing::StatusRecorder;
using testing::ZelTestFolder;

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StationExt = ".xxx";
    DbDir = "FIRMA\\";
    mkdir(dir.Native("#").c_str(), 0777);
    mkdir(dir.Native("FIRMA").c_str(), 0777);
  }
  void TearDown() override {
    StationExt = "";
    DbDir = "";
  }
  void Station(const std::string& utf8) { dir.Put("#/Zel.BAL", Utf8ToWin(utf8)); }
  std::string StationText() { return dir.Get("#/Zel.BAL"); }

  ZelTestFolder dir;
  StatusRecorder rec;
};

TEST(SettingsKeys, NormalisedForm) {
  struct Row {
    const char* name;
    const char* key;
    const char* normal;
  };
  const Row rows[] = {
      {"record line", " DatyBOBZ.xxx = 01-01-2024", "DATYBOBZ.XXX"},
      {"spaces and signs dropped", "Dla kogo.005", "DLAKOGO.005"},
      {"padded key", "   MenLT.xxx = 1;2", "MENLT.XXX"},
      {"cut to twelve", "ABCDEFGHIJKLMNOP", "ABCDEFGHIJKL"},
      {"wildcards kept", " DatyBOBZ.??? = x", "DATYBOBZ.???"},
      {"nothing before =", "= value", ""},
      {"Polish letters upper-cased", "źródło", "ŹRÓDŁO"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(NormalizeKey(Utf8ToWin(r.key)), Utf8ToWin(r.normal));
  }
  StationExt = ".005";
  EXPECT_EQ(WantedKey("DatyBOBZ"), "DATYBOBZ.005");
  EXPECT_EQ(WantedKey("FolderIE.xxx"), "FOLDERIE.XXX");
  EXPECT_EQ(WantedKey("Dla kogo"), "DLAKOGO.005");
  StationExt = "";
}

TEST(SettingsKeys, WildcardMatching) {
  struct Row {
    const char* stored;
    const char* wanted;
    bool match;
  };
  const Row rows[] = {
      {"DATYBOBZ.???", "DATYBOBZ.005", true},
      {"DATYBOBZ.???", "DATYBOBZ.XXX", true},
      {"DATYBOBZ.005", "DATYBOBZ.006", false},
      {"DATYBOBZ.??", "DATYBOBZ.005", false},  // lengths differ
      {"????????.XXX", "KONOKIEN.XXX", true},
      {"KONOKIEN.XXX", "KONOKIEN.XX?", false},  // "?" only wild in the stored key
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.stored) + " ~ " + r.wanted);
    EXPECT_EQ(KeyMatches(r.stored, r.wanted), r.match);
  }
}

TEST_F(SettingsTest, ARecordWithWildcardsServesEveryWorkstation) {
  dir.Put("FIRMA/Zel.BAL", "\r\n DatyBOBZ.??? = 01-01-2024;31-12-2024\r\n DatyBOBZ.005 = późny");
  for (const char* ext : {".xxx", ".005", ".197"}) {
    SCOPED_TRACE(ext);
    StationExt = ext;
    EXPECT_EQ(ReadSetting(true, "DatyBOBZ"), "01-01-2024;31-12-2024") << "the first match wins";
    EXPECT_EQ(SettingField(2), "31-12-2024");
  }
}

TEST_F(SettingsTest, FieldsNumbersAndYes) {
  Station(" KonOkien.xxx = c Mono;Bold;10;9;;-4;x;3;2;T;11\r\n PCNDZKK6.xxx =   12;T");
  EXPECT_EQ(ReadSetting(false, "KonOkien"), "c Mono;Bold;10;9;;-4;x;3;2;T;11");
  EXPECT_TRUE(SettingFound());
  EXPECT_EQ(SettingField(1), "c Mono");
  EXPECT_EQ(SettingNumber(3), 10);
  EXPECT_EQ(SettingNumber(5), 0);  // empty field
  EXPECT_EQ(SettingNumber(6), -4);
  EXPECT_EQ(SettingNumber(7), 0);   // not a number
  EXPECT_EQ(SettingField(9), "2");  // ten fields and more keep nine
  EXPECT_EQ(SettingField(10), "");
  EXPECT_EQ(SettingNumber(0), 0);
  EXPECT_EQ(ReadSetting(false, "PCNDZKK6"), "12;T") << "leading spaces of the value go";
  EXPECT_TRUE(SettingYes(2));
  EXPECT_FALSE(SettingYes(1));
  EXPECT_EQ(ReadSetting(false, "Brak"), "");
  EXPECT_FALSE(SettingFound());
  EXPECT_EQ(SettingField(1), "") << "a missed record leaves no old fields";
  ::unlink(dir.Native("#/Zel.BAL").c_str());
  EXPECT_EQ(ReadSetting(false, "KonOkien"), "");
  EXPECT_EQ(SettingField(1), "");
  EXPECT_TRUE(rec.shown.empty());
}

TEST_F(SettingsTest, DamagedFilesAreReadWithoutHarm) {
  std::string text = "\r\nno equals sign at all\r\n";
  text += std::string(100000, 'Q') + " = very long line\r\n";
  text += std::string("\x00\x01\xff\x1a = binary\r\n", 15);
  text += " KonOkienXXXXXXXXXXXX.xxx = too long a key\n";  // cut to twelve: no match
  text += " KonPrint.xxx = " + std::string(300, 'f') + ";" + std::string(100, 's') + "\r\n";
  text += " KonPrint.xxx = second";
  Station(text);
  EXPECT_EQ(ReadSetting(false, "KonPrint"), std::string(70, 'f'));
  EXPECT_EQ(SettingField(1), std::string(80, 'f'));
  EXPECT_EQ(SettingFieldWide(1), std::string(250, 'f'));
  EXPECT_EQ(SettingField(2), std::string(80, 's'));
  // Both keys are compared by their first twelve characters.
  EXPECT_EQ(ReadSetting(false, "KonOkienXXXX"), "too long a key");
  EXPECT_EQ(ReadSetting(false, "no equals sign"), "");
}

TEST_F(SettingsTest, WritingReplacesAddsAndKeepsOtherRecords) {
  Station(
      "\r\n  Rejestr.#\\Zel.BAL\r\n KonPrint.xxx = Arial;Bold\r\n KonPrint.005 = inny\r\n "
      "DirxBaza.xxx = A\\;P");
  WriteSetting(false, "KonPrint", "c Consolas;----");
  WriteSetting(false, "MenLT", "40;50");
  EXPECT_EQ(StationText(),
            "\r\n  Rejestr.#\\Zel.BAL\r\n KonPrint.005 = inny\r\n DirxBaza.xxx = A\\;P\r\n"
            " KonPrint.xxx = c Consolas;----\r\n"
            "    MenLT.xxx = 40;50");
  EXPECT_EQ(ReadSetting(false, "MenLT"), "40;50");
  EXPECT_EQ(ReadSetting(false, "menlt"), "40;50");
  EXPECT_EQ(ReadSetting(false, "KonPrint"), "c Consolas;----");
  EXPECT_FALSE(IsFile("#\\Zel.BAL.xxx")) << "no temporary file left";
  const std::string long_folder(120, 'd');
  WriteSetting(false, "DirxBaza", long_folder + ";PLAN");
  ReadSetting(false, "DirxBaza");
  EXPECT_EQ(SettingFieldWide(1), long_folder) << "a long folder survives";
}

TEST_F(SettingsTest, WritingTheValueARecordHasLeavesTheFileAlone) {
  Station("\r\n KonPrint.xxx = Arial;Bold");
  const std::int64_t old_stamp = 1500000000000000000;
  ASSERT_TRUE(SetModifiedTime("#\\Zel.BAL", old_stamp));
  WriteSetting(false, "KonPrint", "Arial;Bold");
  FileInfo info;
  ASSERT_TRUE(GetFileInfo("#\\Zel.BAL", &info));
  EXPECT_EQ(info.modified_ns, old_stamp);
  WriteSetting(false, "KonPrint", "Arial;----");
  ASSERT_TRUE(GetFileInfo("#\\Zel.BAL", &info));
  EXPECT_NE(info.modified_ns, old_stamp);
}

TEST_F(SettingsTest, NothingIsWrittenBeforeLogin) {
  StationExt = "";
  WriteSetting(false, "KonPrint", "Arial;Bold");
  EXPECT_FALSE(IsFile("#\\Zel.BAL"));
}

TEST_F(SettingsTest, AMissingFileIsAwaitedThenCreated) {
  WriteSetting(true, "DatyBOBZ", "01-01-2024;31-12-2024");
  EXPECT_EQ(rec.waits, 7);
  EXPECT_EQ(rec.wait_ms, 333);
  EXPECT_EQ(dir.Get("FIRMA/Zel.BAL"),
            "\r\n  Rejestr.FIRMA\\Zel.BAL\r\n DatyBOBZ.xxx = 01-01-2024;31-12-2024");
  // A database folder that is missing loses the change at once.
  DbDir = "BRAK\\";
  rec.waits = 0;
  WriteSetting(true, "DatyBOBZ", "01-01-2024;31-12-2024");
  EXPECT_EQ(rec.waits, 0);
  EXPECT_EQ(rec.pauses, 0);
  EXPECT_EQ(LastMessage(), "Nie ma folderu BRAK\\");
  EXPECT_FALSE(IsFolder("BRAK"));
  // The workstation file: its folder "#" is created too.
  rmdir(dir.Native("#").c_str());
  WriteSetting(false, "KonPrint", "Arial;Bold");
  EXPECT_EQ(StationText(), "\r\n  Rejestr.#\\Zel.BAL\r\n KonPrint.xxx = Arial;Bold");
}

TEST_F(SettingsTest, AFileLockedThroughTheRetriesKeepsDefaultsAndLosesOnlyThatChange) {
  Station("\r\n KonPrint.xxx = Arial;Bold");
  File holder;
  ASSERT_TRUE(holder.Open("#\\Zel.BAL", Access::kReadWrite, Share::kExclusive));
  EXPECT_EQ(ReadSetting(false, "KonPrint"), "");
  EXPECT_TRUE(rec.Saw("@110 #\\Zel.BAL z aPulpit:zRej"));
  rec.shown.clear();
  WriteSetting(false, "KonPrint", "Times;----");
  EXPECT_TRUE(rec.Saw("@1 #\\Zel.BAL z aPulpit:wRej.2"));
  holder.Close();
  EXPECT_EQ(StationText(), "\r\n KonPrint.xxx = Arial;Bold");
  EXPECT_EQ(LastMessage(), "");
}

// Whatever single operation fails while a record is written, the file holds
// either the old or the new records, and no temporary file stays.
TEST_F(SettingsTest, AFailedWriteLeavesTheOldFileWhole) {
  const std::string old_text = "\r\n KonPrint.xxx = Arial;Bold\r\n DirxBaza.xxx = A\\;P";
  struct Row {
    const char* name;
    FaultOp op;
    int nth;
  };
  const Row rows[] = {
      {"opening the new file", FaultOp::kOpen, 3},   {"reading the old file", FaultOp::kRead, 2},
      {"emptying the new file", FaultOp::kWrite, 1}, {"writing the new file", FaultOp::kWrite, 2},
      {"flushing the new file", FaultOp::kWrite, 3}, {"renaming over", FaultOp::kRename, 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Station(old_text);
    InjectFault(r.op, r.nth, false);
    WriteSetting(false, "KonPrint", "Times;----");
    EXPECT_EQ(FaultsFired(), 1);
    ClearFaults();
    EXPECT_EQ(StationText(), old_text);
    EXPECT_FALSE(IsFile("#\\Zel.BAL.xxx"));
    WriteSetting(false, "KonPrint", "Times;----");
    EXPECT_EQ(ReadSetting(false, "KonPrint"), "Times;----");
  }
}

// Two workstations write their own records into one database file while a
// third process reads it all the time: the reader never finds the file
// missing or cut, and at the end every record of both writers is there.
TEST_F(SettingsTest, ConcurrentWritersAndAReaderInThreeProcesses) {
  WriteSetting(true, "Start", "1");
  constexpr int kRecords = 40;
  auto writer = [](const char* ext) {
    return [ext]() {
      StationExt = ext;
      SetRetryPause([](int) { usleep(500); });
      SetSettingsWait([](int) { usleep(1000); });
      for (int i = 0; i < kRecords; ++i) {
        WriteSetting(true, "Klucz" + std::to_string(i), std::string(ext) + "=" + std::to_string(i));
      }
      return 0;
    };
  };
  int stop_pipe[2];
  ASSERT_EQ(pipe(stop_pipe), 0);
  const pid_t reader = fork();
  if (reader == 0) {
    close(stop_pipe[1]);
    fcntl(stop_pipe[0], F_SETFL, O_NONBLOCK);
    SetStatusSink(nullptr);
    // A tenth of the real pause: long enough not to starve between writers.
    SetRetryPause([](int ms) { usleep(ms * 100); });
    int bad = 0;
    char c;
    while (read(stop_pipe[0], &c, 1) != 1) {
      if (!IsFile("FIRMA\\Zel.BAL")) {
        ++bad;
        fprintf(stderr, "missing\n");
      }
      File f;
      std::string text;
      if (ProtectedOpen(f, "FIRMA\\Zel.BAL", Access::kRead, Share::kDenyWrite,
                        Disposition::kOpenExisting, "test") &&
          f.ReadAll(&text)) {
        // Every version of the file is whole: its head and a last record
        // that ends in a complete value.
        if (text.rfind("\r\n  Rejestr.FIRMA\\Zel.BAL\r\n", 0) != 0) {
          ++bad;
          fprintf(stderr, "head [%s]\n", text.c_str());
        }
        const std::size_t last = text.rfind("\r\n");
        const std::string tail = text.substr(last + 2);
        if (tail.find(" = ") == std::string::npos) {
          ++bad;
          fprintf(stderr, "tail [%s]\n", tail.c_str());
        }
      } else {
        ++bad;
        fprintf(stderr, "open %d counter %d\n", static_cast<int>(LastIoError()), RetryCounter);
      }
    }
    _exit(bad == 0 ? 0 : 1);
  }
  close(stop_pipe[0]);
  const pid_t a = fork();
  if (a == 0) _exit(writer(".001")());
  const pid_t b = fork();
  if (b == 0) _exit(writer(".002")());
  int status_a = 0, status_b = 0, status_r = 0;
  waitpid(a, &status_a, 0);
  waitpid(b, &status_b, 0);
  (void)!write(stop_pipe[1], "x", 1);
  waitpid(reader, &status_r, 0);
  close(stop_pipe[1]);
  EXPECT_EQ(WEXITSTATUS(status_a), 0);
  EXPECT_EQ(WEXITSTATUS(status_b), 0);
  EXPECT_EQ(WEXITSTATUS(status_r), 0) << "the reader saw a missing or partial file";

  for (const char* ext : {".001", ".002"}) {
    StationExt = ext;
    for (int i = 0; i < kRecords; ++i) {
      SCOPED_TRACE(std::string(ext) + " " + std::to_string(i));
      EXPECT_EQ(ReadSetting(true, "Klucz" + std::to_string(i)),
                std::string(ext) + "=" + std::to_string(i));
    }
  }
  EXPECT_FALSE(IsFile("FIRMA\\Zel.BAL.001"));
  EXPECT_FALSE(IsFile("FIRMA\\Zel.BAL.002"));
}

}  // namespace
}  // namespace zel
