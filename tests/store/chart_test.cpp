#include "store/chart.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "common/pltext.hpp"
#include "store/status_capture.hpp"
#include "support/journal_builder.hpp"

namespace zel {
namespace {

using test::ChartBuilder;
using test::StatusCapture;

ChartTable Loaded(const ChartBuilder& b) {
  const std::string bytes = b.Bytes();
  MemorySource source(bytes);
  ChartTable t;
  t.LoadFrom(source);
  return t;
}

std::vector<std::string> Symbols(const ChartTable& t) {
  std::vector<std::string> out;
  for (std::size_t i = 1; i < t.Count(); ++i) out.push_back(t.SymbolAt(i).str());
  return out;
}

TEST(ChartLoad, EmptyChartHoldsSlotZeroAndTheSentinel) {
  ChartTable t = Loaded(ChartBuilder());
  EXPECT_EQ(t.Count(), 1u);
  EXPECT_EQ(t.Consumed(), 0u);
  EXPECT_TRUE(t.SymbolAt(0).empty());
  EXPECT_EQ(t.SymbolAt(1).view(), kSentinelSymbol);
  for (const char* s : {"0", "201", "zzz"}) {
    SCOPED_TRACE(s);
    EXPECT_EQ(t.Find(s), 1u);
    EXPECT_EQ(t.LastLookup(), 1u);
  }
  EXPECT_EQ(t.Description("201", 'N'), "      ...");
}

TEST(ChartLoad, LatestVersionWinsAndDeletionsGo) {
  ChartBuilder b;
  b.Add("202", "Dostawcy");
  b.Add("100", "Kasa");
  b.Add("202", "Rozrachunki z dostawcami");  // later version of 202
  b.Add("300", "Materiały"_w);
  b.Delete("300");
  b.Add("130", "", "ul. Polna 1");  // name empty, address kept: survives a load
  b.Add("140", "", "", "");         // nothing at all: dropped
  b.Add("", "Bez symbolu");
  StatusCapture status;
  ChartTable t = Loaded(b);
  EXPECT_EQ(Symbols(t), (std::vector<std::string>{"100", "130", "202"}));
  EXPECT_EQ(t.Consumed(), 8u);
  std::size_t slot = 0;
  ASSERT_TRUE(t.Contains("202", &slot));
  EXPECT_EQ(t.At(slot).name.view(), "Rozrachunki z dostawcami");
  EXPECT_EQ(t.FullNameAt(t.Find("130")), ", ul. Polna 1");
  // Every removal is shown: slot number, a space, the symbol.
  EXPECT_EQ(status.Count("1 ", kInfo), 1);  // the empty symbol, at slot 1
  EXPECT_EQ(status.Count(" 140", kInfo), 1);
  EXPECT_EQ(status.Count(" 202", kInfo), 1);
  EXPECT_EQ(status.Count(" 300", kInfo), 2);
}

TEST(ChartLoad, TextsComeInWindows1250) {
  ChartBuilder b;
  b.Add("201", "Łódź, Żółta 5"_w, "śląskie"_w, "", "Hasło"_w);
  const std::string bytes = b.Bytes();
  // The file holds the DOS text.
  EXPECT_EQ(bytes.substr(28, 4), WinToDos("Łódź"_w));
  ChartTable t = Loaded(b);
  const AccountRecord& r = t.At(1);
  EXPECT_EQ(r.name.view(), "Łódź, Żółta 5"_w);
  EXPECT_EQ(r.address.view(), "śląskie"_w);
  EXPECT_EQ(r.shortName.view(), "Hasło"_w);
}

TEST(ChartLoad, SymbolsAtOrAboveTheEndKeyAreLeftOut) {
  ChartBuilder b;
  b.Add("100", "Kasa");
  b.Add("\xFE", "Koniec?");
  b.Add("\xFE\x01", "Za koncem");
  b.Add("200", "Bank");
  StatusCapture status;
  ChartTable t = Loaded(b);
  EXPECT_EQ(Symbols(t), (std::vector<std::string>{"100", "200"}));
  EXPECT_EQ(status.Count("nr 2", kWarning), 1);
  EXPECT_EQ(t.Consumed(), 4u);
}

TEST(ChartLoad, StructureDefinitions) {
  ChartBuilder b;
  b.Add("9", "Koszty rodzajowe", "", "", "!K");
  b.Add("9", "Koszty rodzajowe (nowa nazwa)", "", "", "!K");  // same account again
  b.Add("8", "Drugi wzorzec", "", "", "!K");                  // a second definition of K
  b.Add("7", "Inny wzorzec", "", "", "!M");
  b.Add("6", "Nie wzorzec", "", "", "!m");
  StatusCapture status;
  ChartTable t = Loaded(b);
  EXPECT_EQ(t.Definition('K'), "9");
  EXPECT_EQ(t.Definition('M'), "7");
  EXPECT_EQ(t.Definition('L'), "");
  EXPECT_EQ(status.Count("Powtórka definicji struktury"_w, kWarning), 1);
  // Reloading clears the definitions.
  const std::string none;
  MemorySource empty(none);
  t.LoadFrom(empty);
  EXPECT_EQ(t.Definition('K'), "");
}

// The load's sort and clean-up written the slow, literal way: sink each
// out-of-order record down past every strictly greater symbol, then remove
// older duplicates, empty symbols and records without any text.
std::vector<std::string> ReferenceLoad(const std::vector<AccountRecord>& file) {
  std::vector<AccountRecord> slots = file;
  for (;;) {
    std::size_t found = 0;
    for (std::size_t i = slots.size(); i-- > 1;) {
      if (CompareSymbols(slots[i].symbol, slots[i - 1].symbol) < 0) {
        found = i;
        break;
      }
    }
    if (found == 0) break;
    AccountRecord r = slots[found];
    std::size_t j = found;
    while (j > 0 && CompareSymbols(slots[j - 1].symbol, r.symbol) > 0) {
      slots[j] = slots[j - 1];
      --j;
    }
    slots[j] = r;
  }
  std::vector<std::string> out;
  for (std::size_t i = 0; i < slots.size(); ++i) {
    const AccountRecord& r = slots[i];
    if (i + 1 < slots.size() && slots[i + 1].symbol.view() == r.symbol.view()) continue;
    if (r.symbol.empty() || FullName(r).empty()) continue;
    out.push_back(r.symbol.str() + "|" + r.name.str());
  }
  return out;
}

TEST(ChartLoad, SortGivesTheSameTableAsTheLiteralOne) {
  std::mt19937 random(7);
  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE(round);
    ChartBuilder b;
    std::vector<AccountRecord> file;
    for (int i = 0; i < 400; ++i) {
      const std::string symbol = std::to_string(200 + random() % 60) +
                                 (random() % 3 == 0 ? "" : Concat({"-", std::to_string(random() % 9)}));
      const bool deletion = random() % 7 == 0;
      AccountRecord& r =
          deletion ? b.Delete(symbol)
                   : b.Add(symbol, Concat({"v", std::to_string(i)}), random() % 5 == 0 ? "adres" : "");
      file.push_back(r);
    }
    ChartTable t = Loaded(b);
    std::vector<std::string> got;
    for (std::size_t i = 1; i < t.Count(); ++i)
      got.push_back(t.SymbolAt(i).str() + "|" + t.At(i).name.str());
    EXPECT_EQ(got, ReferenceLoad(file));
  }
}

// Symbols that the first 16 bytes do not order: long ones sharing those
// bytes, prefixes of one another, zero bytes that look like padding, bytes
// above 127; small files and files big enough for the bulk sort.
TEST(ChartLoad, LongAndUnusualSymbolsSortLikeTheLiteralOne) {
  struct Row {
    const char* name;
    std::vector<std::string> stems;  // a symbol is a stem and a random tail
    std::string tail_bytes;
    int max_tail;
    int records;
  };
  const std::vector<Row> rows = {
      {"long symbols sharing 16 bytes", {"201-01-0001-0001", "201-01-0001-000"}, "0123", 9, 600},
      {"lengths around 8 and 16", {"2010", "2010-001", "2010-001-0000001"}, "01-", 10, 600},
      {"zero and high bytes",
       {"30", std::string("30\0", 3)},
       std::string("\0\x01\x7F\x80\xFD", 5),
       20,
       600},
      {"a small file", {"201-01-0001-0001", "2"}, "01", 10, 40},
  };
  std::mt19937 random(11);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ChartBuilder b;
    std::vector<AccountRecord> file;
    for (int i = 0; i < row.records; ++i) {
      std::string symbol = row.stems[random() % row.stems.size()];
      const int tail = static_cast<int>(random() % static_cast<unsigned>(row.max_tail + 1));
      for (int k = 0; k < tail; ++k) symbol += row.tail_bytes[random() % row.tail_bytes.size()];
      symbol.resize(std::min<std::size_t>(symbol.size(), 25));
      AccountRecord& r =
          random() % 9 == 0 ? b.Delete(symbol) : b.Add(symbol, Concat({"v", std::to_string(i)}));
      file.push_back(r);
    }
    ChartTable t = Loaded(b);
    std::vector<std::string> got;
    for (std::size_t i = 1; i < t.Count(); ++i)
      got.push_back(t.SymbolAt(i).str() + "|" + t.At(i).name.str());
    EXPECT_EQ(got, ReferenceLoad(file));
  }
}

