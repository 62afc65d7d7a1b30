#include "SelvorTokenKit/KaltorDriver.hpp"

#include "SelvorTokenKit/APDUCommand.hpp"
#include "SelvorTokenKit/APDUTransceiver.hpp"
#include "SelvorTokenKit/Hex.hpp"
#include "SelvorTokenKit/TokenError.hpp"
#include "WipeGuard.hpp"

#include <algorithm>
#include <cstdio>

namespace SelvorTokenKit {
namespace {

constexpr std::uint8_t insSelect = 0xA4;
constexpr std::uint8_t insVerify = 0x20;
constexpr std::uint8_t insPutData = 0xDA;
constexpr std::uint8_t insGenerateKeyPair = 0x46;
constexpr std::uint8_t insPerformSecurityOperation = 0x2A;
constexpr std::uint8_t insReadBinary = 0xB0;
constexpr std::uint8_t insUpdateBinary = 0xD6;
constexpr std::size_t largestFile = 0xFFFF;

std::string hexByte(std::uint8_t value) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", value);
    return text;
}

std::optional<Bytes> copyOf(std::optional<std::span<const std::uint8_t>> data) {
    if (!data) {
        return std::nullopt;
    }
    return Bytes(data->begin(), data->end());
}

} // namespace

KaltorDriver::KaltorDriver(RandomSource random)
    : m_logger(std::string(tokenKitLogSubsystem), "KaltorDriver"), m_random(std::move(random)) {}

Bytes KaltorDriver::pinBlock(std::string_view pin) {
    Bytes block(16, 0x00);
    std::copy_n(pin.begin(), std::min<std::size_t>(pin.size(), 16), block.begin());
    return block;
}

APDUResponse KaltorDriver::sendProtected(CardTransmitter& card, std::uint8_t ins, std::uint8_t p1,
                                         std::uint8_t p2,
                                         std::optional<std::span<const std::uint8_t>> data,
                                         std::optional<std::uint8_t> le) {
    if (m_sm && m_sm->isEstablished()) {
        Bytes command = m_sm->wrapAPDU(0x00, ins, p1, p2, data, le);
        const WipeGuard commandGuard(command);
        Bytes reply = card.transmitRaw(command);
        const WipeGuard replyGuard(reply);
        UnwrappedResponse unwrapped = m_sm->unwrapResponse(reply);
        std::optional<Bytes> responseData;
        if (!unwrapped.data.empty()) {
            responseData = std::move(unwrapped.data);
        }
        return APDUResponse(std::move(responseData), unwrapped.sw1, unwrapped.sw2);
    }
    const APDUCommand command(0x00, ins, p1, p2, copyOf(data), le.value_or(0));
    return APDUTransceiver::transmit(command, card);
}

APDUResponse KaltorDriver::selectApplet(CardTransmitter& card) {
    const APDUCommand command(0x00, insSelect, 0x04, 0x00,
                              Bytes(appletAID.begin(), appletAID.end()));
    APDUResponse response = APDUTransceiver::transmit(command, card);
    m_logger.info("SELECT applet: SW=%s", response.hexStatus());
    return response;
}

Bytes KaltorDriver::getChallenge(CardTransmitter& card) {
    const APDUCommand command(0x00, 0x84, 0x00, 0x00, std::nullopt, 0x08);
    APDUResponse response = APDUTransceiver::transmit(command, card);
    if (!response.isSuccess() || !response.data() || response.data()->size() != 8) {
        m_logger.error("GET CHALLENGE failed: SW=%s", response.hexStatus());
        throw TokenError(TokenError::Kind::authFailed);
    }
    return *response.data();
}

void KaltorDriver::establishSecureSession(CardTransmitter& card,
                                          std::span<const std::uint8_t> transportKeyEnc,
                                          std::span<const std::uint8_t> transportKeyMac) {
    SecureMessaging session(m_random);
    session.mutualAuth(card, transportKeyEnc, transportKeyMac);
    m_sm = std::move(session);
    m_logger.info("SM session тогтоогдлоо (FIPS=%{bool}d)", m_sm->isFIPS());
}

