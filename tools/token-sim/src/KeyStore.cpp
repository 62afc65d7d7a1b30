#include "TokenSim/KeyStore.hpp"

#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>

namespace TokenSim {
namespace {

constexpr std::uint8_t algorithmEc = 0x13;
constexpr std::uint8_t algorithmRsa = 0x01;
constexpr std::size_t p256FieldSize = 32;

struct ContextFree {
    void operator()(EVP_PKEY_CTX* context) const { EVP_PKEY_CTX_free(context); }
};
using Context = std::unique_ptr<EVP_PKEY_CTX, ContextFree>;

struct SignatureFree {
    void operator()(ECDSA_SIG* signature) const { ECDSA_SIG_free(signature); }
};

bool isAllowedRsaSize(unsigned bits) {
    return bits == 1024 || bits == 2048 || bits == 3072 || bits == 4096;
}

} // namespace

void KeyStore::KeyFree::operator()(evp_pkey_st* key) const {
    EVP_PKEY_free(key);
}

KeyStore::KeyStore() = default;
KeyStore::~KeyStore() = default;

Reply KeyStore::generate(ByteView t) {
    if (t.size() < 11 || t[0] != 0x30 || t[1] != 0x08 || t[2] != 0x04 || t[3] != 0x01 ||
        t[5] != 0x80 || t[6] != 0x01 || t[8] != 0x81 || t.size() != 10u + t[9]) {
        return Reply::status(StatusWord::wrongData);
    }
    const std::uint8_t keyId = t[4];
    const std::uint8_t algorithm = t[7];
    EVP_PKEY* generated = nullptr;
    if (algorithm == algorithmEc && t[9] == 1 && t[10] == p256FieldSize) {
        generated = EVP_EC_gen("P-256");
    } else if (algorithm == algorithmRsa && t[9] == 2 &&
               isAllowedRsaSize(static_cast<unsigned>(t[10] << 8 | t[11]))) {
        generated = EVP_RSA_gen(static_cast<unsigned>(t[10] << 8 | t[11]));
    } else {
        return Reply::status(StatusWord::wrongData);
    }
    if (generated == nullptr) {
        return Reply::status(StatusWord::notEnoughMemory);
    }
    m_keys[keyId] = Key(generated);
    (algorithm == algorithmEc ? m_currentEc : m_currentRsa) = keyId;
    return Reply::ok();
}

Reply KeyStore::signEc(ByteView digest) const {
    if (!m_currentEc) {
        return Reply::status(StatusWord::referenceNotFound);
    }
    if (digest.empty() || digest.size() > 64) {
        return Reply::status(StatusWord::wrongLength);
    }
    Context context(EVP_PKEY_CTX_new(m_keys.at(*m_currentEc).get(), nullptr));
    std::size_t derSize = 0;
    if (!context || EVP_PKEY_sign_init(context.get()) != 1 ||
        EVP_PKEY_sign(context.get(), nullptr, &derSize, digest.data(), digest.size()) != 1) {
        return Reply::status(StatusWord::wrongData);
    }
    Bytes der(derSize);
    if (EVP_PKEY_sign(context.get(), der.data(), &derSize, digest.data(), digest.size()) != 1) {
        return Reply::status(StatusWord::wrongData);
    }
    const unsigned char* cursor = der.data();
    std::unique_ptr<ECDSA_SIG, SignatureFree> signature(
        d2i_ECDSA_SIG(nullptr, &cursor, static_cast<long>(derSize)));
    if (!signature) {
        return Reply::status(StatusWord::wrongData);
    }
    Bytes raw(2 * p256FieldSize);
    BN_bn2binpad(ECDSA_SIG_get0_r(signature.get()), raw.data(), p256FieldSize);
    BN_bn2binpad(ECDSA_SIG_get0_s(signature.get()), raw.data() + p256FieldSize, p256FieldSize);
    return Reply::ok(std::move(raw));
}

Reply KeyStore::decipherRsa(ByteView block) const {
    if (!m_currentRsa) {
        return Reply::status(StatusWord::referenceNotFound);
    }
    EVP_PKEY* key = m_keys.at(*m_currentRsa).get();
    const auto modulusSize = static_cast<std::size_t>(EVP_PKEY_get_size(key));
    if (block.empty() || block.size() > modulusSize) {
        return Reply::status(StatusWord::wrongLength);
    }
    Bytes input(modulusSize - block.size(), 0x00);
    input.insert(input.end(), block.begin(), block.end());
    Context context(EVP_PKEY_CTX_new(key, nullptr));
    Bytes output(modulusSize);
    std::size_t outputSize = output.size();
    if (!context || EVP_PKEY_decrypt_init(context.get()) != 1 ||
        EVP_PKEY_CTX_set_rsa_padding(context.get(), RSA_NO_PADDING) != 1 ||
        EVP_PKEY_decrypt(context.get(), output.data(), &outputSize, input.data(), input.size()) !=
            1) {
        return Reply::status(StatusWord::wrongData);
    }
    output.resize(outputSize);
    return Reply::ok(std::move(output));
}

Bytes KeyStore::publicKeyDer(std::uint8_t keyId) const {
    const auto found = m_keys.find(keyId);
    if (found == m_keys.end()) {
        return {};
    }
    const int size = i2d_PUBKEY(found->second.get(), nullptr);
    if (size <= 0) {
        return {};
    }
    Bytes der(static_cast<std::size_t>(size));
    unsigned char* cursor = der.data();
    i2d_PUBKEY(found->second.get(), &cursor);
    return der;
}

} // namespace TokenSim
