// Declaration data files of any content: every slot stays a finite number
// and the derived values keep their rules.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "store/declaration.hpp"

using namespace zel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  DeclarationData d;
  d.year = static_cast<std::uint16_t>(2000 + data[0] % 40);
  d.month = static_cast<std::uint8_t>(1 + data[1] % 12);
  const std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);
  ReadTaxpayerText(text, d);
  ReadDeclarationText(text, d);
  DeriveDeclarationValues(d);
  for (Amount x : d.amounts)
    if (!std::isfinite(x) || x != std::nearbyint(x)) {
      // Derived sums of whole numbers are whole numbers.
      std::abort();
    }
  if (d.amounts[42] < 0 || d.amounts[45] != 0) std::abort();
  if (d.attachments > 9) std::abort();
  DeclarationData back;
  ReadTaxpayerText(TaxpayerFileText(d), back);
  if (back.Nip.view() != d.Nip.view() || back.oTe.view() != d.oTe.view()) std::abort();
  return 0;
}
