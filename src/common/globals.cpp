#include "common/globals.hpp"

namespace zel {

DayNo Today = 0;
FixedText<250> FillTemplate;
bool FoldSearch = false;

}  // namespace zel
