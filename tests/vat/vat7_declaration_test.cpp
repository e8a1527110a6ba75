// The VAT-7 declaration: placeholders replaced in template lines, and the
// template read from the shared folder (pages joined in memory).
#include "vat/vat7_declaration.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "platform/paths.hpp"
#include "support/temp_folder.hpp"

namespace zel {
namespace {

DeclarationData Sample() {
  DeclarationData d;
  d.year = 2024;
  d.month = 3;
  d.Nip = "5260001122";
  d.USk = "Urząd Skarbowy Warszawa-Mokotów"_w;
  d.purpose = "zlozenie";
  d.RPo = "os.fiz.";
  d.amounts[9] = 1234.56L;   // K19
  d.amounts[10] = -7.9L;     // K20
  d.answers[4] = "Tak";      // 89b
  d.attachments = 2;
  d.signatureDate = DayFromDdMmYy("250424");
  return d;
}

TEST(Vat7Substitution, LinesOfTheTemplate) {
  DeclarationData d = Sample();
  DayNo from = 0, to = 0;
  MonthBounds(2024, 3, &from, &to);
  struct Row {
    const char* name;
    const char* line;
    const char* want;
  } rows[] = {
      {"no placeholder stays", "T 1 2 3 4 Urząd skarbowy", "T 1 2 3 4 Urząd skarbowy"},
      {"tax number spaced", "T 1 2 3 4 .NIP.", "T 1 2 3 4 ~5 2 6 0 0 0 1 1 2 2"},
      {"lower case found", "T 1 2 3 4 .nip. reszta", "T 1 2 3 4 ~5 2 6 0 0 0 1 1 2 2"},
      {"second placeholder dropped", "T 1 2 3 4 .Rok. .MIE.", "T 1 2 3 4 ~2 0 2 4"},
      {"the first in the line wins", "T 1 2 3 4 .K19. .NIP.", "T 1 2 3 4 ~       1.234"},
      {"month below ten", "C 1 2 3 4 .MIE.", "C 1 2 3 4 ~0 3"},
      {"period", "C 1 2 3 4 .DataOd.", "C 1 2 3 4 ~01-03-2024"},
      {"period end", "C 1 2 3 4 .datado.", "C 1 2 3 4 ~31-03-2024"},
      {"amount cut, not rounded", "P 1 2 3 4 .K19.", "P 1 2 3 4 ~       1.234"},
      {"negative amount", "P 1 2 3 4 .K20.", "P 1 2 3 4 ~          -7"},
      {"zero box empty", "P 1 2 3 4 .K10.", "P 1 2 3 4 ~"},
      {"zero shown where the form needs it", "P 1 2 3 4 .K48.", "P 1 2 3 4 ~0"},
      {"zero shown in K59", "P 1 2 3 4 .k59.", "P 1 2 3 4 ~0"},
      {"filing, not a correction", "C 1 2 3 4 .ZłD.", "C 1 2 3 4 ~X"},
      {"ZłD in capitals", "C 1 2 3 4 .ZŁD.", "C 1 2 3 4 ~X"},
      {"no correction mark", "C 1 2 3 4 .Kor.", "C 1 2 3 4 ~"},
      {"a person", "C 1 2 3 4 .OsF.", "C 1 2 3 4 ~X"},
      {"yes of a pair", "C 1 2 3 4 .89bT.", "C 1 2 3 4 ~X"},
      {"no of a pair left empty", "C 1 2 3 4 .89bN.", "C 1 2 3 4 ~"},
      {"no answer: no", "C 1 2 3 4 .oZN.", "C 1 2 3 4 ~X"},
      {"unanswered box", "C 1 2 3 4 .119.", "C 1 2 3 4 ~"},
      {"attachments", "C 1 2 3 4 .LZD.", "C 1 2 3 4 ~2"},
      {"signature date", "T 1 2 3 4 .oDa.", "T 1 2 3 4 ~25-04-2024"},
      {"not a code", "T 1 2 3 4 .K60. .K1.", "T 1 2 3 4 .K60. .K1."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(WinToUtf8(SubstituteDeclarationLine(Utf8ToWin(row.line), d, from, to)), row.want);
  }

  // A value is never searched again: a tax office named like a placeholder
  // stays as typed.
  d.USk = ".NIP.";
  EXPECT_EQ(SubstituteDeclarationLine("T 1 2 3 4 .USk.", d, from, to), "T 1 2 3 4 ~.NIP.");
  // A value holding a NUL character is unknown.
  d.USk = std::string_view("ab\0cd", 5);
  EXPECT_EQ(SubstituteDeclarationLine("T 1 2 3 4 .USk.", d, from, to), "T 1 2 3 4 ~nie-wiadomo");
  // A correction and a firm.
  d.purpose = "korekta";
  d.RPo = "p.n.o.f.";
  EXPECT_EQ(SubstituteDeclarationLine("C 1 .Kor.", d, from, to), "C 1 ~X");
  EXPECT_EQ(SubstituteDeclarationLine("C 1 .ZłD."_w, d, from, to), "C 1 ~");
  EXPECT_EQ(SubstituteDeclarationLine("C 1 .PNO.", d, from, to), "C 1 ~X");
  d.month = 12;
  EXPECT_EQ(SubstituteDeclarationLine("C 1 .MIE.", d, from, to), "C 1 ~1 2");
}

// Templates in a Zel folder's "!": the pages are joined in memory with an
// "N" line and the shared folder is not written; one page asked for is
// read alone; a missing template names the file.
TEST(Vat7Template, PagesJoinedInMemory) {
  const std::string home = MakeTempFolder("zel_vat7");
  const std::string saved = ZelFolder();
  std::string err;
  ASSERT_TRUE(SetZelFolder(home, &err)) << err;
  std::filesystem::create_directories(home + "/!");
  auto write = [&home](const std::string& name, const std::string& text) {
    std::ofstream(home + "/!/" + name, std::ios::binary) << text;
  };
  std::vector<std::string> lines;
  std::string message;
  EXPECT_FALSE(ReadDeclarationTemplate("20", 0, &lines, &message));
  EXPECT_EQ(message, "Nie ma \"!\\VAT-7(20).7TF\"");

  write("VAT-7(20).7TF", "T 1 2 3 4 cały\r\n");
  ASSERT_TRUE(ReadDeclarationTemplate("20", 0, &lines, &message));
  EXPECT_EQ(lines, std::vector<std::string>{"T 1 2 3 4 cały"});

  write("VAT-7(20)-1.7TF", "T 1 2 3 4 pierwsza\r\nL 5 5 0 9\r\n");
  EXPECT_FALSE(ReadDeclarationTemplate("20", 0, &lines, &message));
  EXPECT_EQ(message, "Nie ma \"!\\VAT-7(20)-2.7TF\"");
  write("VAT-7(20)-2.7TF", "T 1 2 3 4 druga\n");
  ASSERT_TRUE(ReadDeclarationTemplate("20", 0, &lines, &message));
  EXPECT_EQ(lines, (std::vector<std::string>{"T 1 2 3 4 pierwsza", "L 5 5 0 9", "N",
                                             "T 1 2 3 4 druga"}));
  ASSERT_TRUE(ReadDeclarationTemplate("20", 2, &lines, &message));
  EXPECT_EQ(lines, std::vector<std::string>{"T 1 2 3 4 druga"});
  // The whole-form file kept what it held: nothing was rebuilt.
  std::ifstream whole(home + "/!/VAT-7(20).7TF", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(whole)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "T 1 2 3 4 cały\r\n");

  DeclarationData d = Sample();
  ViewerDocument doc;
  ASSERT_TRUE(BuildDeclarationDocument(d, "20", 0, &doc, &message));
  EXPECT_EQ(doc.key, "VAT7");
  EXPECT_EQ(doc.actions, 3);
  EXPECT_EQ(doc.x_max, 210);
  EXPECT_EQ(doc.y_max, 297);
  EXPECT_EQ(doc.name, "VAT-7-2024-03");
  EXPECT_EQ(doc.lines.size(), 4u);
  if (!saved.empty()) SetZelFolder(saved, &err);
  std::filesystem::remove_all(home);
}

}  // namespace
}  // namespace zel
