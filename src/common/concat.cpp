#include "common/concat.hpp"

namespace zel {

std::string Concat(std::initializer_list<std::string_view> parts) {
  std::size_t size = 0;
  for (std::string_view p : parts) size += p.size();
  std::string out;
  out.reserve(size);
  for (std::string_view p : parts) out.append(p.data(), p.size());
  return out;
}

}  // namespace zel
