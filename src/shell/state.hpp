// The shell's global state: what the start-up establishes (workstation mode,
// database folder, chart path, book year, working folders) and every other
// subsystem reads. The start-up and the shell options are the only writers.
//
// Paths here are Zel paths (Windows-1250, "\" separators, DbDir ending in
// "\"); the platform layer turns them into native paths when a file is opened.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/fixed_text.hpp"
#include "common/types.hpp"

namespace zel {

// 1..197 numbered workstation, 220 single workstation, 222 waiting for a
// login, 223 test start ("-o").
extern std::uint8_t RunMode;
extern bool NetworkMode;
extern FixedText<4> StationExt;  // ".001".."197", ".xxx" for a single workstation
extern FixedText<250> DbDir;     // ends in "\" once set
extern FixedText<250> ChartName;
extern FixedText<250> ChartPath;
extern FixedText<250> StartDir;
extern FixedText<250> TempDir;
extern FixedText<250> TrashDir;  // "Kosz\"
extern DayNo BoDate;             // 01-01-2018 until the settings say otherwise
extern DayNo BzDate;             // 31-12-2018
extern DayNo FromDate;           // BoDate + 1
extern DayNo ToDate;             // BzDate
extern FixedText<80> ForWhom;
extern FixedText<50> FirmName;
extern FixedText<20> FirmId;

// Work file names of this workstation: TempDir + "Ux-" + code (cut to 8) +
// StationExt, and the same in TrashDir; both cut to 80 characters.
std::string TempName(std::string_view code);
std::string TrashName(std::string_view code);

}  // namespace zel
