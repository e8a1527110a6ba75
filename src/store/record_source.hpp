// Where record readers get their bytes: an opened file of the platform layer
// or a byte buffer (tests, fuzzing, a file already in memory).
//
// A source answers reads at byte offsets and its size; a short read at the
// end is normal. The source does not own the file or the bytes it reads;
// they must outlive it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/file.hpp"

namespace zel {

class RecordSource {
 public:
  virtual ~RecordSource() = default;
  // Reads up to n bytes at offset; *got tells how many arrived.
  virtual bool ReadAt(std::uint64_t offset, void* buffer, std::size_t n, std::size_t* got) = 0;
  virtual bool Size(std::uint64_t* size) = 0;
};

class FileSource : public RecordSource {
 public:
  explicit FileSource(File& file) : file_(file) {}
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t n, std::size_t* got) override {
    return file_.ReadAt(offset, buffer, n, got);
  }
  bool Size(std::uint64_t* size) override { return file_.Size(size); }

 private:
  File& file_;
};

class MemorySource : public RecordSource {
 public:
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t n, std::size_t* got) override;
  bool Size(std::uint64_t* size) override {
    *size = bytes_.size();
    return true;
  }

 private:
  std::string_view bytes_;
};

// Number of whole records of `record_size` bytes in the source (a partial
// last record is not counted); 0 when the size cannot be read.
std::uint64_t RecordCount(RecordSource& source, std::size_t record_size);

}  // namespace zel
