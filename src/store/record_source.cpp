#include "store/record_source.hpp"

#include <algorithm>
#include <cstring>

namespace zel {

bool MemorySource::ReadAt(std::uint64_t offset, void* buffer, std::size_t n, std::size_t* got) {
  *got = 0;
  if (offset >= bytes_.size()) return true;
  const std::size_t count = std::min<std::uint64_t>(n, bytes_.size() - offset);
  std::memcpy(buffer, bytes_.data() + offset, count);
  *got = count;
  return true;
}

std::uint64_t RecordCount(RecordSource& source, std::size_t record_size) {
  std::uint64_t size = 0;
  if (record_size == 0 || !source.Size(&size)) return 0;
  return size / record_size;
}

}  // namespace zel
