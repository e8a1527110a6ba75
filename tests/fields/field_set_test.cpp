#include <gtest/gtest.h>

#include "declaration_fixture.hpp"
#include "fields/field_catalogue.hpp"

namespace zel {
namespace {

using test::Declaring;

TEST(FieldSet, TitleShowsTheMenuPositionWithAPoint) {
  struct Row {
    const char* position;
    const char* name;
    const char* title;
  } rows[] = {
      {"EA", "zestawienie obrotów i sald", "E.A - zestawienie obrotów i sald"},
      {"F1", "ustawienia okienek", "F1 - ustawienia okienek"},
      {"A", "wprowadzanie-korekta dowodów", "A - wprowadzanie-korekta dowodów"},
      {"..", "opcja niedostępna", ".. - opcja niedostępna"},
      {"", "logowanie", "logowanie"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.position);
    EXPECT_EQ(WinToUtf8(MenuPositionTitle(row.position, Utf8ToWin(row.name))), row.title);
  }
  Declaring d;
  Declaring::Open(55, "EA", "zestawienie obrotów i sald");
  d.fields.Begin(kGoRun);
  EXPECT_EQ(WinToUtf8(d.fields.Title()), "E.A - zestawienie obrotów i sald");
  EXPECT_EQ(GoCaption(d.fields.Go()), "Wykonaj");
  EXPECT_EQ(WinToUtf8(WindowCaption("1.41", d.fields.Title())),
            "  Zel 1.41       E.A - zestawienie obrotów i sald");
}

TEST(FieldSet, LinePlacesLabelsAndPanelsWithMarginOrSpacing) {
  Declaring d;
  // Margin 15, spacing 5, bevel 3, border 2: a panel of 6 characters is
  // 7 * 8 + 2 * 5 = 66 pixels wide.
  ASSERT_TRUE(d.fields.Line({CatalogueField(65, "Wybrany okres"), CatalogueField(66, "-")}));
  ASSERT_EQ(d.fields.SlotCount(), 2);
  const FieldSlot& from = d.fields.Slot(1);
  EXPECT_EQ(from.label_left, 4 + 15);
  EXPECT_EQ(from.label_width, 13 * 7);
  EXPECT_EQ(from.left, 19 + 91 + 5);
  EXPECT_EQ(from.panel_width, 66);
  EXPECT_EQ(from.right, 115 + 66);
  EXPECT_EQ(from.panel.view(), kPlaceholder);
  EXPECT_TRUE(from.value.empty());
  const FieldSlot& to = d.fields.Slot(2);
  EXPECT_EQ(to.label_left, 181 + 5);  // "-" takes the narrow spacing
  EXPECT_EQ(to.left, 186 + 7 + 5);
  EXPECT_EQ(to.top, 30);
  EXPECT_EQ(to.line, 1);
  EXPECT_EQ(d.fields.WidestRight(), 198 + 66);

  // An empty caption takes the spacing too and has no label width.
  d.fields.Line({CatalogueField(62), CatalogueField(63), CatalogueField(64)});
  const FieldSlot& second = d.fields.Slot(4);
  EXPECT_EQ(second.top, 30 + 13 + 2 * 3 + 3);
  EXPECT_EQ(second.label_width, 0);
  EXPECT_EQ(second.left, d.fields.Slot(3).right + 5);
  EXPECT_EQ(d.fields.NextTop(), 30 + 2 * 22);
}

TEST(FieldSet, WidthZeroGivesACaptionWithoutPanel) {
  Declaring d;
  d.fields.Caption("przyśpiesza start programu"_w);
  d.fields.Line({FieldDecl{"Nazwa wzorca", "", 0, 8}});
  EXPECT_EQ(d.fields.Slot(1).panel_width, 0);
  EXPECT_FALSE(d.fields.Slot(1).Editable());
  EXPECT_EQ(d.fields.Slot(1).max_length, 0);
  EXPECT_TRUE(d.fields.Slot(2).Editable());
  EXPECT_EQ(d.fields.Slot(2).number, 0);
}

TEST(FieldSet, WideDeclarationKeepsItsPanelButNotMoreThanTheSlotHolds) {
  Declaring d;
  d.fields.Line({CatalogueField(236)});  // "Folder Vmu", 70 characters
  EXPECT_EQ(d.fields.Slot(1).panel_width, d.fields.PanelWidth(70));
  EXPECT_EQ(d.fields.Slot(1).max_length, kSlotValueCapacity);
}

TEST(FieldSet, TheTwoHundredFirstSlotIsNotCreated) {
  Declaring d;
  for (int i = 1; i <= 200; ++i) ASSERT_TRUE(d.fields.Line({CatalogueField(42)})) << i;
  std::uint16_t top = d.fields.NextTop();
  EXPECT_FALSE(d.fields.Line({CatalogueField(71)}));
  EXPECT_FALSE(d.fields.AddTableBlock("A;B", {CatalogueField(71)}, false));
  EXPECT_EQ(d.fields.SlotCount(), 200);
  EXPECT_EQ(d.fields.Slot(200).code.view(), "Rocz");
  EXPECT_EQ(d.fields.FindSlot(71), 0);
  EXPECT_EQ(d.fields.Table().header_slot, 0);
  EXPECT_EQ(d.fields.LineCount(), 200);
  EXPECT_EQ(d.fields.NextTop(), top);  // nothing declared takes room
  EXPECT_EQ(d.fields.Slot(0).number, 0);
  EXPECT_EQ(d.fields.Slot(201).number, 0);
  d.fields.Slot(201).number = 71;
  EXPECT_EQ(d.fields.FindSlot(71), 0);
}

TEST(FieldSet, SeparatorsStopAtNinetyNine) {
  Declaring d;
  for (int i = 0; i < 99; ++i) ASSERT_TRUE(d.fields.Separator());
  std::uint16_t top = d.fields.NextTop();
  EXPECT_EQ(top, 30 + 99 * 9);
  EXPECT_FALSE(d.fields.Separator());
  EXPECT_EQ(d.fields.Separators().size(), 99u);
  EXPECT_EQ(d.fields.NextTop(), top);
}

TEST(FieldSet, TableBlockHasHeaderRowsAndFooter) {
  Declaring d;
  d.fields.Line({CatalogueField(192)});
  d.fields.SetTableRows(3);
  ASSERT_TRUE(d.fields.AddTableBlock("Lp;Obroty konta;na konto",
                                     {CatalogueField(193), CatalogueField(194, "-")}, true));
  const TableBlock& table = d.fields.Table();
  EXPECT_EQ(table.header_slot, 2);
  EXPECT_EQ(table.columns, 2);
  EXPECT_EQ(table.visible_rows, 3);
  EXPECT_EQ(table.footer_slot, 2 + 3 * 2 + 1);
  EXPECT_EQ(d.fields.SlotCount(), table.footer_slot);
  EXPECT_EQ(d.fields.Slot(2).label.view(), "Lp;Obroty konta;na konto");
  EXPECT_EQ(d.fields.Slot(3).label.view(), "    1");
  EXPECT_EQ(d.fields.Slot(7).label.view(), "    3");
  EXPECT_EQ(d.fields.Slot(8).label.view(), "-");
  EXPECT_EQ(d.fields.Slot(table.footer_slot).label.view(), "Suma");
  EXPECT_FALSE(d.fields.Slot(table.footer_slot).Editable());
}

TEST(FieldSet, DisplayOnlyAndBackByNumber) {
  Declaring d;
  for (int i = 0; i < 3; ++i) d.fields.Line({CatalogueField(101)});
  d.fields.Line({CatalogueField(42)});
  d.fields.DisplayOnly({101});
  EXPECT_FALSE(d.fields.Slot(1).Editable());
  EXPECT_FALSE(d.fields.Slot(3).Editable());
  EXPECT_TRUE(d.fields.Slot(4).Editable());
  d.fields.DisplayOnly({101}, false);
  EXPECT_TRUE(d.fields.Slot(2).Editable());
}

TEST(FieldSet, ResetEmptiesEverything) {
  Declaring d;
  d.fields.Begin(kGoSave, "EA", "x");
  d.fields.SetActionSet(1, "PoKs");
  d.fields.Line({CatalogueField(42)});
  d.fields.Separator();
  d.fields.SetInitialSlot(2);
  d.fields.Reset(d.metrics, FieldAppearance{}, 5);
  EXPECT_EQ(d.fields.SlotCount(), 0);
  EXPECT_FALSE(d.fields.Begun());
  EXPECT_FALSE(d.fields.Actions().declared);
  EXPECT_TRUE(d.fields.Separators().empty());
  EXPECT_EQ(d.fields.InitialSlot(), 1);
  EXPECT_EQ(d.fields.Table().visible_rows, kDefaultTableRows);
  EXPECT_EQ(d.fields.NextTop(), 5);
}

TEST(FieldCatalogue, NumbersAndCodesAreUnique) {
  const auto& all = FieldCatalogue();
  for (std::size_t i = 0; i < all.size(); ++i)
    for (std::size_t j = i + 1; j < all.size(); ++j) {
      EXPECT_NE(all[i].number, all[j].number) << all[i].code;
      EXPECT_STRNE(all[i].code, all[j].code) << all[i].number;
    }
  EXPECT_EQ(FindFieldByCode("KonW")->number, 71);
  EXPECT_EQ(FindField(42)->f4_list, 90);
  EXPECT_STREQ(FindField(42)->f4_extension, "DFX");
  EXPECT_TRUE(FindField(42)->upper);
  EXPECT_FALSE(FindField(71)->upper);
  EXPECT_TRUE(FindField(219)->f3_window);
  EXPECT_EQ(FindField(53), nullptr);
}

}  // namespace
}  // namespace zel
