// Writing a whole record file (a journal or a chart) anew, the way every
// shared file of the year folder is replaced: the new contents go to a file
// beside the target, are forced to disk and renamed over the target, while
// the old file is held exclusively (so no workstation reads it half
// replaced) and the registry marks the file as being rewritten ('#').
// A failure at any step leaves the old file whole and removes the new one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace zel {

// Fills one record of `size` bytes (zeroed beforehand) for record number i.
using RecordFiller = std::function<void(std::size_t i, std::uint8_t* record)>;

// Writes `count` records beside `path` and renames them over it. `tag` names
// the caller in the retry countdown. False with a Polish message
// (Windows-1250) in *message when anything failed; the old file is then
// untouched.
bool ReplaceRecordFile(std::string_view path, std::size_t count, std::size_t size,
                       const RecordFiller& fill, std::string_view tag, std::string* message);

// The same for contents already whole in memory (`bytes` bytes at data),
// written in a few large writes.
bool ReplaceFileBytes(std::string_view path, const std::uint8_t* data, std::size_t bytes,
                      std::string_view tag, std::string* message);

}  // namespace zel
