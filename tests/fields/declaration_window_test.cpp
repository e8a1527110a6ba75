// The VAT-7 window (option 85) shows the declaration data of its month: the
// taxpayer and the totals, read again when the month changes.
#include <fstream>

#include "fields/zestaw_fixture.hpp"
#include "store/declaration.hpp"

namespace zel::test {
namespace {

std::string Line(const std::string& key, char letter, const std::string& base,
                 const std::string& second, const std::string& third) {
  auto field = [](const std::string& t) { return std::string(15 - t.size(), ' ') + t; };
  std::string k = key;
  k.resize(12, ' ');
  return "  " + k + letter + field(base) + field(second) + field(third) + "\r\n";
}

TEST_F(ZestawTest, Vat7WindowShowsTheDeclarationDataOfItsMonth) {
  TempFolder dir;
  std::filesystem::create_directories(dir.path / "VAT");
  DbDir = dir.Path() + "/";
  std::ofstream(dir.path / "VAT" / "Pod.7BT", std::ios::binary)
      << "\r\n  Nip = 5260001122\r\n  Naz = Firma\r\n";
  std::ofstream(dir.path / "VAT" / "Vat.7BT", std::ios::binary)
      << "\r\n"
      << Line("2403S", 'A', "1.000,40", "230,50", "230,50")
      << Line("2404S", 'A', "500,00", "115,00", "115,00")
      << Line("2403Z", 'A', "400,00", "92,00", "92,00")
      << Line("2403Z", 'M', "100,00", "23,00", "23,00") << Line("2403P", 'a', "", "", "150,00");
  Declaration() = DeclarationData{};
  SetOptionText(220, "2024");
  SetOptionText(221, "3");
  Open(85);
  EXPECT_EQ(Panel(Slot("vOpi")), "Firma, NIP 5260001122");
  EXPECT_EQ(Panel(Slot("vSu7")), "1.000");
  EXPECT_EQ(Panel(Slot("vVa7")), "231");  // 230,50 goes up to whole złoty
  EXPECT_EQ(Panel(Slot("vNad")), "150");
  EXPECT_EQ(Panel(Slot("vSu4")), "500");
  EXPECT_EQ(Panel(Slot("vVa4")), "115");

  // Another month: the data is read again for it.
  Click("vMie");
  Type("4");
  Enter();
  EXPECT_EQ(Declaration().month, 4);
  EXPECT_EQ(Panel(Slot("vSu7")), "500");
  EXPECT_EQ(Panel(Slot("vVa7")), "115");
  EXPECT_EQ(Panel(Slot("vSu4")), "");
  Declaration() = DeclarationData{};
}

}  // namespace
}  // namespace zel::test
