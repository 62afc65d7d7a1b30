#pragma once

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/provider.h>
#include <openssl/rand.h>

namespace SelvorTokenKit {

// The libcrypto functions this program calls, bound when first wanted instead of when the program
// loads: linked outright, libcrypto's relocations and symbol tables cost every start 1.4 MiB,
// though only a token, a file to sign or an update needs it.
// clang-format off
#define SELVOR_LIBCRYPTO_FUNCTIONS(bind) \
    bind(ERR_clear_error) \
    bind(EVP_CIPHER_CTX_free) \
    bind(EVP_CIPHER_CTX_new) \
    bind(EVP_CIPHER_CTX_set_padding) \
    bind(EVP_CIPHER_fetch) \
    bind(EVP_CIPHER_free) \
    bind(EVP_CIPHER_get_block_size) \
    bind(EVP_CIPHER_get_iv_length) \
    bind(EVP_CIPHER_get_key_length) \
    bind(EVP_CipherFinal_ex) \
    bind(EVP_CipherInit_ex2) \
    bind(EVP_CipherUpdate) \
    bind(EVP_DigestFinal_ex) \
    bind(EVP_DigestInit_ex) \
    bind(EVP_DigestUpdate) \
    bind(EVP_DigestVerify) \
    bind(EVP_DigestVerifyInit) \
    bind(EVP_MD_CTX_free) \
    bind(EVP_MD_CTX_new) \
    bind(EVP_PKEY_free) \
    bind(EVP_PKEY_new_raw_public_key) \
    bind(EVP_sha256) \
    bind(OSSL_LIB_CTX_free) \
    bind(OSSL_LIB_CTX_new) \
    bind(OSSL_PROVIDER_load) \
    bind(RAND_bytes)
// clang-format on

struct LibCrypto {
#define SELVOR_LIBCRYPTO_MEMBER(name) decltype(&::name) name = nullptr;
    SELVOR_LIBCRYPTO_FUNCTIONS(SELVOR_LIBCRYPTO_MEMBER)
#undef SELVOR_LIBCRYPTO_MEMBER
};

// Loads libcrypto on the first call, from any thread. A libcrypto that cannot be loaded ends the
// program with the loader's reason, as it would have ended a program that linked it outright.
[[nodiscard]] const LibCrypto& libCrypto();

} // namespace SelvorTokenKit