// The loader copies each text at a fixed width: what follows a text in its
// field (damage, a longer old text) must not leak into it or into the
// symbol's order, and a length byte beyond the capacity is cut to it.
TEST(ChartLoad, EachTextEndsAtItsLength) {
  ChartBuilder b;
  b.Add("201", "Łódź"_w, "Kraków"_w, "5260001122", "K1");
  b.Add("202", "Kasa", "", "", "K2");
  b.Add("2020", "Bank");
  std::string bytes = b.Bytes();
  char* second = bytes.data() + kAccountRecordSize;
  std::memset(second + 4, '\xFF', 22);       // after the symbol "202"
  std::memset(second + 27 + 5, '\x9D', 40);  // high bytes after "Kasa"
  second[180] = '\xFF';                      // NIP length beyond 15
  std::memset(second + 181, 'x', 15);
  MemorySource source(bytes);
  ChartTable t;
  t.LoadFrom(source);
  ASSERT_EQ(Symbols(t), (std::vector<std::string>{"201", "202", "2020"}));
  const AccountRecord first = t.At(1);
  EXPECT_EQ(first.name.view(), "Łódź"_w);
  EXPECT_EQ(first.address.view(), "Kraków"_w);
  EXPECT_EQ(first.nip.view(), "5260001122");
  const AccountRecord kasa = t.At(2);
  EXPECT_EQ(kasa.name.view(), "Kasa");
  EXPECT_EQ(kasa.nip.view(), std::string(15, 'x'));
  EXPECT_EQ(kasa.shortName.view(), "K2");
}

