// The sample year made ready for several workstations (zel-demo
// --stations): the login file "!\Login.txt" of the Zel folder with users of
// the roles A and K and one of an unknown role letter, the database
// settings kept for every workstation (".???" keys), a second chart beside
// the first and a second database folder, so that the login and the
// database-change options have something to work on.
#pragma once

#include <string>
#include <string_view>

#include "app/demo.hpp"

namespace zel {

// The second chart's name and the suffix of the second database folder.
inline constexpr std::string_view kSecondChartName = "PlanDrug";
inline constexpr std::string_view kSecondFolderSuffix = "-2";

// db_dir: the database folder just written (Windows-1250, ending in "\"),
// inside the Zel folder. False with a Polish message in *err.
bool WriteStationsDemo(std::string_view db_dir, const DemoOptions& options, std::string* err);

}  // namespace zel
