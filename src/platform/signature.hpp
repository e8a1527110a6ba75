// Checking a detached Ed25519 signature of a file's bytes against a public
// key (32 raw bytes). A signature is 64 raw bytes.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace zel {

using SigningKey = std::array<std::uint8_t, 32>;

// True only when `signature` is a valid signature of `data` under `key`.
bool SignatureValid(std::string_view data, std::string_view signature, const SigningKey& key);

}  // namespace zel
