// Fetching one file from a web address into a local file, for the program
// update. Only HTTPS is accepted, except plain HTTP to this machine's own
// loopback address (a local mirror, the tests): what is fetched is trusted
// only after its signature is checked, never for where it came from.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zel {

enum class DownloadResult : std::uint8_t {
  kDone,
  kRefusedAddress,  // not https, or http to another host than the loopback
  kFailed,          // no connection, an HTTP error status, a timeout, a write fault
  kTooLarge,        // more than the limit given
};

// Downloads `url` into the native path `target`, created anew (an existing
// file is replaced only when the download succeeded: the bytes go to a file
// beside it first). Redirects are followed only to HTTPS addresses. On a
// failure *error gets the reason in plain words (UTF-8) and `target` is
// left as it was.
DownloadResult DownloadFile(std::string_view url, const std::string& target,
                            std::uint64_t max_bytes, std::string* error);

// Whether the address is one DownloadFile accepts.
bool DownloadAddressAllowed(std::string_view url);

}  // namespace zel
