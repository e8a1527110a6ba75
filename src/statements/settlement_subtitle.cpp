#include "common/dates.hpp"
#include "statements/open_items.hpp"

namespace zel {

std::string SettlementSubtitle(const SettlementParams& p) {
  return "ze zbioru " + p.annual_name + MaskText(p.masks) + "  w okresie " +
         DayToText10(p.from) + " do " + DayToText10(p.to);
}

}  // namespace zel