// A chart used for years: most records are older versions. The load packs
// the table again and every account and later change still reads right.
TEST(ChartLoad, ManyOldVersionsLeaveASoundTable) {
  ChartBuilder b;
  for (int round = 0; round < 100; ++round)
    for (int i = 0; i < 40; ++i)
      b.Add("201-" + std::to_string(100 + i),
            "Konto " + std::to_string(i) + " wersja " + std::to_string(round),
            std::string(30, 'a'));
  b.Add("201-01-0001-0001-77", "Długi symbol"_w);
  b.Delete("201-01-0001-0001-77");
  StatusCapture status;
  ChartTable t = Loaded(b);
  EXPECT_EQ(t.Consumed(), 4002u);
  EXPECT_EQ(status.Count("1 201-01-0001-0001-77", kInfo), 2);
  ASSERT_EQ(t.Count(), 41u);
  for (int i = 0; i < 40; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(t.At(static_cast<std::size_t>(i + 1)).name.str(),
              "Konto " + std::to_string(i) + " wersja 99");
  }
  EXPECT_EQ(status.Count(" 201-100", kInfo), 99);
  AccountRecord r;
  r.symbol = "201-1005";
  r.name = "Nowe";
  t.Put(r);
  EXPECT_EQ(Symbols(t)[1], "201-1005");
  EXPECT_EQ(t.At(t.Find("201-139")).name.str(), "Konto 39 wersja 99");
  EXPECT_EQ(t.SymbolAt(t.Count()).view(), kSentinelSymbol);
}

