#include "platform/signature.hpp"

#include <openssl/evp.h>

#include <memory>

namespace zel {

bool SignatureValid(std::string_view data, std::string_view signature, const SigningKey& key) {
  if (signature.size() != 64) return false;
  std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> pkey(
      EVP_PKEY_new_raw_public_key(EVP_PKEY_ED25519, nullptr, key.data(), key.size()),
      &EVP_PKEY_free);
  if (!pkey) return false;
  std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
  if (!ctx) return false;
  // Ed25519 signs the message itself (no separate digest), so the one-shot
  // verify is used with no digest named.
  if (EVP_DigestVerifyInit(ctx.get(), nullptr, nullptr, nullptr, pkey.get()) != 1) return false;
  return EVP_DigestVerify(ctx.get(), reinterpret_cast<const unsigned char*>(signature.data()),
                          signature.size(), reinterpret_cast<const unsigned char*>(data.data()),
                          data.size()) == 1;
}

}  // namespace zel
