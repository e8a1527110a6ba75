// Any text as a taxpayer file "Podmiot1.TXT": the parser never crashes, and
// no value it gives is empty (an empty value is "BRAK").
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "vat/jpk_kr.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const zel::TaxpayerData t =
      zel::ParseTaxpayer(std::string_view(reinterpret_cast<const char*>(data), size));
  for (const std::string* v : {&t.KUr, &t.NIP, &t.PNa, &t.Reg, &t.KKr, &t.Woj, &t.Pow, &t.Gmi,
                               &t.Uli, &t.NDo, &t.NLo, &t.Mie, &t.KPo, &t.Poc}) {
    if (v->empty()) std::abort();
  }
  return 0;
}
