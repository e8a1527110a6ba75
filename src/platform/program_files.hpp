// Where the program itself lives, and the folder of the read-only files it
// ships (forms, templates): found from the program's own location, so a
// build folder and an installed copy each use their own files and neither
// depends on the folder the program was started from.
#pragma once

#include <string>
#include <string_view>

namespace zel {

// The running program's file as an absolute native path (UTF-8); empty when
// the system does not say.
std::string ProgramFile();

// The program's data folder (native, UTF-8, no trailing "/"), the first that
// exists of:
//   - $ZEL_DATA_DIR, when set (tests, or files kept elsewhere);
//   - PREFIX/share/zel for a program installed as PREFIX/bin/NAME;
//   - "data" beside the program, as the build folder has it.
// Empty when none exists.
std::string DataFolder();

// The same search for a program at `program_file`, without $ZEL_DATA_DIR.
std::string DataFolderFor(std::string_view program_file);

}  // namespace zel
