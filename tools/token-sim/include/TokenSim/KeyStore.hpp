#pragma once

#include "TokenSim/Reply.hpp"

#include <map>
#include <memory>
#include <optional>

struct evp_pkey_st;

namespace TokenSim {

// Key pairs generated on the token, by key identifier. Signing uses the most recently
// generated key of each kind, as the signing commands carry no key reference.
class KeyStore {
public:
    KeyStore();
    ~KeyStore();
    KeyStore(const KeyStore&) = delete;
    KeyStore& operator=(const KeyStore&) = delete;

    // GENERATE KEY PAIR template: 30 08 04 01 keyID 80 01 alg 81 len size.
    Reply generate(ByteView keyTemplate);
    // ECDSA over the digest with the current P-256 key, as raw r || s.
    Reply signEc(ByteView digest) const;
    // Raw RSA private operation on the block, left-padded to the modulus size.
    Reply decipherRsa(ByteView block) const;

    // SubjectPublicKeyInfo DER of a key; empty when there is none.
    Bytes publicKeyDer(std::uint8_t keyId) const;
    std::optional<std::uint8_t> currentEcKey() const { return m_currentEc; }
    std::optional<std::uint8_t> currentRsaKey() const { return m_currentRsa; }

private:
    struct KeyFree {
        void operator()(evp_pkey_st* key) const;
    };
    using Key = std::unique_ptr<evp_pkey_st, KeyFree>;

    std::map<std::uint8_t, Key> m_keys;
    std::optional<std::uint8_t> m_currentEc;
    std::optional<std::uint8_t> m_currentRsa;
};

} // namespace TokenSim