void KaltorDriver::verifyPIN(std::string_view pin, std::uint8_t reference, CardTransmitter& card) {
    Bytes block = pinBlock(pin);
    const WipeGuard blockGuard(block);
    const APDUResponse response = sendProtected(card, insVerify, 0x00, reference, block);
    wipeBytes(block);
    const std::uint8_t sw1 = response.sw1();
    const std::uint8_t sw2 = response.sw2();
    if (response.isSuccess()) {
        m_logger.info("VERIFY PIN: амжилттай");
        return;
    }
    if (sw1 == 0x63 && (sw2 & 0xF0) == 0xC0) {
        throw TokenError::pinVerifyFailed(sw2 & 0x0F);
    }
    if (sw1 == 0x69 && sw2 == 0x83) {
        throw TokenError(TokenError::Kind::pinBlocked);
    }
    throw TokenError::unexpectedStatus(response.status());
}

TokenInfo KaltorDriver::getTokenInfo(Card& card) {
    TokenInfo info;
    info.atr = card.atr();
    const APDUResponse selected = selectApplet(card);
    info.isFIPS = info.atr.size() >= 20 && info.atr[19] == 0x03;
    info.appletSelected = selected.isSuccess();
    return info;
}

Bytes KaltorDriver::sign(std::uint8_t p1, std::uint8_t p2, std::span<const std::uint8_t> input,
                         std::string_view failureFormat, CardTransmitter& card) {
    APDUResponse response = sendProtected(card, insPerformSecurityOperation, p1, p2, input);
    if (!response.isSuccess() || !response.data()) {
        m_logger.error(failureFormat, response.hexStatus());
        throw TokenError::signFailed("SW=" + response.hexStatus());
    }
    return *response.data();
}

Bytes KaltorDriver::signECDSA(std::span<const std::uint8_t> hash, CardTransmitter& card) {
    return sign(0x9E, 0x9A, hash, "SIGN failed: SW=%s", card);
}

Bytes KaltorDriver::signRSA(std::span<const std::uint8_t> data, CardTransmitter& card) {
    return sign(0x80, 0x86, data, "SIGN RSA failed: SW=%s", card);
}

void KaltorDriver::requireSecureSession() const {
    if (!m_sm || !m_sm->isEstablished()) {
        throw TokenError(TokenError::Kind::authFailed);
    }
}

void KaltorDriver::setPIN(std::string_view pin, std::uint8_t reference, CardTransmitter& card) {
    Bytes data{reference, 0x11, 0x0A};
    const WipeGuard dataGuard(data);
    Bytes block = pinBlock(pin);
    const WipeGuard blockGuard(block);
    data.insert(data.end(), block.begin(), block.end());
    const APDUResponse response = sendProtected(card, insPutData, 0x00, 0x68, data);
    wipeBytes(block);
    wipeBytes(data);
    if (!response.isSuccess()) {
        m_logger.error("SET PIN failed: SW=%s", response.hexStatus());
        throw TokenError::unexpectedStatus(response.status());
    }
}

void KaltorDriver::initializePIN(std::string_view pin, std::string_view puk,
                                 CardTransmitter& card) {
    requireSecureSession();
    setPIN(pin, userPINReference, card);
    m_logger.info("User PIN тогтоогдлоо");
    setPIN(puk, soPINReference, card);
    m_logger.info("SO PIN (PUK) тогтоогдлоо");
}

void KaltorDriver::generateECKeyPair(std::uint8_t keyID, CardTransmitter& card) {
    requireSecureSession();
    const Bytes templ{0x30, 0x08, 0x04, 0x01, keyID, 0x80, 0x01, 0x13, 0x81, 0x01, 0x20};
    const APDUResponse response = sendProtected(card, insGenerateKeyPair, 0x00, 0x00, templ);
    if (!response.isSuccess()) {
        m_logger.error("GENERATE KEY PAIR failed: SW=%s", response.hexStatus());
        throw TokenError(TokenError::Kind::keyGenFailed);
    }
    m_logger.info("EC key pair үүсгэгдлэа (keyID=%s)", hexByte(keyID));
}

