// The viewer script drawn on a recording canvas: positions, fitted fonts,
// faces, colours, the "N" divisions, the copies and the paper pages.
#include "output/viewer_layout.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/cp1250.hpp"
#include "output/recording_canvas.hpp"

namespace zel {
namespace {

using Face = FontProbe::Face;

// Every command once. Screen pixels at zoom 30 are units x 6 + 3; the
// recording font is 0.6 x size wide a character and 1.2 x size high.
const std::vector<std::string> kScript = {
    "K 0 100 0 200 FF0000",
    "K 200 260 0 200",  // colour left to the generator
    "T 10 30 10 110 Abc",
    "C 10 30 110 190 ~Mid",
    "t 40 60 10 110 .orykop.",
    "c 40 60 110 190 ~~tilde",
    "p 40 60 190 200 X",
    "P 220 240 10 190 ~X",
    "L 70 70 0 200",
    "G 80 80 0 200",
    "N",
    "T   0  20   0  100   Second ?",
};

std::vector<CanvasCall> Of(const std::vector<CanvasCall>& calls, CanvasCall::Kind kind) {
  std::vector<CanvasCall> out;
  std::copy_if(calls.begin(), calls.end(), std::back_inserter(out),
               [kind](const CanvasCall& c) { return c.kind == kind; });
  return out;
}

const CanvasCall* TextCall(const std::vector<CanvasCall>& calls, const std::string& text) {
  for (const CanvasCall& c : calls) {
    if (c.kind == CanvasCall::kText && c.text == text) return &c;
  }
  return nullptr;
}

TEST(ViewerScript, LinesAreReadFieldByField) {
  struct Case {
    const char* line;
    char letter;
    int y1, y2, x1, x2;
    const char* text;
  } cases[] = {
      {"T 10 20 30 40 Ala ma  kota", 'T', 10, 20, 30, 40, "Ala ma  kota"},
      {"  L   1  2 3     4", 'L', 1, 2, 3, 4, ""},
      {"Cxx 5 x7 -3 +8 cena ?", 'C', 5, 0, -3, 8, "cena $"},
      {"K 99999999999 1 2 3 A0B0C0", 'K', 0, 1, 2, 3, "A0B0C0"},
      {"N", 'N', 0, 0, 0, 0, ""},
      {"", 0, 0, 0, 0, 0, ""},
  };
  for (const Case& c : cases) {
    const ViewerCommand cmd = ParseViewerLine(c.line);
    EXPECT_EQ(cmd.letter, c.letter) << c.line;
    EXPECT_EQ(cmd.y1, c.y1) << c.line;
    EXPECT_EQ(cmd.y2, c.y2) << c.line;
    EXPECT_EQ(cmd.x1, c.x1) << c.line;
    EXPECT_EQ(cmd.x2, c.x2) << c.line;
    EXPECT_EQ(cmd.text, c.text) << c.line;
  }
}

TEST(ViewerScript, CopyNamesAndBoxColours) {
  EXPECT_EQ(WithCopyName("a .orykop. b .orykop.", 'o'),
            "a "_w + "oryginał"_w + " b " + "oryginał"_w);
  EXPECT_EQ(WithCopyName(".orykop.", 'k'), "kopia");
  EXPECT_EQ(WithCopyName(".orykop.", 'l'), "kopia(2)");
  EXPECT_EQ(WithCopyName(".orykop.", 'm'), "kopia(3)");
  EXPECT_EQ(WithCopyName(".orykop.", 'p'), "oryginał/kopia"_w);
  EXPECT_EQ(WithCopyName("[.orykop.]", 'e'), "[]");

  int calls = 0;
  auto three = [&calls] {
    ++calls;
    return 3;  // digit F
  };
  EXPECT_EQ(ViewerBoxColour("12ab34CD", three), 0x1234CDu) << "lower case is no digit";
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(ViewerBoxColour("A1B2C3D4", three), 0xA1B2C3u) << "at most six digits";
  EXPECT_EQ(ViewerBoxColour("#80", three), 0x80FFFFu);
  EXPECT_EQ(calls, 4);
  // An empty colour is a light shade: every digit from C to F.
  const std::uint32_t light = ViewerBoxColour("", [] { return 0; });
  EXPECT_EQ(light, 0xCCCCCCu);
}

TEST(ViewerLayout, MeasuresTheExtentAndTheDivisions) {
  const ViewerLayout layout(kScript, 7);
  EXPECT_TRUE(layout.Notice().empty());
  ASSERT_EQ(layout.Parts(), 2);
  // The largest Y before "N" is the second box's 260 (text boxes reach a
  // third of their height further, 240 + 6 here), so the second part
  // counts from 270; its text box reaches 6 above and below.
  EXPECT_EQ(layout.PartTop(1), 270);
  const ViewerExtent& e = layout.Extent();
  EXPECT_EQ(e.x_min, 0);
  EXPECT_EQ(e.x_max, 200);
  EXPECT_EQ(e.y_min, 0);
  EXPECT_EQ(e.y_max, 296);
  // Laid over each other, the parts span the first part's height and the
  // second part's text reaching 6 above its own zero.
  EXPECT_EQ(layout.PageExtent().y_min, -6);
  EXPECT_EQ(layout.PageExtent().y_max, 260);
  EXPECT_EQ(layout.Caption("VAT-7", 30),
            "    VAT-7    ws = 30/5    Yo = 0    Yz = 296    Xo = 0    Xz = 200");
}

TEST(ViewerLayout, DrawsBoxesTextsAndLinesOnTheScreen) {
  const ViewerLayout layout(kScript, 7);
  RecordingCanvas rec(2000, 2000);
  ViewerPlacement at;  // the screen at zoom 30
  layout.Draw(rec, at, 'o');
  const std::vector<CanvasCall>& calls = rec.Calls();

  // Pass order: the boxes first, the lines last.
  const std::vector<CanvasCall> fills = Of(calls, CanvasCall::kFill);
  ASSERT_GE(fills.size(), 2u);
  EXPECT_EQ(fills[0].x, 3);
  EXPECT_EQ(fills[0].y, 3);
  EXPECT_EQ(fills[0].x2, 1200);
  EXPECT_EQ(fills[0].y2, 600);
  EXPECT_EQ(fills[0].colour, 0xFF0000u);
  EXPECT_EQ(fills[1].colour, layout.BoxColour(1));
  EXPECT_EQ(calls.back().kind, CanvasCall::kLine);

  // "Abc" in a box 600 x 120 pixels: the largest size lower and narrower
  // than the box is 99 (118 pixels high); 3 pixels in from the corner, on
  // the red of the box that holds the corner.
  const CanvasCall* abc = TextCall(calls, "Abc");
  ASSERT_NE(abc, nullptr);
  EXPECT_EQ(abc->size, 99);
  EXPECT_EQ(abc->x, 66);
  EXPECT_EQ(abc->y, 66);
  EXPECT_EQ(abc->face, Face::kSans);
  EXPECT_FALSE(abc->bold);
  EXPECT_EQ(abc->colour, 0x000000u);
  const auto back = std::find_if(calls.begin(), calls.end(), [&](const CanvasCall& c) {
    return c.kind == CanvasCall::kFill && c.x == 66 && c.y == 66;
  });
  ASSERT_NE(back, calls.end());
  EXPECT_EQ(back->colour, 0xFF0000u);

  struct Expect {
    std::string text;
    Face face;
    bool bold;
    std::uint32_t colour;
  } texts[] = {
      {"Mid", Face::kSans, true, kViewerBlue},     // "~": bold blue
      {"oryginał"_w, Face::kSansHeavy, false, 0},  // heavy face, copy name
      {"~tilde", Face::kSans, false, 0},           // "~~" keeps one, normal (c is heavy)
      {"X", Face::kSansHeavy, true, 0},            // a ticked box
      {"Second $", Face::kSans, false, 0},
  };
  texts[2].face = Face::kSansHeavy;
  for (const Expect& e : texts) {
    const CanvasCall* c = TextCall(calls, e.text);
    ASSERT_NE(c, nullptr) << e.text;
    EXPECT_EQ(c->face, e.face) << e.text;
    EXPECT_EQ(c->bold, e.bold) << e.text;
    EXPECT_EQ(c->colour, e.colour) << e.text;
  }
  // "~X": blue, and still the heavy bold mark.
  const auto blue_x = std::count_if(calls.begin(), calls.end(), [](const CanvasCall& c) {
    return c.kind == CanvasCall::kText && c.text == "X" && c.colour == kViewerBlue &&
           c.face == Face::kSansHeavy && c.bold;
  });
  EXPECT_EQ(blue_x, 1);

  // Centred: "Mid" fits 480 x 120 at 99 (178 wide); the 480 - 6 - 178
  // pixels left over are split. Right-aligned ends 3 pixels inside.
  const CanvasCall* mid = TextCall(calls, "Mid");
  EXPECT_EQ(mid->size, 99);
  EXPECT_EQ(mid->x, 663 + 3 + (480 - 6 - 178) / 2);
  const CanvasCall* second = TextCall(calls, "Second $");
  EXPECT_EQ(second->y, 270 * 6 + 3 + 3) << "the second part counts from its division";
  EXPECT_EQ(second->x, 3 + 3);

  // Lines: brown L, blue G, and the division bar 7 thick, 5 units above
  // the division, from X 1 to the largest X less 1.
  const std::vector<CanvasCall> lines = Of(calls, CanvasCall::kLine);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].colour, kViewerLineScreen);
  EXPECT_EQ(lines[0].y, 70 * 6 + 3);
  EXPECT_EQ(lines[0].size, 1);
  EXPECT_EQ(lines[1].colour, kViewerBlue);
  EXPECT_EQ(lines[2].size, 7);
  EXPECT_EQ(lines[2].y, 265 * 6 + 3);
  EXPECT_EQ(lines[2].x, 1 * 6 + 3);
  EXPECT_EQ(lines[2].x2, 199 * 6 + 3);
}

