// zel-batch --view: a viewer script from a file, as text with the copy
// names put in, and its arguments.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/batch.hpp"
#include "common/cp1250.hpp"
#include "support/temp_folder.hpp"

namespace zel {
namespace {

TEST(BatchViewTest, Arguments) {
  struct Row {
    std::vector<std::string> args;
    bool ok;
  };
  const Row rows[] = {
      {{"--view", "a.txt", "--action", "ok", "--out", "a.pdf"}, true},
      {{"--view", "a.txt", "--out", "-"}, true},
      {{"--view", "a.txt"}, false},  // nowhere to write
      {{"--view", "a.txt", "--out", "a.xlsx"}, false},
      {{"--view", "a.txt", "--action", "okx", "--out", "a.pdf"}, false},
      {{"--action", "ok", "ZOiSa"}, false},
      {{"--view", "a.txt", "ZOiSa", "--out", "a.pdf"}, false},
  };
  for (const Row& row : rows) {
    std::string joined;
    for (const std::string& a : row.args) joined += a + " ";
    SCOPED_TRACE(joined);
    BatchRequest r;
    std::string err;
    EXPECT_EQ(ParseBatchArgs(row.args, &r, &err), row.ok) << err;
  }
}

TEST(BatchViewTest, TheScriptAsTextHasACopyNameForEachLetter) {
  const std::string dir = MakeTempFolder("batch-view");
  {
    std::ofstream f(dir + "/s.txt", std::ios::binary);
    f << "c 0 10 0 100 "
      << "Deklaracja .orykop."_w
      << "\r\nT 20 30 0 100 ?5\r\n";
  }
  BatchRequest r;
  std::string err;
  ASSERT_TRUE(ParseBatchArgs({"--view", dir + "/s.txt", "--action", "ok", "--out", "-"}, &r, &err));
  std::string out, messages;
  BatchIo io{[&out](std::string_view t) { out += t; },
             [&messages](std::string_view t) { messages += t; }, nullptr};
  ASSERT_EQ(RunBatch(r, io), kBatchDone) << messages;
  EXPECT_EQ(out,
            "c 0 10 0 100 Deklaracja oryginał\r\nT 20 30 0 100 $5\r\n"
            "c 0 10 0 100 Deklaracja kopia\r\nT 20 30 0 100 $5\r\n");

  // Without a PDF writer the run says so; a missing script is named.
  ASSERT_TRUE(ParseBatchArgs({"--view", dir + "/s.txt", "--out", dir + "/s.pdf"}, &r, &err));
  messages.clear();
  EXPECT_EQ(RunBatch(r, io), kBatchFailed);
  EXPECT_NE(messages.find("nie drukuje"), std::string::npos) << messages;
  ASSERT_TRUE(ParseBatchArgs({"--view", dir + "/brak.txt", "--out", "-"}, &r, &err));
  messages.clear();
  EXPECT_EQ(RunBatch(r, io), kBatchFailed);
  EXPECT_NE(messages.find("Nie ma"), std::string::npos) << messages;
}

}  // namespace
}  // namespace zel
