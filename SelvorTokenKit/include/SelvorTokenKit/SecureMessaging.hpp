#pragma once

#include "SelvorTokenKit/Bytes.hpp"
#include "SelvorTokenKit/CardTransmitter.hpp"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

namespace SelvorTokenKit {

enum class KeyEncType { des, aes };

// Fills the buffer with cryptographically secure random bytes; false on failure.
using RandomSource = std::function<bool(std::span<std::uint8_t>)>;
RandomSource systemRandomSource();

// A response with its protection removed.
struct UnwrappedResponse {
    Bytes data;
    std::uint8_t sw1 = 0;
    std::uint8_t sw2 = 0;
};

// One secure-messaging session with the token's applet: mutual authentication, then protected
// commands (encrypted DO87, MAC over header and data objects, chained ICV) and unprotected
// replies. Two-key triple DES with 8-byte blocks, or AES-128 with 16-byte blocks when the token
// reports FIPS mode. Session keys are wiped when the session is destroyed. Not thread-safe.
class SecureMessaging {
public:
    explicit SecureMessaging(RandomSource random = systemRandomSource());
    // A session already established with the given keys and MAC chaining value (16 bytes each).
    static SecureMessaging established(bool isFIPS, Bytes sessionKeyEnc, Bytes sessionKeyMac,
                                       Bytes icvMac);

    ~SecureMessaging();
    SecureMessaging(SecureMessaging&&) noexcept = default;
    // Wipes this session's keys before taking over the other's.
    SecureMessaging& operator=(SecureMessaging&& other) noexcept;
    SecureMessaging(const SecureMessaging&) = delete;
    SecureMessaging& operator=(const SecureMessaging&) = delete;

    // Both transport keys are 16 bytes. On failure the session stays unestablished.
    void mutualAuth(CardTransmitter& card, std::span<const std::uint8_t> transportKeyEnc,
                    std::span<const std::uint8_t> transportKeyMac);

    // The protected command, ready to send; advances the MAC chain. Throws
    // TokenError(secureMessagingFailed) before establishment and, leaving the chain alone, for
    // data too long for one short APDU (see maxCommandData).
    Bytes wrapAPDU(std::uint8_t cla, std::uint8_t ins, std::uint8_t p1, std::uint8_t p2,
                   std::optional<std::span<const std::uint8_t>> data,
                   std::optional<std::uint8_t> le);

    // Strips the protection: data of the last DO87 (decrypted, unpadded) and the status word.
    // The reply MAC is not checked. Throws TokenError(secureMessagingFailed) for replies under
    // two bytes and for cryptograms that cannot be decrypted.
    UnwrappedResponse unwrapResponse(std::span<const std::uint8_t> response) const;

    [[nodiscard]] const Bytes& sessionKeyEnc() const noexcept { return m_sessionKeyEnc; }
    [[nodiscard]] const Bytes& sessionKeyMac() const noexcept { return m_sessionKeyMac; }
    [[nodiscard]] const Bytes& icvMac() const noexcept { return m_icvMac; }
    [[nodiscard]] bool isEstablished() const noexcept { return m_isEstablished; }
    [[nodiscard]] bool isFIPS() const noexcept { return m_isFIPS; }
    [[nodiscard]] KeyEncType keyType() const noexcept { return m_keyType; }
    [[nodiscard]] std::size_t blockSize() const noexcept { return m_isFIPS ? 16 : 8; }

    // Largest command data one protected short APDU carries (DES: 239 / 231 with Le;
    // AES: 239 / 223 with Le).
    static std::size_t maxCommandData(bool isFIPS, bool withLe);
    // Largest reply data one protected short reply carries (DES: 231 with DO99 / 239 without;
    // AES: 223 / 239).
    static std::size_t maxReplyData(bool isFIPS, bool withProcessingStatus);

private:
    RandomSource m_random;
    Bytes m_sessionKeyEnc;
    Bytes m_sessionKeyMac;
    Bytes m_icvMac;
    bool m_isEstablished = false;
    bool m_isFIPS = false;
    KeyEncType m_keyType = KeyEncType::des;
};

} // namespace SelvorTokenKit
