#include "SignatureCheck.hpp"

#include <openssl/ecdsa.h>
#include <openssl/evp.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>

#include <memory>

namespace TokenSimTests {

bool verifiesEcSignature(TokenSim::ByteView publicKeyDer, TokenSim::ByteView digest,
                         TokenSim::ByteView rawSignature) {
    if (rawSignature.size() != 64) {
        return false;
    }
    const unsigned char* cursor = publicKeyDer.data();
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(
        d2i_PUBKEY(nullptr, &cursor, static_cast<long>(publicKeyDer.size())), EVP_PKEY_free);
    std::unique_ptr<ECDSA_SIG, decltype(&ECDSA_SIG_free)> signature(ECDSA_SIG_new(),
                                                                    ECDSA_SIG_free);
    if (!key || !signature) {
        return false;
    }
    ECDSA_SIG_set0(signature.get(), BN_bin2bn(rawSignature.data(), 32, nullptr),
                   BN_bin2bn(rawSignature.data() + 32, 32, nullptr));
    unsigned char* der = nullptr;
    const int derSize = i2d_ECDSA_SIG(signature.get(), &der);
    std::unique_ptr<EVP_PKEY_CTX, decltype(&EVP_PKEY_CTX_free)> context(
        EVP_PKEY_CTX_new(key.get(), nullptr), EVP_PKEY_CTX_free);
    const bool valid = derSize > 0 && context && EVP_PKEY_verify_init(context.get()) == 1 &&
                       EVP_PKEY_verify(context.get(), der, static_cast<std::size_t>(derSize),
                                       digest.data(), digest.size()) == 1;
    OPENSSL_free(der);
    return valid;
}

TokenSim::Bytes rsaPublicOperation(TokenSim::ByteView publicKeyDer, TokenSim::ByteView input) {
    const unsigned char* cursor = publicKeyDer.data();
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(
        d2i_PUBKEY(nullptr, &cursor, static_cast<long>(publicKeyDer.size())), EVP_PKEY_free);
    if (!key) {
        return {};
    }
    std::unique_ptr<EVP_PKEY_CTX, decltype(&EVP_PKEY_CTX_free)> context(
        EVP_PKEY_CTX_new(key.get(), nullptr), EVP_PKEY_CTX_free);
    TokenSim::Bytes output(static_cast<std::size_t>(EVP_PKEY_get_size(key.get())));
    std::size_t outputSize = output.size();
    if (!context || EVP_PKEY_encrypt_init(context.get()) != 1 ||
        EVP_PKEY_CTX_set_rsa_padding(context.get(), RSA_NO_PADDING) != 1 ||
        EVP_PKEY_encrypt(context.get(), output.data(), &outputSize, input.data(), input.size()) !=
            1) {
        return {};
    }
    output.resize(outputSize);
    return output;
}

} // namespace TokenSimTests
