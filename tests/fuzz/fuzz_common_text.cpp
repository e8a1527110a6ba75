// The common helpers on arbitrary bytes: typed numbers and dates, DOS texts,
// XML character data, and amounts from any ten bytes (as a damaged record
// would hold them). Checks the invariants, not only the absence of crashes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "common/dates.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

bool IsXmlSafe(const std::string& s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b == '<' || b == '>' || b == '"') return false;
    if (b < 0x20 && b != '\t' && b != '\n' && b != '\r') return false;
    if (b >= 0x80) {
      // Only the two-byte forms of the Polish letters (lead byte C3, C4 or C5).
      if (b < 0xC3 || b > 0xC5 || i + 1 >= s.size()) return false;
      const auto next = static_cast<unsigned char>(s[++i]);
      if (next < 0x80 || next > 0xBF) return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zel;
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  const Amount parsed = ParseNumber(text);
  Check(parsed == parsed && parsed - parsed == 0);  // finite
  Check(Amount15(parsed).size() == 15);
  Check(Amount13x4(parsed).size() == 13);
  Check(Amount19(parsed).size() == 19);
  ParseInt(text);
  ParseSmall(text);
  ParseWord(text);

  const DayNo day = DayFromDdMmYy(text);
  Check(DayToText10(day).size() == 10);
  DayToWords(DayFromInput(text));
  WeekdayName(day);

  Check(DosToWin(text).size() == size);
  Check(WinToDos(text).size() == size);
  Check(UpperPl(text).size() == size);
  Check(FoldPl(text).size() == size);
  Check(IsXmlSafe(XmlText(text)));
  const std::string normal = NormalizeSpaces(text);
  Check(normal.size() <= 80 && normal.find("  ") == std::string::npos);
  MaskCompact(MaskExpand(text, static_cast<int>(size % 40)), static_cast<int>(size % 40));

  if (size >= 10) {
    // Any ten bytes as an extended real: NaNs, infinities, unnormals.
    Amount raw = 0;
    static_assert(sizeof(Amount) >= 10);
    std::memcpy(&raw, data, 10);
    Check(Amount15(raw).size() == 15);
    Check(Amount13x4(raw).size() == 13);
    const Amount r4 = Round4(raw);
    const Amount r2 = Round2(raw);
    Check(r4 == r4 && r4 - r4 == 0 && r2 == r2 && r2 - r2 == 0);
    NumberText(raw, static_cast<int>(data[0] % 8));
    AmountsDiffer(raw, parsed);
    BothZero(raw, parsed);
  }
  return 0;
}
