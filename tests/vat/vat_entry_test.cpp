#include "vat/vat_entry.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "common/cp1250.hpp"

namespace zel {
namespace {

using Record = std::array<std::uint8_t, kVatEntrySize>;

VatEntry SampleEntry() {
  VatEntry e;
  e.key = "S24/000017";
  e.number = 3;
  e.registration_date = 38000;
  e.invoice_date = 37998;
  e.month_flag = 13;
  e.reference = "zam. 44/2024";
  e.nip = "5261040828";
  e.name = "Przykładowa Hurtownia Sp. z o.o."_w;
  e.address = "00-950 Warszawa, ul. Zielona 7"_w;
  e.document_no = "FV 17/03/2024";
  e.description = "towary i usługi"_w;
  e.vat_date = 38001;
  e.register_code = "SPR";
  e.lines[0] = {'A', 1000.00L, 230.00L, {7, 9}};
  e.lines[1] = {'B', 100.50L, 8.04L, {}};
  return e;
}

TEST(VatEntry, FieldsStandAtTheirOffsets) {
  Record r{};
  EncodeVatEntry(SampleEntry(), r.data());
  struct Field {
    const char* name;
    std::size_t offset;
    std::string_view expected;  // the length byte and the text
  };
  const Field fields[] = {
      {"key", 0, "\x0AS24/000017"},
      {"reference", 20, "\x0Czam. 44/2024"},
      {"nip", 46,
       "\x0A"
       "5261040828"},
      {"document", 217,
       "\x0D"
       "FV 17/03/2024"},
      {"register code", 283, "\x03SPR"},
  };
  for (const Field& f : fields) {
    SCOPED_TRACE(f.name);
    EXPECT_EQ(
        std::string_view(reinterpret_cast<const char*>(r.data() + f.offset), f.expected.size()),
        f.expected);
  }
  EXPECT_EQ(r[13], 3);
  EXPECT_EQ(r[14], 0);
  EXPECT_EQ(r[15] | (r[16] << 8), 38000);
  EXPECT_EQ(r[17] | (r[18] << 8), 37998);
  EXPECT_EQ(r[19], 13);
  EXPECT_EQ(r[279] | (r[280] << 8), 38001);
  EXPECT_EQ(r[289], 'A');
  EXPECT_EQ(r[289 + 23], 'B');
  EXPECT_EQ(r[289 + 21], 7);
  EXPECT_EQ(r[289 + 22], 9);
  Amount net = 0;
  ASSERT_TRUE(ReadAmount10(r.data() + 290, &net));
  EXPECT_EQ(net, 1000.00L);
  Amount vat = 0;
  ASSERT_TRUE(ReadAmount10(r.data() + 289 + 23 + 11, &vat));
  EXPECT_EQ(vat, 8.04L);
}

TEST(VatEntry, WritesZerosWhereNoFieldIsAndReadsBackTheSame) {
  const VatEntry e = SampleEntry();
  Record r;
  r.fill(0xAA);
  EncodeVatEntry(e, r.data());
  // Unused bytes of texts, the reserved gaps and the unused lines are zero.
  for (std::size_t i = 281; i < 283; ++i) EXPECT_EQ(r[i], 0) << i;
  for (std::size_t i = 427; i < kVatEntrySize; ++i) EXPECT_EQ(r[i], 0) << i;
  for (std::size_t i = 46 + 1 + 10; i < 62; ++i) EXPECT_EQ(r[i], 0) << i;
  for (std::size_t i = 289 + 2 * 23; i < 427; ++i) EXPECT_EQ(r[i], 0) << i;

  const VatEntry back = DecodeVatEntry(r.data());
  EXPECT_TRUE(back.amounts_ok);
  EXPECT_EQ(back.key, e.key);
  EXPECT_EQ(back.number, e.number);
  EXPECT_EQ(back.registration_date, e.registration_date);
  EXPECT_EQ(back.invoice_date, e.invoice_date);
  EXPECT_EQ(back.month_flag, e.month_flag);
  EXPECT_EQ(back.reference, e.reference);
  EXPECT_EQ(back.nip, e.nip);
  EXPECT_EQ(back.name, e.name);
  EXPECT_EQ(back.address, e.address);
  EXPECT_EQ(back.document_no, e.document_no);
  EXPECT_EQ(back.description, e.description);
  EXPECT_EQ(back.vat_date, e.vat_date);
  EXPECT_EQ(back.register_code, e.register_code);
  for (int i = 0; i < kVatLines; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(back.lines[i].letter, e.lines[i].letter);
    EXPECT_EQ(back.lines[i].net, e.lines[i].net);
    EXPECT_EQ(back.lines[i].vat, e.lines[i].vat);
    EXPECT_EQ(back.lines[i].extra, e.lines[i].extra);
  }
  Record again;
  EncodeVatEntry(back, again.data());
  EXPECT_EQ(again, r);
}

TEST(VatEntry, LengthBytesAboveTheCapacityAreClamped) {
  Record r;
  r.fill('x');
  r[0] = 200;   // key holds 12
  r[46] = 255;  // NIP holds 15
  r[283] = 99;  // register code holds 5
  for (int i = 0; i < kVatLines; ++i) {
    std::uint8_t* q = r.data() + 289 + i * 23;
    WriteAmount10(0, q + 1);
    WriteAmount10(0, q + 11);
  }
  const VatEntry e = DecodeVatEntry(r.data());
  EXPECT_EQ(e.key.size(), 12u);
  EXPECT_EQ(e.nip.size(), 15u);
  EXPECT_EQ(e.register_code.size(), 5u);
  EXPECT_TRUE(e.amounts_ok);
}

TEST(VatEntry, AmountsThatAreNotNumbersReadAsZeroAndFlagTheEntry) {
  struct Case {
    const char* name;
    std::array<std::uint8_t, 10> bytes;
    bool ok;
  };
  const Case cases[] = {
      {"zero", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, true},
      {"one", {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}, true},
      {"minus one", {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0xBF}, true},
      {"infinity", {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}, false},
      {"quiet NaN", {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F}, false},
      {"unnormal", {0, 0, 0, 0, 0, 0, 0, 0x40, 0xFF, 0x3F}, false},
      {"pseudo-denormal", {1, 0, 0, 0, 0, 0, 0, 0x80, 0, 0}, false},
      {"all ones", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Amount v = 123;
    EXPECT_EQ(ReadAmount10(c.bytes.data(), &v), c.ok);
    if (!c.ok) {
      EXPECT_EQ(v, 0);
    }
    EXPECT_TRUE(std::isfinite(v));

    Record r{};
    EncodeVatEntry(SampleEntry(), r.data());
    std::memcpy(r.data() + 289 + 23 + 11, c.bytes.data(), 10);  // VAT of the second line
    const VatEntry e = DecodeVatEntry(r.data());
    EXPECT_EQ(e.amounts_ok, c.ok);
    EXPECT_TRUE(std::isfinite(e.lines[1].vat));
  }
}

TEST(VatEntry, AmountsNoBookReachesAreRefusedLikeDamagedOnes) {
  std::array<std::uint8_t, 10> bytes{};
  WriteAmount10(1e19L, bytes.data());
  Amount v = 1;
  EXPECT_FALSE(ReadAmount10(bytes.data(), &v));
  EXPECT_EQ(v, 0);
  WriteAmount10(-123456789.25L, bytes.data());
  EXPECT_TRUE(ReadAmount10(bytes.data(), &v));
  EXPECT_EQ(v, -123456789.25L);
}

TEST(VatEntry, AnyBytesDecodeToFiniteAmountsAndTextsWithinCapacity) {
  std::uint64_t state = 12345;
  auto next = [&state] {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<std::uint8_t>(state >> 56);
  };
  int flagged = 0;
  for (int round = 0; round < 2000; ++round) {
    Record r;
    for (std::uint8_t& b : r) b = next();
    const VatEntry e = DecodeVatEntry(r.data());
    flagged += e.amounts_ok ? 0 : 1;
    for (const VatLine& l : e.lines) {
      ASSERT_TRUE(std::isfinite(l.net));
      ASSERT_TRUE(std::isfinite(l.vat));
    }
    ASSERT_LE(e.key.size(), 12u);
    ASSERT_LE(e.address.size(), 103u);
    ASSERT_LE(e.register_code.size(), 5u);
  }
  EXPECT_GT(flagged, 0);
}

TEST(VatEntry, TextsConvertBetweenMazoviaAndWindows) {
  VatEntry e = SampleEntry();
  VatEntryToDos(e);
  // "ł" of "Przykładowa" is byte 0x92 in Mazovia.
  EXPECT_EQ(static_cast<std::uint8_t>(e.name[5]), 0x92);
  EXPECT_EQ(e.nip.view(), "5261040828");
  VatEntryToWin(e);
  EXPECT_EQ(e.name.view(), "Przykładowa Hurtownia Sp. z o.o."_w);
  EXPECT_EQ(e.description.view(), "towary i usługi"_w);
}

TEST(VatEntry, RegisterCodeComesFromTheFileName) {
  struct Case {
    const char* file;
    const char* code;
  };
  const Case cases[] = {
      {"RejSPR.RSV", "SPR"},
      {"VAT\\Rej\"WN.RZV", "\"WN"},
      {"/tmp/x/AbcZ1.rzv", "Z1"},
      {"Abc.RSV", ""},
      {"Ab", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    EXPECT_EQ(VatRegisterCode(c.file), c.code);
  }
  EXPECT_EQ(VatRegisterFileName("SPR", 'S'), "RejSPR.RSV");
  EXPECT_EQ(VatRegisterCode(VatRegisterFileName("\"WN", 'Z')), "\"WN");
}

}  // namespace
}  // namespace zel