void KaltorDriver::generateRSAKeyPair(std::uint8_t keyID, long keySize, CardTransmitter& card) {
    requireSecureSession();
    if (keySize < 0 || keySize > 0xFFFF) {
        m_logger.error("GENERATE RSA KEY PAIR refused: size=%ld", keySize);
        throw TokenError(TokenError::Kind::keyGenFailed);
    }
    const Bytes templ{0x30,
                      0x08,
                      0x04,
                      0x01,
                      keyID,
                      0x80,
                      0x01,
                      0x01,
                      0x81,
                      0x02,
                      static_cast<std::uint8_t>(keySize >> 8),
                      static_cast<std::uint8_t>(keySize & 0xFF)};
    const APDUResponse response = sendProtected(card, insGenerateKeyPair, 0x00, 0x00, templ);
    if (!response.isSuccess()) {
        m_logger.error("GENERATE RSA KEY PAIR failed: SW=%s", response.hexStatus());
        throw TokenError(TokenError::Kind::keyGenFailed);
    }
    m_logger.info("RSA key pair үүсгэгдлэа (keyID=%s, size=%ld)", hexByte(keyID), keySize);
}

APDUResponse KaltorDriver::selectFile(std::uint16_t fileID, CardTransmitter& card) {
    const std::array<std::uint8_t, 2> id{static_cast<std::uint8_t>(fileID >> 8),
                                         static_cast<std::uint8_t>(fileID & 0xFF)};
    return sendProtected(card, insSelect, 0x00, 0x00, id);
}

Bytes KaltorDriver::readCertificate(std::uint16_t fileID, CardTransmitter& card) {
    if (!selectFile(fileID, card).isSuccess()) {
        throw TokenError(TokenError::Kind::certificateNotFound);
    }
    // A protected reply carries less than a plain one: ask for what fits, so a full chunk
    // always means there may be more.
    const bool isProtected = m_sm && m_sm->isEstablished();
    const std::size_t chunkSize =
        isProtected ? SecureMessaging::maxReplyData(m_sm->isFIPS(), true) : plainReadChunkSize;
    Bytes result;
    std::size_t offset = 0;
    while (true) {
        if (offset > largestFile) {
            m_logger.error("READ CERT stopped: file longer than %ld bytes",
                           static_cast<long>(largestFile));
            throw TokenError(TokenError::Kind::certificateNotFound);
        }
        const APDUResponse response =
            sendProtected(card, insReadBinary, static_cast<std::uint8_t>(offset >> 8),
                          static_cast<std::uint8_t>(offset & 0xFF), std::nullopt,
                          static_cast<std::uint8_t>(chunkSize));
        const std::size_t received = response.data() ? response.data()->size() : 0;
        // A reply longer than asked for breaks the protocol: only what was asked for is kept,
        // and the read ends there, as at a short chunk.
        const std::size_t kept = std::min(received, chunkSize);
        if (kept > 0) {
            result.insert(result.end(), response.data()->begin(),
                          response.data()->begin() + static_cast<std::ptrdiff_t>(kept));
        }
        if (received > chunkSize) {
            m_logger.error("READ CERT stopped: %ld bytes answered to a read of %ld",
                           static_cast<long>(received), static_cast<long>(chunkSize));
        }
        if (received != chunkSize) {
            break;
        }
        offset += received;
    }
    if (result.empty()) {
        throw TokenError(TokenError::Kind::certificateNotFound);
    }
    return result;
}

void KaltorDriver::writeCertificate(std::span<const std::uint8_t> data, std::uint16_t fileID,
                                    CardTransmitter& card) {
    requireSecureSession();
    if (data.size() > largestFile) {
        m_logger.error("WRITE CERT refused: %ld bytes", static_cast<long>(data.size()));
        throw TokenError(TokenError::Kind::certificateImportFailed);
    }
    if (!selectFile(fileID, card).isSuccess()) {
        throw TokenError(TokenError::Kind::certificateImportFailed);
    }
    std::size_t offset = 0;
    while (offset < data.size()) {
        const std::span<const std::uint8_t> chunk =
            data.subspan(offset, std::min(writeChunkSize, data.size() - offset));
        const APDUResponse response =
            sendProtected(card, insUpdateBinary, static_cast<std::uint8_t>(offset >> 8),
                          static_cast<std::uint8_t>(offset & 0xFF), chunk);
        if (!response.isSuccess()) {
            m_logger.error("WRITE CERT failed at offset %hu: SW=%s",
                           static_cast<std::uint16_t>(offset), response.hexStatus());
            throw TokenError(TokenError::Kind::certificateImportFailed);
        }
        offset += chunk.size();
    }
    char id[8];
    std::snprintf(id, sizeof id, "%04X", static_cast<unsigned>(fileID));
    m_logger.info("Certificate бичигдлээ (%ld bytes, fileID=%s)", static_cast<long>(data.size()),
                  std::string(id));
}

} // namespace SelvorTokenKit
