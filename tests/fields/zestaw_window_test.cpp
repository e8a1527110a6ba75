// The parameter window's developer marker, the guard that keeps the cursor
// in a field, the role letters, the memo, the F3 window's position, the
// first-start farewell and the drawing numbers a view paints from.
#include "fields/zestaw_fixture.hpp"

#include "shell/pulpit.hpp"
#include "shell/pulpit_window.hpp"

namespace zel::test {
namespace {

// Option 39: Rocz; DaOd | DaDo.  Option 55: JPKo; Rocz; KonW; DaBO | DaOd |
// DaDo; Pod1 | Pod3 | Pod7; OpKo.  Option 11 has the print bar.

TEST_F(ZestawTest, DeveloperMarkerNamesTheTargetField) {
  host.marker = true;
  Open(39);
  Click("DaDo");
  EXPECT_EQ(WinToUtf8(form.StatusText()), "aZestaw : nDaDo");
  host.marker = false;
  Click("DaOd");
  EXPECT_NE(WinToUtf8(form.StatusText()), "aZestaw : nDaOd");
}

TEST_F(ZestawTest, LeaveGuardKeepsTheCursorWhenMovingForward) {
  struct Row {
    const char* name;
    bool refuse;       // the guard's answer for DaOd
    bool hold_request; // the guard asks through HoldCursor instead
    bool stays;
  };
  const Row rows[] = {
      {"guard refuses", true, false, true},
      {"hold requested", false, true, true},
      {"guard lets go", false, false, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    int asked = 0;
    form.SetLeaveGuard([&](int slot) {
      ++asked;
      if (slot != form.FindCode("DaOd")) return false;
      if (r.hold_request) form.HoldCursor();
      return r.refuse;
    });
    Open(39);
    Click("DaOd");
    Type("150624");
    Enter();
    EXPECT_EQ(FromDate, Day("150624"));  // the value is committed either way
    EXPECT_EQ(form.CurrentSlot(), Slot(r.stays ? "DaOd" : "DaDo"));
    EXPECT_EQ(form.State(), kZesWaiting);
    if (r.stays) {
      EXPECT_EQ(form.Editor().sel_length, static_cast<int>(form.Editor().text.size()));
      // Backwards the guard is not asked.
      int before = asked;
      Key(kKeyTab);
      EXPECT_EQ(form.CurrentSlot(), Slot("Rocz"));
      EXPECT_EQ(asked, before);
    }
  }
  form.SetLeaveGuard({});
}

TEST_F(ZestawTest, RoleLettersOAndWCloseTheWindowRightAfterOpening) {
  struct Row {
    char letter;
    int index;
    bool closes;
  };
  const Row rows[] = {{'A', 39, false}, {'K', 39, false}, {'W', 39, true},
                      {'O', 39, false}, {'O', 138, true}};
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(1, r.letter) + " " + std::to_string(r.index));
    host.letter = r.letter;
    int closed_before = host.closed;
    Open(r.index);
    EXPECT_EQ(form.Shown(), !r.closes);
    EXPECT_EQ(host.closed - closed_before, r.closes ? 1 : 0);
    if (form.Shown()) form.ClickEsc();
  }
}

TEST_F(ZestawTest, MemoKeysPasteTheClipboardAndShowOtherKeys) {
  host.clipboard = "201-01";
  Procedure p(39, [&](OptionServices&) {
    ASSERT_TRUE(form.MemoShown());
    Key(kKeyF3);
    Key(kKeyF3);
    EXPECT_EQ(form.MemoText(), "201-01201-01");
    Key(65);
    EXPECT_TRUE(status.Saw("Key = #65", kInfo));
  });
  Open(39);
  form.SetMemoText("stare");
  form.ClickGo();
  EXPECT_FALSE(form.MemoShown());
}

TEST_F(ZestawTest, F3WindowsReturnRestoresWhereF3WindowsOpen) {
  for (int kind : {2, 3}) {
    SCOPED_TRACE(kind);
    Open(55);
    Click("KonW");
    OpenAt = Point16{5, 6};
    Key(kKeyF3);
    ASSERT_FALSE(desktop.kinds.empty());  // the F3 window was asked for
    EXPECT_NE(OpenAt.top, 6);              // it opens just below the editor
    form.SetReturnText("");
    form.Go(static_cast<std::uint8_t>(kind));
    EXPECT_EQ(OpenAt.left, 5);
    EXPECT_EQ(OpenAt.top, 6);
    // A second return without an F3 in between leaves the point alone.
    OpenAt = Point16{9, 9};
    form.Go(static_cast<std::uint8_t>(kind));
    EXPECT_EQ(OpenAt.left, 9);
    form.ClickEsc();
  }
}

TEST_F(ZestawTest, FirstStartSaysFarewellOnClosing) {
  for (bool first : {false, true}) {
    SCOPED_TRACE(first);
    status.shown.clear();
    host.first_start = first;
    Open(39);
    form.ClickEsc();
    EXPECT_FALSE(form.Shown());
    EXPECT_EQ(status.Saw("Rezygnujesz ? Zapraszam następnym razem !"), first);
  }
}

TEST_F(ZestawTest, DrawingNumbersFollowTheLaidOutFields) {
  Open(55);
  const ZestawLayout& d = form.Drawing();
  const FieldAppearance& look = form.Look();
  EXPECT_EQ(d.text_height, 16);
  EXPECT_EQ(d.panel_height, 16 + 2 * look.bevel);
  EXPECT_EQ(d.title.left, look.margin_x + 5);
  EXPECT_EQ(d.title.top, look.margin_y + 4);

  // Leaders run from after a line's first caption to just before its panel.
  ASSERT_FALSE(d.leaders.empty());
  for (const ZestawLeader& l : d.leaders) {
    const FieldSlot& s = form.Fields().Slot(l.slot);
    EXPECT_EQ(l.x1, s.label_left + 8 * static_cast<int>(s.label.size()) + 3);
    EXPECT_EQ(l.x2, s.left - 3);
    EXPECT_EQ(l.y, s.top + d.panel_height * 5 / 7);
    EXPECT_LT(l.x1, l.x2);
  }
  // Lines are right-aligned on one edge.
  int right = 0;
  for (int s = 1; s <= form.SlotCount(); ++s) {
    const FieldSlot& fs = form.Fields().Slot(s);
    bool last_of_line = s == form.SlotCount() || form.Fields().Slot(s + 1).line != fs.line;
    if (!last_of_line || fs.panel_width == 0) continue;
    if (right == 0) right = fs.right;
    EXPECT_EQ(fs.right, right) << "slot " << s;
  }

  // Buttons in one row: Esc at the margin, Go filling the rest; the memo
  // 4 pixels inside Go and 9 smaller.
  EXPECT_EQ(d.esc.left, look.margin_x);
  EXPECT_EQ(d.esc.top, form.ButtonsTop());
  EXPECT_EQ(d.go.top, d.esc.top);
  EXPECT_EQ(d.go.left, d.esc.left + d.esc.width + look.spacing_x);
  EXPECT_EQ(d.go.left + d.go.width, form.AreaWidth() - look.margin_x);
  EXPECT_EQ(d.memo.left, d.go.left + 4);
  EXPECT_EQ(d.memo.top, d.go.top + 4);
  EXPECT_EQ(d.memo.width, d.go.width - 9);
  EXPECT_EQ(d.memo.height, d.go.height - 9);
  EXPECT_EQ(d.status.top, form.StatusTop());  // no print bar
  EXPECT_EQ(d.print_bar.height, 0);

  // Seven equal steps up to the window's height.
  const WindowFrame& f = form.Frame();
  EXPECT_EQ(d.growth[6], f.height);
  for (int k = 0; k < 7; ++k) EXPECT_EQ(d.growth[static_cast<std::size_t>(k)], f.height * (k + 1) / 7);
  EXPECT_EQ(f.ClientHeight(), d.client_height);
}

TEST_F(ZestawTest, PrintBarStandsAboveTheStatusAndGrowsTheWindow) {
  host.printers = {"Laser", "Microsoft Print to PDF"};
  Open(11);
  ASSERT_TRUE(form.PrintBarShown());
  const ZestawLayout& d = form.Drawing();
  const FieldAppearance& look = form.Look();
  EXPECT_EQ(d.print_bar.top, form.StatusTop());
  EXPECT_EQ(d.print_bar.left, look.margin_x);
  int bar = d.print_bar.height + look.spacing_y;
  EXPECT_EQ(d.status.top, form.StatusTop() + bar);
  EXPECT_EQ(d.client_height, form.StatusTop() + bar + form.Fields().LineHeight() + look.margin_y);
  EXPECT_EQ(form.Frame().ClientHeight(), d.client_height);
  // Every control lies inside the bar, none overlapping the one before it
  // on the same row; the combo is as wide as its widest entry + 36.
  int widest = 0;
  for (const ActionEntry& a : form.Actions()) widest = std::max(widest, 8 * static_cast<int>(a.text.size()));
  EXPECT_EQ(d.bar_items[1].width, widest + 36);
  for (std::size_t i = 0; i < 7; ++i) {
    const ZestawRect& r = d.bar_items[i];
    EXPECT_LE(r.left + r.width, d.print_bar.width) << i;
    EXPECT_LE(r.top + r.height, d.print_bar.height) << i;
    if (i > 0 && d.bar_items[i - 1].top == r.top) {
      EXPECT_GE(r.left, d.bar_items[i - 1].left + d.bar_items[i - 1].width) << i;
    }
  }
}

TEST_F(ZestawTest, SmallPlainFontTakesTheLighterColours) {
  struct Row {
    const char* name;
    bool bold;
    int size;
    std::uint32_t back, bar;
  };
  const Row rows[] = {
      {"bold 9", true, 9, 12636370, 12636370},
      {"plain 11", false, 11, 12636370, 12636370},
      {"plain 10", false, 10, 16312536, 13170943},
  };
  ResolvedFont saved = WindowFont;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    WindowFont.bold = r.bold;
    StationSettings.window_sizes[0] = static_cast<std::int16_t>(r.size);
    Open(39);
    EXPECT_EQ(form.Drawing().back_colour, r.back);
    EXPECT_EQ(form.Drawing().bar_colour, r.bar);
    EXPECT_EQ(form.Drawing().panel_colour, 14147551u);
    EXPECT_EQ(form.Drawing().frame_colours[5], 5u * 2369552u + 788610u);
  }
  WindowFont = saved;
}

TEST_F(ZestawTest, LongTitleWidensTheWindowInItsLargerFont) {
  OptionIndex = 39;
  OptionCaption = std::string(40, 'W');  // as long as a caption gets
  form.Go(1);
  const ZestawLayout& d = form.Drawing();
  ASSERT_EQ(form.Title().size(), 40u);
  // Measured in the window font and scaled by 3 points more.
  int font = form.FontSize();
  EXPECT_EQ(d.title.width, 8 * static_cast<int>(form.Title().size()) * (font + 3) / font);
  EXPECT_EQ(form.AreaWidth(), d.title.width + form.Look().spacing_x + form.Look().margin_x);
  EXPECT_GE(form.AreaWidth(), d.title.left + d.title.width);
}

}  // namespace
}  // namespace zel::test
