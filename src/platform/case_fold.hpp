// Letter case folding of file names, shared by the path resolution and the
// wildcard search of the platform layer: ASCII and the nine Polish letters
// of Windows-1250 are upper-cased, every other byte stays.
#pragma once

#include <string>
#include <string_view>

namespace zel {

std::string FoldCase(std::string_view win);

}  // namespace zel