TEST(ChartTable, PutAndRemoveKeepTheOrder) {
  ChartBuilder b;
  b.Add("100", "Kasa");
  b.Add("300", "Materiały"_w);
  ChartTable t = Loaded(b);
  AccountRecord r;
  r.symbol = "200";
  r.name = "Bank";
  t.Put(r);
  r.symbol = "050";
  r.name = "Środki"_w;
  t.Put(r);
  EXPECT_EQ(Symbols(t), (std::vector<std::string>{"050", "100", "200", "300"}));
  EXPECT_EQ(t.Consumed(), 4u);
  r.symbol = "200";
  r.name = "Bank PKO";
  t.Put(r);  // replaces
  EXPECT_EQ(t.At(t.Find("200")).name.view(), "Bank PKO");
  r.name.clear();
  t.Put(r);  // an empty name removes
  t.Remove("300");
  t.Remove("999");  // not there: nothing happens
  EXPECT_EQ(Symbols(t), (std::vector<std::string>{"050", "100"}));
  // Slot 0 and the sentinel cannot be overwritten.
  r.name = "x";
  r.symbol = "";
  t.Put(r);
  r.symbol = "\xFE";
  t.Put(r);
  EXPECT_TRUE(t.SymbolAt(0).empty());
  EXPECT_EQ(t.SymbolAt(t.Count()).view(), kSentinelSymbol);
  EXPECT_EQ(Symbols(t), (std::vector<std::string>{"050", "100"}));
  EXPECT_EQ(t.SymbolAt(99).view(), kSentinelSymbol);
}

TEST(ChartTable, ManyReplacementsKeepEveryAccount) {
  // Enough replaced versions for the packed table to pack itself again.
  ChartTable t;
  AccountRecord r;
  r.address = std::string(40, 'a');
  for (int round = 0; round < 300; ++round) {
    for (int i = 0; i < 100; ++i) {
      r.symbol = "201-" + std::to_string(1000 + i);
      r.name = "Konto " + std::to_string(i) + " wersja " + std::to_string(round);
      t.Put(r);
    }
  }
  ASSERT_EQ(t.Count(), 101u);
  for (int i = 0; i < 100; ++i) {
    SCOPED_TRACE(i);
    const AccountRecord got = t.At(static_cast<std::size_t>(i + 1));
    EXPECT_EQ(got.symbol.str(), "201-" + std::to_string(1000 + i));
    EXPECT_EQ(got.name.str(), "Konto " + std::to_string(i) + " wersja 299");
    EXPECT_EQ(got.address.view(), r.address.view());
  }
  EXPECT_TRUE(t.SymbolAt(0).empty());
  EXPECT_EQ(t.SymbolAt(t.Count()).view(), kSentinelSymbol);
}

TEST(ChartTable, RefreshAppliesTheRecordsAppendedSince) {
  ChartBuilder b;
  b.Add("100", "Kasa");
  b.Add("130", "Bank");
  ChartTable t = Loaded(b);
  b.Add("140", "", "ul. Polna 1");  // address only: a refresh removes it
  b.Delete("100");
  b.Add("150", "Nowe");
  const std::string bytes = b.Bytes();
  MemorySource source(bytes);
  // Re-reading the last record already consumed is harmless.
  EXPECT_EQ(t.ApplyFrom(source, t.Consumed() - 1), 4u);
  EXPECT_EQ(Symbols(t), (std::vector<std::string>{"130", "150"}));
}

