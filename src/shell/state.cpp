#include "shell/state.hpp"

#include <algorithm>

namespace zel {

std::uint8_t RunMode = 220;
bool NetworkMode = false;
FixedText<4> StationExt;
FixedText<250> DbDir;
FixedText<250> ChartName;
FixedText<250> ChartPath;
FixedText<250> StartDir;
FixedText<250> TempDir;
FixedText<250> TrashDir = "Kosz\\";
DayNo BoDate = 35795;  // 01-01-2018
DayNo BzDate = 36159;  // 31-12-2018
DayNo FromDate = 35796;
DayNo ToDate = 36159;
FixedText<80> ForWhom = "Kelto-Soft";
FixedText<50> FirmName;
FixedText<20> FirmId;

namespace {

std::string WorkName(std::string_view dir, std::string_view code) {
  std::string name(dir);
  name += "Ux-";
  name += code.substr(0, std::min<std::size_t>(code.size(), 8));
  name += StationExt.view();
  if (name.size() > 80) name.resize(80);
  return name;
}

}  // namespace

std::string TempName(std::string_view code) { return WorkName(TempDir.view(), code); }
std::string TrashName(std::string_view code) { return WorkName(TrashDir.view(), code); }

}  // namespace zel
