#include "store/account_record.hpp"

#include <gtest/gtest.h>

#include <cstring>

namespace zel {
namespace {

TEST(AccountRecordCodec, FieldsStandAtTheirOffsetsAndRoundTrip) {
  AccountRecord r;
  r.symbol = "201-01";
  r.status = 1;
  r.name = "Alfa";
  r.address = "ul. Polna 1";
  r.extra = "dodatek";
  r.nip = "111-222-33-44";
  r.attribute = 'X';
  r.shortName = "ALFA";
  r.spare = "zapas";
  r.written = {38000, 754, {'A', 'B', 'C'}};
  r.changed = {1, 2, {'D', 'E', 'F'}};
  const auto b = EncodeAccountRecord(r);
  struct Row {
    const char* name;
    std::size_t offset;
    std::string text;
  } rows[] = {
      {"symbol", 0, "201-01"},   {"name", 27, "Alfa"},          {"address", 78, "ul. Polna 1"},
      {"extra", 129, "dodatek"}, {"nip", 180, "111-222-33-44"}, {"shortName", 197, "ALFA"},
      {"spare", 214, "zapas"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data()) + row.offset + 1, b[row.offset]),
              row.text);
    // The bytes after the text are zero.
    EXPECT_EQ(b[row.offset + 1 + row.text.size()], 0);
  }
  EXPECT_EQ(b[26], 1);
  EXPECT_EQ(b[196], 'X');
  EXPECT_EQ(b[235] | (b[236] << 8), 38000);
  EXPECT_EQ(b[237] | (b[238] << 8), 754);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data()) + 239, 3), "ABC");
  EXPECT_EQ(b[242], 1);
  for (std::size_t at : {213u, 230u, 234u, 249u}) EXPECT_EQ(b[at], 0) << at;
  const AccountRecord back = DecodeAccountRecord(b.data());
  EXPECT_EQ(EncodeAccountRecord(back), b);
}

TEST(AccountRecordCodec, LengthBytesAreClamped) {
  std::uint8_t b[kAccountRecordSize];
  std::memset(b, 'Q', sizeof b);
  const AccountRecord r = DecodeAccountRecord(b);  // every length byte is 'Q' = 81
  EXPECT_EQ(r.symbol.size(), 25u);
  EXPECT_EQ(r.name.size(), 50u);
  EXPECT_EQ(r.nip.size(), 15u);
  EXPECT_EQ(r.shortName.size(), 15u);
}

TEST(OldFormats, RecordsDecodeAtTheirOffsets) {
  std::uint8_t tfk[kOldChartRecordSize];
  OldChartRecord o;
  o.symbol = "201";
  o.shortName = "ODB";
  o.name = std::string(70, 'n');
  EncodeOldChartRecord(o, tfk);
  EXPECT_EQ(tfk[13], 3);
  EXPECT_EQ(tfk[26], 70);
  const OldChartRecord o2 = DecodeOldChartRecord(tfk);
  EXPECT_EQ(o2.shortName.view(), "ODB");
  EXPECT_EQ(o2.name.size(), 70u);

  std::uint8_t trz[kContractorRecordSize];
  ContractorRecord c;
  c.symbol = "D-1";
  c.nip = "5260000000";
  c.shortName = "SKR";
  c.name = "Nazwa";
  EncodeContractorRecord(c, trz);
  EXPECT_EQ(trz[19], 10);
  EXPECT_EQ(trz[35], 3);
  EXPECT_EQ(trz[48], 5);
  const ContractorRecord c2 = DecodeContractorRecord(trz);
  EXPECT_EQ(c2.nip.view(), "5260000000");
  EXPECT_EQ(c2.name.view(), "Nazwa");
}

TEST(OldFormats, SplitOldName) {
  const std::string a40(40, 'a');
  const std::string b30(30, 'b');
  struct Row {
    const char* name;
    std::string text, name_part, address;
  } rows[] = {
      {"fits in 50", "Kowalski Jan", "Kowalski Jan", ""},
      {"exactly 50", std::string(50, 'x'), std::string(50, 'x'), ""},
      {"comma leaving fewer than 50", a40 + "," + b30, a40 + ",", b30},
      {"leading spaces of the address go", a40 + ",   " + b30, a40 + ",", b30},
      // "ab," leaves 55 characters after it; without a space: cut at 50.
      {"a comma leaving 50 or more is passed over", "ab," + std::string(55, 'c'),
       "ab," + std::string(47, 'c'), std::string(8, 'c')},
      {"last space within 50", std::string(45, 'd') + " " + std::string(20, 'e'),
       std::string(45, 'd') + " ", std::string(20, 'e')},
      {"no comma, no space: cut at 50", std::string(70, 'f'), std::string(50, 'f'),
       std::string(20, 'f')},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FixedText<50> name, address;
    SplitOldName(row.text, &name, &address);
    EXPECT_EQ(name.view(), row.name_part);
    EXPECT_EQ(address.view(), row.address);
  }
}

}  // namespace
}  // namespace zel
