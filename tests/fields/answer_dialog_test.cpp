#include "fields/answer_dialog.hpp"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "common/cp1250.hpp"
#include "fields/text_metrics.hpp"
#include "shell/status.hpp"

namespace zel {
namespace {

constexpr int kCharWidth = 8;
constexpr int kHeight = 16;

const OdpowiOwner kOwner = {{100, 50, 800, 600}, 0};

DialogKey Code(int code, bool shift = false) {
  return {code, 0, shift};
}
DialogKey Char(char c) {
  return {0, c, false};
}

class AnswerDialogTest : public ::testing::Test {
 protected:
  void Open(char default_answer, std::string_view first = "O.K..",
            std::string_view second = "Koniec ?", const OdpowiOwner& owner = kOwner) {
    dialog_.FoCreat(false);
    dialog_.PrepareLines(default_answer, first, second, owner);
    dialog_.Show(metrics_);
  }

  FixedWidthMetrics metrics_{kCharWidth, kHeight};
  FOdpowi dialog_;
};

TEST_F(AnswerDialogTest, DefaultIsHighlightedAndEnterAnswersIt) {
  Open('N');
  EXPECT_EQ(dialog_.Pending(), -2);
  EXPECT_EQ(dialog_.Highlighted(), FOdpowi::kNie);
  EXPECT_TRUE(dialog_.Underlined(FOdpowi::kNie));
  EXPECT_FALSE(dialog_.Underlined(FOdpowi::kTak));
  EXPECT_FALSE(dialog_.Underlined(FOdpowi::kPowrot));
  EXPECT_TRUE(dialog_.Key(Code(kAnswerKeyReturn)));
  dialog_.Advance(FOdpowi::kPressMs);
  EXPECT_TRUE(dialog_.Done());
  EXPECT_EQ(dialog_.Result(), 1);

  Open('T');
  EXPECT_EQ(dialog_.Pending(), -1);
  EXPECT_TRUE(dialog_.Underlined(FOdpowi::kTak));
  dialog_.Key(Code(kAnswerKeyEnter));
  dialog_.Advance(FOdpowi::kPressMs);
  EXPECT_EQ(dialog_.Result(), 0);
}

TEST_F(AnswerDialogTest, KeyTable) {
  struct Row {
    const char* name;
    char default_answer;
    std::vector<DialogKey> keys;
    int pending;      // after the keys
    int highlighted;  // after the keys
  };
  const Row rows[] = {
      {"y answers Tak at once", 'N', {Char('y')}, 1, 1},
      {"t answers Tak", 'N', {Char('t')}, 1, 1},
      {"upper-case T too", 'N', {Char('T')}, 1, 1},
      {"a answers Tak", 'N', {Char('a')}, 1, 1},
      {"d answers Tak", 'N', {Char('d')}, 1, 1},
      {"j answers Tak", 'N', {Char('j')}, 1, 1},
      {"o answers Tak", 'N', {Char('o')}, 1, 1},
      {"s answers Tak", 'N', {Char('s')}, 1, 1},
      {"n answers Nie", 'T', {Char('n')}, 2, 2},
      {"another letter does nothing", 'T', {Char('x'), Char('q'), Char('5')}, -1, 1},
      {"4 highlights Tak", 'N', {Char('4')}, -2, 1},
      {"7 highlights Tak", 'N', {Char('7')}, -2, 1},
      {"1 highlights Nie", 'T', {Char('1')}, -1, 2},
      {"6 highlights Nie", 'T', {Char('6')}, -1, 2},
      {"Right moves to Nie", 'T', {Code(kAnswerKeyRight)}, -1, 2},
      {"three Rights come back to Tak",
       'T',
       {Code(kAnswerKeyRight), Code(kAnswerKeyRight), Code(kAnswerKeyRight)},
       -1,
       1},
      {"Down is Right", 'T', {Code(kAnswerKeyDown), Code(kAnswerKeyDown)}, -1, 3},
      {"Left from Tak goes to Powrot", 'T', {Code(kAnswerKeyLeft)}, -1, 3},
      {"three Lefts come back to Tak",
       'T',
       {Code(kAnswerKeyLeft), Code(kAnswerKeyLeft), Code(kAnswerKeyLeft)},
       -1,
       1},
      {"Up is Left", 'N', {Code(kAnswerKeyUp)}, -2, 1},
      {"Enter answers the moved highlight", 'N', {Code(kAnswerKeyRight), Code(kAnswerKeyReturn)}, 3, 3},
      {"Esc answers Powrot", 'T', {Code(kAnswerKeyEscape)}, 3, 3},
      {"Tab with Tak answers Nie", 'T', {Code(kAnswerKeyTab)}, 2, 2},
      {"Shift+Tab with Nie answers Tak", 'N', {Code(kAnswerKeyBacktab, true)}, 1, 1},
      {"Tab with Powrot does nothing", 'T', {Code(kAnswerKeyLeft), Code(kAnswerKeyTab)}, -1, 3},
      {"Enter as a character", 'T', {Char('\r')}, 1, 1},
      {"Esc as a character", 'T', {Char(27)}, 3, 3},
      {"Tab as a character", 'N', {Char('\t')}, 1, 1},
      {"keys after the answer change nothing", 'T', {Char('n'), Char('y'), Code(kAnswerKeyEscape)}, 2, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Open(row.default_answer);
    for (const DialogKey& key : row.keys) EXPECT_TRUE(dialog_.Key(key));
    EXPECT_EQ(dialog_.Pending(), row.pending);
    EXPECT_EQ(dialog_.Highlighted(), row.highlighted);
    for (int choice = 1; choice <= 3; ++choice)
      EXPECT_EQ(dialog_.Underlined(choice), choice == row.highlighted);
  }
}

TEST_F(AnswerDialogTest, AnswerStaysPressedFor300ms) {
  Open('T');
  dialog_.Key(Char('n'));
  EXPECT_EQ(dialog_.Pressed(), FOdpowi::kNie);
  EXPECT_TRUE(dialog_.Visible());
  EXPECT_FALSE(dialog_.Done());
  dialog_.Advance(299);
  EXPECT_EQ(dialog_.Pressed(), FOdpowi::kNie);
  EXPECT_EQ(dialog_.PressRemainingMs(), 1);
  EXPECT_FALSE(dialog_.Done());
  dialog_.Advance(50);
  EXPECT_EQ(dialog_.Pressed(), 0);
  EXPECT_FALSE(dialog_.Visible());
  EXPECT_TRUE(dialog_.Done());
  EXPECT_EQ(dialog_.Result(), 1);
  // A closed dialog takes no keys.
  EXPECT_FALSE(dialog_.Key(Char('y')));
}

TEST_F(AnswerDialogTest, ClosingUnansweredCountsAsPowrot) {
  Open('T');
  dialog_.FormClose();
  EXPECT_TRUE(dialog_.Done());
  EXPECT_EQ(dialog_.Pending(), 3);
  EXPECT_EQ(dialog_.Result(), 2);

  // Closed while the answer is still shown: the answer stands.
  Open('T');
  dialog_.Key(Char('y'));
  dialog_.FormClose();
  EXPECT_TRUE(dialog_.Done());
  EXPECT_EQ(dialog_.Result(), 0);
}

TEST_F(AnswerDialogTest, MouseAndLogout) {
  Open('N');
  dialog_.MouseDown(FOdpowi::kTak);
  EXPECT_EQ(dialog_.Pressed(), FOdpowi::kTak);
  dialog_.MouseUp();
  EXPECT_EQ(dialog_.Pressed(), 0);
  EXPECT_EQ(dialog_.Pending(), -2);
  dialog_.Click(FOdpowi::kPowrot);
  EXPECT_EQ(dialog_.Pending(), 3);
  EXPECT_EQ(dialog_.Pressed(), FOdpowi::kPowrot);

  Open('N');
  dialog_.PressYes();
  dialog_.Advance(FOdpowi::kPressMs);
  EXPECT_EQ(dialog_.Result(), 0);
  // Nothing to press once the dialog is gone.
  dialog_.PressYes();
  EXPECT_EQ(dialog_.Result(), 0);

  Open('N');
  dialog_.answer(0);  // not a choice: the dialog keeps waiting
  EXPECT_EQ(dialog_.Pending(), -2);
  EXPECT_TRUE(dialog_.Visible());
}

TEST_F(AnswerDialogTest, ReactivationReturnsToTheDefault) {
  Open('N');
  dialog_.Key(Code(kAnswerKeyRight));
  EXPECT_EQ(dialog_.Highlighted(), FOdpowi::kPowrot);
  dialog_.FoActiv(metrics_);
  EXPECT_EQ(dialog_.Highlighted(), FOdpowi::kNie);
}

TEST_F(AnswerDialogTest, LinesComeFromTheStatusLineAndTheQuestion) {
  StatusSink* saved = SetStatusSink(nullptr);
  ShowStatus("Brak pliku", kWarning);
  dialog_.FoCreat(false);
  dialog_.Prepare('N', "Skasować poprzedni opis"_w, kOwner);
  EXPECT_EQ(dialog_.Line1(), "Brak pliku.");
  EXPECT_EQ(dialog_.Line2(), "Skasować poprzedni opis ?"_w);
  EXPECT_FALSE(dialog_.Visible());
  EXPECT_EQ(dialog_.Height(), 0);
  SetStatusSink(saved);
}

TEST_F(AnswerDialogTest, LayoutOfShortLines) {
  // h = 16, the Esc caption " Powrót " is 64 wide: e = 3*64 + 5*16 + 2*16 = 304.
  Open('T', "O.K..", "Skasować poprzedni opis ?"_w);
  const OdpowiLayout& l = dialog_.Layout();
  EXPECT_EQ(l.pa.left, 2);
  EXPECT_EQ(l.pa.top, 2);
  EXPECT_EQ(l.pa.width, 324);
  EXPECT_EQ(l.pa.height, 130);
  EXPECT_EQ(l.client_width, 328);
  EXPECT_EQ(l.client_height, 134);
  EXPECT_EQ(l.pz.left, 9);
  EXPECT_EQ(l.pz.width, 306);
  EXPECT_EQ(l.pz.height, 112);
  EXPECT_EQ(l.l1.left, (306 - 40) / 2);
  EXPECT_EQ(l.l1.top, 16);
  EXPECT_EQ(l.l2.left, (306 - 200) / 2);
  EXPECT_EQ(l.l2.top, 40);
  const int g = (304 - 64) / 3;
  EXPECT_EQ(l.tak.left, 16);
  EXPECT_EQ(l.tak.top, 72);
  EXPECT_EQ(l.tak.width, g);
  EXPECT_EQ(l.tak.height, 24);
  EXPECT_EQ(l.nie.left, 32 + g);
  EXPECT_EQ(l.nie.width, g);
  EXPECT_EQ(l.esc.left, 48 + 2 * g);
  EXPECT_EQ(l.esc.width, 306 - (48 + 2 * g) - 16);
  // Centred over the owner's client area.
  EXPECT_EQ(l.left, 100 + 400 - 164);
  EXPECT_EQ(l.top, 50 + 300 - 67);
}

TEST_F(AnswerDialogTest, LongMessageWidensTheDialogAndTheButtons) {
  const std::string long_line(100, 'x');
  Open('T', long_line, "Koniec ?");
  const OdpowiLayout& l = dialog_.Layout();
  const int e = 100 * kCharWidth + 2 * kHeight;
  EXPECT_EQ(l.pz.width, e + 2);
  EXPECT_EQ(l.l1.left, kHeight + 1);  // (e + 2 - 800) / 2
  EXPECT_EQ(l.tak.width, (e - 4 * kHeight) / 3);
  EXPECT_EQ(l.nie.width, l.tak.width);
  EXPECT_EQ(l.esc.left + l.esc.width + kHeight, l.pz.width);
}

TEST_F(AnswerDialogTest, NeverStartsLeftOfTheDesktop) {
  Open('T', "O.K..", "Koniec ?", OdpowiOwner{{10, 0, 100, 100}, 5});
  EXPECT_EQ(dialog_.Layout().left, 5 + 13);
}

TEST_F(AnswerDialogTest, CaptionsAndColours) {
  EXPECT_EQ(FOdpowi::Caption(FOdpowi::kTak), "    Tak    ");
  EXPECT_EQ(FOdpowi::Caption(FOdpowi::kNie), "    Nie    ");
  EXPECT_EQ(FOdpowi::Caption(FOdpowi::kPowrot), " Powrót "_w);
  EXPECT_EQ(FOdpowi::Caption(7), "");
  EXPECT_EQ(FOdpowi::HintText(), "[enter] = TAK   [esc] = WRÓĆ"_w);
  dialog_.FoCreat(true);
  EXPECT_TRUE(dialog_.AltColours());
}

// A pump that plays one scripted step per round of messages; each step
// returns the milliseconds that pass in it. Out of steps, time just passes.
class ScriptedPump : public OdpowiPump {
 public:
  std::deque<std::function<int(FOdpowi&)>> steps;
  std::vector<int> waits;
  int pressed_redraws = 0;
  OdpowiOwner owner = kOwner;
  DeskWindow* asked_owner = nullptr;
  FOdpowi* dialog = nullptr;

  OdpowiOwner OwnerArea(DeskWindow* w) override {
    asked_owner = w;
    return owner;
  }
  void Redraw(const FOdpowi& d) override {
    if (d.Pressed() != 0 && d.Visible()) ++pressed_redraws;
  }
  int ProcessMessages(int max_wait_ms) override {
    waits.push_back(max_wait_ms);
    if (waits.size() > 1000) dialog->FormClose();  // a runaway loop ends the test
    if (steps.empty()) return max_wait_ms;
    auto step = steps.front();
    steps.pop_front();
    return step(*dialog);
  }
};

class AnswerAskerTest : public ::testing::Test {
 protected:
  AnswerAskerTest() { pump_.dialog = &dialog_; }
  int Ask(char default_answer) { return asker_.Ask(default_answer, "O.K..", "Koniec ?", nullptr); }

  FixedWidthMetrics metrics_{kCharWidth, kHeight};
  FOdpowi dialog_;
  ScriptedPump pump_;
  OdpowiAsker asker_{dialog_, metrics_, pump_};
};

TEST_F(AnswerAskerTest, WaitsForTheAnswerAndShowsItPressed) {
  pump_.steps.push_back([](FOdpowi& d) {
    d.Key(Code(kAnswerKeyReturn));
    return 20;
  });
  EXPECT_EQ(Ask('N'), 1);
  EXPECT_FALSE(dialog_.Visible());
  ASSERT_GE(pump_.waits.size(), 2u);
  // The round of the answer counts; the next one waits out the rest of the 300 ms.
  EXPECT_EQ(pump_.waits[1], FOdpowi::kPressMs - 20);
  EXPECT_GE(pump_.pressed_redraws, 1);
}

TEST_F(AnswerAskerTest, ClosesAndLogout) {
  pump_.steps.push_back([](FOdpowi& d) {
    d.FormClose();
    return 5;
  });
  EXPECT_EQ(Ask('T'), 2);

  pump_.steps.push_back([this](FOdpowi&) {
    asker_.PressYes();
    return 5;
  });
  EXPECT_EQ(Ask('N'), 0);
}

TEST_F(AnswerAskerTest, QuestionWhileAnotherIsOpenGetsPowrot) {
  int inner = -1;
  pump_.steps.push_back([&](FOdpowi&) {
    inner = Ask('T');
    return 5;
  });
  pump_.steps.push_back([](FOdpowi& d) {
    d.Key(Char('t'));
    return 5;
  });
  EXPECT_EQ(Ask('N'), 0);
  EXPECT_EQ(inner, 2);
}

TEST_F(AnswerAskerTest, EndsEvenWhenNoTimeIsReported) {
  pump_.steps.push_back([](FOdpowi& d) {
    d.Key(Char('n'));
    return 0;
  });
  for (int k = 0; k < 400; ++k) pump_.steps.push_back([](FOdpowi&) { return 0; });
  EXPECT_EQ(Ask('T'), 1);
  EXPECT_LT(pump_.waits.size(), 400u);
}

TEST_F(AnswerAskerTest, CentresOverTheOwnersArea) {
  pump_.owner = {{1000, 500, 200, 100}, 0};
  pump_.steps.push_back([](FOdpowi& d) {
    d.Key(Code(kAnswerKeyEscape));
    return 1;
  });
  EXPECT_EQ(Ask('T'), 2);
  EXPECT_EQ(dialog_.Layout().left, 1000 + 100 - dialog_.Layout().client_width / 2);
  EXPECT_EQ(dialog_.Layout().top, 500 + 50 - dialog_.Layout().client_height / 2);
}

}  // namespace
}  // namespace zel
