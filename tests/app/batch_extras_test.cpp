// zel-batch's scripted answers and the naming of hint lists.
#include "app/batch_extras.hpp"

#include <gtest/gtest.h>

#include "app/batch.hpp"
#include "common/cp1250.hpp"
#include "shell/questions.hpp"

namespace zel {
namespace {

TEST(BatchAnswersTest, QuestionsAreAnsweredInOrderThenPowrot) {
  std::string err;
  BatchIo io{[](std::string_view) {}, [&err](std::string_view t) { err += t; }, nullptr};
  ScriptedAsker asker("TnP", io);
  Asker* previous = SetQuestionAsker(&asker);
  EXPECT_EQ(AskQuestion('T', "Czy dalej"_w), 0);
  EXPECT_EQ(AskQuestion('T', "Czy dalej"_w), 1);
  EXPECT_EQ(AskQuestion('T', "Czy dalej"_w), 2);
  EXPECT_TRUE(err.empty());
  EXPECT_EQ(AskQuestion('T', "Czy zapisać"_w), 2);
  EXPECT_NE(err.find("pytanie bez odpowiedzi, Powrót"), std::string::npos) << err;
  EXPECT_NE(err.find("Czy zapisać ?"), std::string::npos) << err;
  SetQuestionAsker(previous);
  EXPECT_EQ(AskQuestion('T', "Czy"), 2);  // nobody to ask
}

TEST(BatchAnswersTest, ArgumentsOfListsAndAnswers) {
  struct Row {
    std::vector<std::string> args;
    bool ok;
  };
  const Row rows[] = {
      {{"--answers", "TNP", "ZOiSa"}, true},
      {{"--answers", "TX", "ZOiSa"}, false},
      {{"--list", "KonW", "--typed", "20"}, true},
      {{"--list", "87", "--filter", "euro"}, true},
      {{"--typed", "20", "ZOiSa"}, false},
      {{"--list", "87", "ZOiSa"}, false},
      {{"--list"}, false},
      {{"--f3", "127", "vWoj=mazow", "--go"}, true},
      {{"--f3", "131"}, false},
      {{"--go", "ZOiSa"}, false},
      {{"--f3", "127", "ZOiSa"}, false},  // after --f3 only FIELD=VALUE
      {{"--f3", "127", "--list", "87"}, false},
  };
  for (const Row& row : rows) {
    std::string joined;
    for (const std::string& a : row.args) joined += a + " ";
    SCOPED_TRACE(joined);
    BatchRequest r;
    std::string err;
    EXPECT_EQ(ParseBatchArgs(row.args, &r, &err), row.ok) << err;
  }

  struct Kind {
    const char* text;
    bool ok;
    int kind;
    const char* pattern;
  };
  for (const Kind& k :
       {Kind{"87", true, 87, ""}, Kind{"KonW", true, 107, ""}, Kind{"Robo", true, 90, "DFX"},
        Kind{"Robo:ZFX", true, 90, "ZFX"}, Kind{"89:Linie.TXT", true, 89, "Linie.TXT"},
        Kind{"250", false, 0, ""}, Kind{"DaBO", false, 0, ""}, Kind{"", false, 0, ""}}) {
    SCOPED_TRACE(k.text);
    std::uint8_t kind = 0;
    std::string pattern;
    ASSERT_EQ(ParseListKind(k.text, &kind, &pattern), k.ok);
    if (!k.ok) continue;
    EXPECT_EQ(kind, k.kind);
    EXPECT_EQ(pattern, k.pattern);
  }
}

}  // namespace
}  // namespace zel
