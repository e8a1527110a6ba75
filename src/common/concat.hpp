// Joins texts into one string, appending them in order.
//
// Use it for a short literal put in front of a computed string
// ("N" + std::to_string(year)): GCC 12 at -O3 reports a false -Wrestrict
// overlap inside the library's string insert that such a sum inlines, while
// appending to a fresh string never goes through that code.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace zel {

std::string Concat(std::initializer_list<std::string_view> parts);

}  // namespace zel
