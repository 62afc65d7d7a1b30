#include "SelvorTokenKit/SecureMessaging.hpp"

#include "SelvorTokenKit/Hex.hpp"
#include "SelvorTokenKit/LibCrypto.hpp"
#include "SelvorTokenKit/TokenError.hpp"
#include "SmCrypto.hpp"
#include "WipeGuard.hpp"

#include <algorithm>
#include <array>

namespace SelvorTokenKit {
namespace {

using SmCrypto::ByteView;

constexpr std::array<std::uint8_t, 19> selectApplet{0x00, 0xA4, 0x04, 0x00, 0x0E, 0x65, 0x6E,
                                                    0x74, 0x65, 0x72, 0x73, 0x61, 0x66, 0x65,
                                                    0x2D, 0x66, 0x69, 0x70, 0x73};
constexpr std::array<std::uint8_t, 5> getData{0x80, 0xCA, 0x00, 0x86, 0x00};
constexpr std::size_t macObjectLength = 10; // 8E 08 MAC
constexpr std::size_t shortLimit = 255;
constexpr std::size_t shortReplyLimit = 256;

[[noreturn]] void fail(TokenError::Kind kind) {
    throw TokenError(kind);
}

std::size_t paddedLength(std::size_t length, std::size_t blockSize) {
    return (length / blockSize + 1) * blockSize;
}

// Length of a DO87 for plaintext of this length (0 when there is none), or 0 with ok false
// when its length byte would overflow.
bool encryptedObjectLength(std::size_t plainLength, std::size_t blockSize, std::size_t& length) {
    length = 0;
    if (plainLength == 0) {
        return true;
    }
    const std::size_t cipherLength = paddedLength(plainLength, blockSize);
    length = 3 + cipherLength;
    return cipherLength + 1 <= shortLimit;
}

bool commandFits(std::size_t dataLength, std::size_t blockSize, bool withLe) {
    std::size_t do87 = 0;
    return encryptedObjectLength(dataLength, blockSize, do87) &&
           do87 + (withLe ? 3 : 0) + macObjectLength <= shortLimit;
}

std::uint16_t statusOf(ByteView reply) {
    return static_cast<std::uint16_t>(reply[reply.size() - 2] << 8 | reply[reply.size() - 1]);
}

} // namespace

RandomSource systemRandomSource() {
    return [](std::span<std::uint8_t> out) {
        return libCrypto().RAND_bytes(out.data(), static_cast<int>(out.size())) == 1;
    };
}

SecureMessaging::SecureMessaging(RandomSource random)
    : m_random(std::move(random)), m_icvMac(16, 0x00) {}

SecureMessaging SecureMessaging::established(bool isFIPS, Bytes sessionKeyEnc, Bytes sessionKeyMac,
                                             Bytes icvMac) {
    SecureMessaging session;
    session.m_isFIPS = isFIPS;
    session.m_keyType = isFIPS ? KeyEncType::aes : KeyEncType::des;
    session.m_sessionKeyEnc = std::move(sessionKeyEnc);
    session.m_sessionKeyMac = std::move(sessionKeyMac);
    session.m_icvMac = std::move(icvMac);
    if (session.m_sessionKeyEnc.size() != 16 || session.m_sessionKeyMac.size() != 16 ||
        session.m_icvMac.size() != 16) {
        fail(TokenError::Kind::secureMessagingFailed);
    }
    session.m_isEstablished = true;
    return session;
}

SecureMessaging::~SecureMessaging() {
    wipeBytes(m_sessionKeyEnc);
    wipeBytes(m_sessionKeyMac);
    wipeBytes(m_icvMac);
}

SecureMessaging& SecureMessaging::operator=(SecureMessaging&& other) noexcept {
    if (this != &other) {
        wipeBytes(m_sessionKeyEnc);
        wipeBytes(m_sessionKeyMac);
        wipeBytes(m_icvMac);
        m_random = std::move(other.m_random);
        m_sessionKeyEnc = std::move(other.m_sessionKeyEnc);
        m_sessionKeyMac = std::move(other.m_sessionKeyMac);
        m_icvMac = std::move(other.m_icvMac);
        m_isEstablished = other.m_isEstablished;
        m_isFIPS = other.m_isFIPS;
        m_keyType = other.m_keyType;
    }
    return *this;
}

std::size_t SecureMessaging::maxCommandData(bool isFIPS, bool withLe) {
    const std::size_t blockSize = isFIPS ? 16 : 8;
    std::size_t length = shortLimit;
    while (length > 0 && !commandFits(length, blockSize, withLe)) {
        --length;
    }
    return length;
}

std::size_t SecureMessaging::maxReplyData(bool isFIPS, bool withProcessingStatus) {
    const std::size_t blockSize = isFIPS ? 16 : 8;
    for (std::size_t length = shortReplyLimit; length > 0; --length) {
        std::size_t do87 = 0;
        if (encryptedObjectLength(length, blockSize, do87) &&
            do87 + (withProcessingStatus ? 4 : 0) + macObjectLength <= shortReplyLimit) {
            return length;
        }
    }
    return 0;
}

void SecureMessaging::mutualAuth(CardTransmitter& card,
                                 std::span<const std::uint8_t> transportKeyEnc,
                                 std::span<const std::uint8_t> transportKeyMac) {
    m_isEstablished = false;
    card.transmitRaw(selectApplet);

    const Bytes parameters = card.transmitRaw(getData);
    if (parameters.size() >= 35) {
        const ByteView d = ByteView(parameters).first(parameters.size() - 2);
        static constexpr std::uint8_t fipsHead[] = {0x80, 0x01, 0x01};
        static constexpr std::uint8_t fipsMarker[] = {0x87, 0x01, 0x01};
        m_isFIPS = d.size() >= 35 && std::equal(d.begin(), d.begin() + 3, fipsHead) &&
                   std::equal(d.begin() + 32, d.begin() + 35, fipsMarker);
        m_keyType = d.size() >= 3 && d[2] == 0x01 ? KeyEncType::aes : KeyEncType::des;
    }

    std::array<std::uint8_t, 8> hostChallenge{};
    if (!m_random || !m_random(hostChallenge)) {
        fail(TokenError::Kind::authFailed);
    }
    Bytes initializeUpdate{0x80, 0x50, 0x00, 0x00, 0x08};
    initializeUpdate.insert(initializeUpdate.end(), hostChallenge.begin(), hostChallenge.end());
    initializeUpdate.push_back(m_isFIPS ? 0x1D : 0x1C);
    const Bytes reply = card.transmitRaw(initializeUpdate);
    if (reply.size() < 2) {
        fail(TokenError::Kind::authFailed);
    }
    if (statusOf(reply) != 0x9000) {
        throw TokenError::unexpectedStatus(statusOf(reply));
    }
    const ByteView d = ByteView(reply).first(reply.size() - 2);
    const std::size_t challengeAt = m_isFIPS ? 13 : 12;
    if (d.size() < challengeAt + 16) {
        fail(TokenError::Kind::authFailed);
    }
    const ByteView cardChallenge = d.subspan(challengeAt, 8);
    const ByteView cardCryptogram = d.subspan(challengeAt + 8, 8);

    Bytes derivation;
    derivation.reserve(16);
    derivation.insert(derivation.end(), cardChallenge.begin() + 4, cardChallenge.end());
    derivation.insert(derivation.end(), hostChallenge.begin(), hostChallenge.begin() + 4);
    derivation.insert(derivation.end(), cardChallenge.begin(), cardChallenge.begin() + 4);
    derivation.insert(derivation.end(), hostChallenge.begin() + 4, hostChallenge.end());
    const auto ecb = m_isFIPS ? SmCrypto::aesECBEncrypt : SmCrypto::tripleDESECBEncrypt;
    Bytes keyEnc = ecb(transportKeyEnc, derivation);
    Bytes keyMac = ecb(transportKeyMac, derivation);
    wipeBytes(m_sessionKeyEnc);
    wipeBytes(m_sessionKeyMac);
    m_sessionKeyEnc = std::move(keyEnc);
    m_sessionKeyMac = std::move(keyMac);

    const std::size_t blockSize = this->blockSize();
    Bytes challenges(hostChallenge.begin(), hostChallenge.end());
    challenges.insert(challenges.end(), cardChallenge.begin(), cardChallenge.end());
    const Bytes cryptogramInput = SmCrypto::pad(challenges, blockSize);
    const Bytes zeroIV(blockSize, 0x00);
    const Bytes cipherText =
        m_isFIPS ? SmCrypto::aesCBC(m_sessionKeyEnc, zeroIV, cryptogramInput, true)
                 : SmCrypto::tripleDESCBC(m_sessionKeyEnc, zeroIV, cryptogramInput, true);
    const ByteView cryptogram = ByteView(cipherText).subspan(16, 8);
    if (!constantTimeEquals(cryptogram, cardCryptogram)) {
        fail(TokenError::Kind::authFailed);
    }

    // The token expects the card's cryptogram back as the host cryptogram, and a MAC input of
    // one block (DES) or two blocks (AES).
    Bytes macInput{0x84, 0x82, 0x03, 0x00, 0x10};
    macInput.insert(macInput.end(), cryptogram.begin(), cryptogram.end());
    macInput.push_back(0x80);
    macInput.resize(m_isFIPS ? 32 : 16, 0x00);
    const Bytes mac = m_isFIPS ? SmCrypto::aesMAC(m_sessionKeyMac, Bytes(16, 0x00), macInput)
                               : SmCrypto::retailMAC(m_sessionKeyMac, Bytes(8, 0x00), macInput);
    std::fill(m_icvMac.begin(), m_icvMac.end(), 0x00);
    std::copy(mac.begin(), mac.end(), m_icvMac.begin());

    Bytes externalAuthenticate(macInput.begin(), macInput.begin() + 13);
    externalAuthenticate.insert(externalAuthenticate.end(), mac.begin(), mac.end());
    const Bytes confirmation = card.transmitRaw(externalAuthenticate);
    if (confirmation.size() < 2 || statusOf(confirmation) != 0x9000) {
        fail(TokenError::Kind::authFailed);
    }
    m_isEstablished = true;
}

Bytes SecureMessaging::wrapAPDU(std::uint8_t cla, std::uint8_t ins, std::uint8_t p1,
                                std::uint8_t p2, std::optional<std::span<const std::uint8_t>> data,
                                std::optional<std::uint8_t> le) {
    if (!m_isEstablished) {
        fail(TokenError::Kind::secureMessagingFailed);
    }
    const std::size_t blockSize = this->blockSize();
    const std::size_t dataLength = data ? data->size() : 0;
    if (!commandFits(dataLength, blockSize, le.has_value())) {
        fail(TokenError::Kind::secureMessagingFailed);
    }
    const std::uint8_t protectedClass = cla | 0x04;

    Bytes objects;
    objects.reserve(3 + (dataLength > 0 ? paddedLength(dataLength, blockSize) : 0) + 3);
    if (dataLength > 0) {
        Bytes plain = SmCrypto::pad(*data, blockSize);
        const WipeGuard plainGuard(plain);
        const Bytes zeroIV(blockSize, 0x00);
        const Bytes encrypted = m_isFIPS
                                    ? SmCrypto::aesCBC(m_sessionKeyEnc, zeroIV, plain, true)
                                    : SmCrypto::tripleDESCBC(m_sessionKeyEnc, zeroIV, plain, true);
        objects.push_back(0x87);
        objects.push_back(static_cast<std::uint8_t>(encrypted.size() + 1));
        objects.push_back(0x01);
        objects.insert(objects.end(), encrypted.begin(), encrypted.end());
    }
    if (le) {
        objects.insert(objects.end(), {0x97, 0x01, *le});
    }

    Bytes header{protectedClass, ins, p1, p2, 0x80};
    header.resize(blockSize, 0x00);
    header.insert(header.end(), objects.begin(), objects.end());
    const Bytes macInput = SmCrypto::pad(header, blockSize);

    SmCrypto::incrementICV(m_icvMac);
    const Bytes mac =
        m_isFIPS ? SmCrypto::aesMAC(m_sessionKeyMac, m_icvMac, macInput)
                 : SmCrypto::retailMAC(m_sessionKeyMac, ByteView(m_icvMac).first(8), macInput);
    std::copy(mac.begin(), mac.end(), m_icvMac.begin());

    Bytes command{protectedClass, ins, p1, p2,
                  static_cast<std::uint8_t>(objects.size() + macObjectLength)};
    command.reserve(command.size() + objects.size() + macObjectLength + 1);
    command.insert(command.end(), objects.begin(), objects.end());
    command.insert(command.end(), {0x8E, 0x08});
    command.insert(command.end(), mac.begin(), mac.end());
    command.push_back(0x00);
    return command;
}

UnwrappedResponse SecureMessaging::unwrapResponse(std::span<const std::uint8_t> response) const {
    if (response.size() < 2) {
        fail(TokenError::Kind::secureMessagingFailed);
    }
    UnwrappedResponse result;
    result.sw1 = response[response.size() - 2];
    result.sw2 = response[response.size() - 1];
    if (result.sw1 != 0x90 || result.sw2 != 0x00) {
        return result;
    }
    const ByteView body = response.first(response.size() - 2);
    const Bytes zeroIV(blockSize(), 0x00);
    std::size_t i = 0;
    while (i < body.size()) {
        const std::uint8_t tag = body[i];
        if (tag != 0x87 && tag != 0x8E && tag != 0x99) {
            ++i;
            continue;
        }
        if (i + 1 >= body.size()) {
            fail(TokenError::Kind::secureMessagingFailed);
        }
        const std::size_t length = body[i + 1];
        if (tag == 0x87) {
            if (length < 2 || i + 2 + length > body.size()) {
                fail(TokenError::Kind::secureMessagingFailed);
            }
            const ByteView cryptogram = body.subspan(i + 3, length - 1);
            Bytes decrypted =
                m_isFIPS ? SmCrypto::aesCBC(m_sessionKeyEnc, zeroIV, cryptogram, false)
                         : SmCrypto::tripleDESCBC(m_sessionKeyEnc, zeroIV, cryptogram, false);
            const WipeGuard decryptedGuard(decrypted);
            wipeBytes(result.data);
            result.data = SmCrypto::removePadding(decrypted);
        }
        i += length + 2;
    }
    return result;
}

} // namespace SelvorTokenKit