TEST(ViewerLayout, BoxColoursFollowTheSeed) {
  const ViewerLayout a(kScript, 7), b(kScript, 7);
  EXPECT_EQ(a.BoxColour(0), 0xFF0000u);
  EXPECT_EQ(a.BoxColour(1), b.BoxColour(1)) << "the same seed, the same colour";
  for (int shift = 0; shift < 24; shift += 4) {
    EXPECT_GE((a.BoxColour(1) >> shift) & 0xF, 0xCu) << "a light shade";
  }
  bool differs = false;
  for (std::uint32_t seed = 8; seed < 40 && !differs; ++seed) {
    differs = ViewerLayout(kScript, seed).BoxColour(1) != a.BoxColour(1);
  }
  EXPECT_TRUE(differs);
}

TEST(ViewerLayout, FontFittingStaysWithinItsBounds) {
  RecordingCanvas rec(100, 100);
  EXPECT_EQ(FitViewerFont(rec, "Abc", 0, 0), 1) << "never below 1";
  EXPECT_EQ(FitViewerFont(rec, "Abc", 600, 10), 8) << "12 x 8 / 10 = 9 < 10; at 9 it is 10";
  // The growth: a box far larger than 31 needs many sizes.
  EXPECT_EQ(FitViewerFont(rec, "A", 100000, 1201), 1000);
  // A device that measures nothing does not make the fitting run forever.
  struct Blind final : FontProbe {
    int TextWidth(std::string_view, int) override { return 0; }
    int TextHeight(int) override { return 0; }
  } blind;
  EXPECT_EQ(FitViewerFont(blind, "A", 10, 10), 4000);
}