TEST(ChartTable, LoadAccountFillsTheCurrentBuffer) {
  ChartBuilder b;
  b.Add("201", "Odbiorcy", "ul. Długa 2"_w, "123-456-78-90");
  ChartTable t = Loaded(b);
  t.LoadAccount("201");
  EXPECT_EQ(t.Current().name.view(), "Odbiorcy");
  t.Current().name = "zmienione";
  t.LoadAccount("202");
  EXPECT_EQ(t.Current().symbol.view(), "202");
  EXPECT_TRUE(t.Current().name.empty());
  EXPECT_EQ(t.FullNameAt(1), "Odbiorcy, ul. Długa 2, 123-456-78-90"_w);
}

ChartTable DescriptionChart() {
  ChartBuilder b;
  b.Add("2", "Rozrachunki");
  b.Add("201", "-z odbiorcami");
  b.Add("201-01", "Alfa sp. z o.o.", "00-001 Warszawa", "111-222-33-44", "ALFA");
  b.Add("202-01", "Beta", "", "", "BETA");  // its parent 202 is missing
  b.Add("5", "Koszty wg miejsc");
  b.Add("50", "Wydział A"_w);
  b.Add("501", "Koszty wydziału"_w, "", "", "^K");
  b.Add("9", "Koszty rodzajowe", "", "", "!K");
  b.Add("90", "Materiały"_w);
  b.Add("91", "-usługi obce"_w);
  return Loaded(b);
}

TEST(AccountDescription, Modes) {
  ChartTable t = DescriptionChart();
  struct Row {
    const char* name;
    std::string symbol;
    char mode;
    std::string expected;
  } rows[] = {
      {"name with address and NIP", "201-01", 'N',
       "   Alfa sp. z o.o.; 00-001 Warszawa; NIP:111-222-33-44"},
      {"mode n: name only", "201-01", 'n', "   Alfa sp. z o.o."},
      {"description mode", "201-01", 'O', "   Alfa sp. z o.o.; 00-001 Warszawa; NIP:111-222-33-44"},
      {"short name", "201-01", 'H', "   ALFA"},
      {"none", "201-01", 'B', "   "},
      {"full path continues a dash name", "201", 'P', "   Rozrachunki -z odbiorcami"},
      {"full path replaced by a plain name", "201-01", 'P',
       "   Alfa sp. z o.o.; 00-001 Warszawa; NIP:111-222-33-44"},
      {"missing middle level is skipped", "202-01", 'n', "   Beta"},
      {"not in the chart", "201-02", 'n', "   -z odbiorcami   ..."},
      {"nothing of it in the chart", "7", 'N', "      ..."},
      {"cut at the first space", "201 xyz", 'P', "   Rozrachunki -z odbiorcami"},
      // 501 stands for structure K (defined at 9): 5010 reads as 90.
      {"structure use", "5010", 'n', "   Materiały"_w},
      {"structure use, full path", "5011", 'P', "   Wydział A -usługi obce"_w},
      {"structure use, missing level", "5015", 'n', "   Wydział A   ..."_w},
      {"structure user itself", "501", 'n', "   Wydział A"_w},
      {"empty symbol", "", 'N', ""},
      {"total row", "RAZEM", 'N', ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(t.Description(row.symbol, row.mode), row.expected);
  }
}

TEST(ChartPathRule, FolderOrYearFolder) {
  EXPECT_EQ(BuildChartPath("C:\\FIRMA\\2024\\", "", "Plan"), "C:\\FIRMA\\2024\\Plan.PFX");
  EXPECT_EQ(BuildChartPath("C:\\FIRMA\\2024\\", "C:\\PLANY", "Plan"), "C:\\PLANY\\Plan.PFX");
  EXPECT_EQ(BuildChartPath("D\\", "", ""), "D\\PlanKont.PFX");
}

}  // namespace
}  // namespace zel
