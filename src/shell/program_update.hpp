// Replacing the running program by a newer one fetched from the update
// address, only when its detached signature checks against the maker's
// public key built into the program.
//
// The program file is fetched to "1" + its name beside it, its signature
// from the same address with ".sig" added (64 raw bytes of Ed25519). A file
// much smaller than the running program (by more than 88444 bytes) is taken
// for a broken download. When everything checks, the old program is kept
// beside as name + ".old" and the new one is renamed over the name, so the
// program file is never missing and never half-written; the caller then
// restarts the program through its normal close.
#pragma once

#include <cstdint>
#include <string>

#include "platform/signature.hpp"

namespace zel {

enum class UpdateAnswer : std::uint8_t {
  kNoAddress,     // no update address configured: nothing fetched
  kPackaged,      // installed as a package: the package manager updates it
  kBadAddress,    // the address is not https (nor http to this machine)
  kUnavailable,   // the server did not give the file or its signature
  kTooSmall,      // a download much smaller than the running program
  kBadSignature,  // the signature does not check: nothing replaced
  kNotReplaced,   // the new file could not be put in place: the old one stays
  kReplaced,      // the new program is in place: restart
};

struct UpdateRequest {
  std::string program;       // the running program's file, native absolute path
  std::string address;       // the update server's base address
  SigningKey key{};          // the public key the signature must check against
  std::uint64_t max_bytes = std::uint64_t{1} << 30;
};

// The maker's public key, built into the program.
const SigningKey& MakerSigningKey();

// True for a program installed by the package manager (under /usr or /opt).
bool InstalledAsPackage(const std::string& program);

// Runs the update; the outcome's text goes to the status line (colour 0 for
// every refusal and for "Restart Zel").
UpdateAnswer UpdateProgramFile(const UpdateRequest& request);

}  // namespace zel