TEST(ViewerPrint, EveryCopyAndEveryPartIsAPageOfItsOwn) {
  const ViewerLayout layout(kScript, 7);
  RecordingCanvas rec(2100, 2970);
  const ViewerPrintOutcome out = PrintViewerPages(layout, "ok", "Zel-TEST", rec);
  ASSERT_TRUE(out.ok) << out.message;
  EXPECT_EQ(out.pages, 4);
  EXPECT_EQ(rec.Pages(), 4);
  auto has = [&](int page, const std::string& text) {
    const std::vector<std::string> t = rec.TextsOnPage(page);
    return std::find(t.begin(), t.end(), text) != t.end();
  };
  EXPECT_TRUE(has(1, "oryginał"_w));
  EXPECT_FALSE(has(1, "Second $"));
  EXPECT_TRUE(has(2, "Second $"));
  EXPECT_FALSE(has(2, "Abc"));
  EXPECT_TRUE(has(3, "kopia"));
  EXPECT_TRUE(has(4, "Second $"));

  // Portrait A4 at 2100 x 2970: margins 140 and 2970 / 75 = 39, pen 2;
  // one factor, the smaller of 1954 / 200 and 2925 / 266.
  const ViewerPlacement at = ViewerPaperPlacement(layout, 2100, 2970);
  EXPECT_EQ(at.margin_x, 140);
  EXPECT_EQ(at.margin_y, 39);
  EXPECT_EQ(at.pen, 2);
  EXPECT_DOUBLE_EQ(at.factor, 1954.0 / 200);
  EXPECT_EQ(at.X(0), 140 + 5);  // (0 + 0.5) x 9.77, rounded
  // The second part's text sits at its own coordinates on its page.
  int page = 0;
  for (const CanvasCall& c : rec.Calls()) {
    if (c.kind == CanvasCall::kBegin || c.kind == CanvasCall::kNewPage) ++page;
    if (page == 2 && c.kind == CanvasCall::kText) {
      EXPECT_EQ(c.y, at.Y(0) + at.pen);
    }
    if (c.kind == CanvasCall::kLine) {
      EXPECT_TRUE(c.colour == kViewerLinePaper || c.colour == kViewerBlue) << "grey L, blue G";
      EXPECT_EQ(c.size, at.pen);
    }
  }
  EXPECT_FALSE(ViewerPrintsLandscape(layout));
  EXPECT_TRUE(ViewerPrintsLandscape(ViewerLayout({"L 0 100 0 300"}, 1)));
}

