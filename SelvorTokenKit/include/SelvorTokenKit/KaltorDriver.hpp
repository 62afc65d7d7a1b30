#pragma once

#include "SelvorTokenKit/APDUResponse.hpp"
#include "SelvorTokenKit/Bytes.hpp"
#include "SelvorTokenKit/Card.hpp"
#include "SelvorTokenKit/CardTransmitter.hpp"
#include "SelvorTokenKit/Log.hpp"
#include "SelvorTokenKit/SecureMessaging.hpp"
#include "SelvorTokenKit/TokenInfo.hpp"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace SelvorTokenKit {

// The Kaltor2003 token's command set. Every operation runs on a card inside a session the
// caller opened (TokenManager::withSession); commands go protected once a secure-messaging
// session is established, plain before. Not thread-safe: one sequence at a time.
class KaltorDriver {
public:
    static constexpr std::array<std::uint8_t, 14> appletAID{
        0x65, 0x6E, 0x74, 0x65, 0x72, 0x73, 0x61, 0x66, 0x65, 0x2D, 0x66, 0x69, 0x70, 0x73};
    static constexpr std::array<std::uint8_t, 16> defaultTransportKey{
        0x5E, 0x71, 0x0C, 0xA3, 0x9B, 0x24, 0xD8, 0x46,
        0x13, 0xF0, 0x6A, 0x82, 0xC5, 0x3D, 0x97, 0xE1};
    static constexpr std::uint8_t userPINReference = 0x02;
    static constexpr std::uint8_t soPINReference = 0x01;
    // Largest UPDATE BINARY chunk: fits one protected command in either cipher suite.
    static constexpr std::size_t writeChunkSize = 239;
    static constexpr std::size_t plainReadChunkSize = 254;

    explicit KaltorDriver(RandomSource random = systemRandomSource());

    [[nodiscard]] const std::optional<SecureMessaging>& sm() const noexcept { return m_sm; }

    APDUResponse selectApplet(CardTransmitter& card);
    Bytes getChallenge(CardTransmitter& card);
    // Continues a session established earlier (same card session, chain in step with the token).
    void adoptSecureSession(SecureMessaging session) { m_sm = std::move(session); }
    // On failure the previous session, if any, stays in place.
    void establishSecureSession(CardTransmitter& card,
                                std::span<const std::uint8_t> transportKeyEnc,
                                std::span<const std::uint8_t> transportKeyMac);
    void verifyPIN(std::string_view pin, std::uint8_t reference, CardTransmitter& card);
    TokenInfo getTokenInfo(Card& card);

    // The token's signature bytes, unchanged.
    Bytes signECDSA(std::span<const std::uint8_t> hash, CardTransmitter& card);
    Bytes signRSA(std::span<const std::uint8_t> data, CardTransmitter& card);
    void initializePIN(std::string_view pin, std::string_view puk, CardTransmitter& card);
    void generateECKeyPair(std::uint8_t keyID, CardTransmitter& card);
    void generateRSAKeyPair(std::uint8_t keyID, long keySize, CardTransmitter& card);
    Bytes readCertificate(std::uint16_t fileID, CardTransmitter& card);
    void writeCertificate(std::span<const std::uint8_t> data, std::uint16_t fileID,
                          CardTransmitter& card);

    // The 16-byte PIN block: UTF-8 bytes padded with 00 or cut to 16 bytes.
    static Bytes pinBlock(std::string_view pin);

private:
    APDUResponse sendProtected(CardTransmitter& card, std::uint8_t ins, std::uint8_t p1,
                               std::uint8_t p2, std::optional<std::span<const std::uint8_t>> data,
                               std::optional<std::uint8_t> le = std::nullopt);
    Bytes sign(std::uint8_t p1, std::uint8_t p2, std::span<const std::uint8_t> input,
               std::string_view failureFormat, CardTransmitter& card);
    void setPIN(std::string_view pin, std::uint8_t reference, CardTransmitter& card);
    void requireSecureSession() const;
    APDUResponse selectFile(std::uint16_t fileID, CardTransmitter& card);

    Logger m_logger;
    RandomSource m_random;
    std::optional<SecureMessaging> m_sm;
};

} // namespace SelvorTokenKit
