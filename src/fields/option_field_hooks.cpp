#include "fields/option_field_hooks.hpp"

#include <array>

namespace zel {

namespace {

std::array<OptionFieldHooks*, 256>& Table() {
  static std::array<OptionFieldHooks*, 256> table{};
  return table;
}

}  // namespace

void SetOptionFieldHooks(std::uint8_t index, OptionFieldHooks* hooks) { Table()[index] = hooks; }

OptionFieldHooks* OptionFieldHooksOf(std::uint8_t index) { return Table()[index]; }

}  // namespace zel