TEST(ViewerPrint, AnEmptyDrawingIsRefusedBeforeTheJobStarts) {
  for (const std::vector<std::string>& lines :
       {std::vector<std::string>{}, {"", "N", "Q 1 2 3 4 ?"}, {"L 5 5 0 100"}}) {
    const ViewerLayout layout(lines, 1);
    RecordingCanvas rec(2100, 2970);
    const ViewerPrintOutcome out = PrintViewerPages(layout, "ok", "Zel-TEST", rec);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.message, "Dokument jest pusty - nie ma czego drukować"_w);
    EXPECT_TRUE(rec.Calls().empty()) << "nothing begun";
  }
}

TEST(ViewerPrint, AFailingDeviceEndsTheJobAsFailed) {
  const ViewerLayout layout(kScript, 7);
  RecordingCanvas rec(2100, 2970);
  rec.fail_new_page = 2;
  const ViewerPrintOutcome out = PrintViewerPages(layout, "ok", "Zel-TEST", rec);
  EXPECT_FALSE(out.ok);
  EXPECT_FALSE(out.message.empty());
  EXPECT_TRUE(rec.Ended());
  EXPECT_FALSE(rec.EndedOk());
}

TEST(ViewerLayout, OverlongScriptsAreCutAndSaySo) {
  std::vector<std::string> lines(1200, "L 0 10 0 10");
  lines[3] = "T 0 10 0 100 " + std::string(400, 'a');
  const ViewerLayout layout(lines, 1);
  EXPECT_NE(layout.Notice().find("1200"), std::string::npos) << layout.Notice();
  EXPECT_NE(layout.Notice().find("999"), std::string::npos);
  EXPECT_NE(layout.Notice().find(": 1"), std::string::npos) << "one line cut";
  // Only the kept lines count: "N" beyond line 999 makes no part.
  lines[1100] = "N";
  EXPECT_EQ(ViewerLayout(lines, 1).Parts(), 1);
  EXPECT_TRUE(ViewerLayout(kScript, 1).Notice().empty());
}

}  // namespace
}  // namespace zel
