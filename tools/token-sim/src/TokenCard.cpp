#include "TokenSim/TokenCard.hpp"

#include <algorithm>

namespace TokenSim {
namespace {

constexpr std::uint8_t claIso = 0x00;
constexpr std::uint8_t claProprietary = 0x80;
constexpr std::uint8_t claSecured = 0x04;
constexpr std::uint8_t insExternalAuthenticate = 0x82;
constexpr std::uint8_t insVerify = 0x20;
constexpr std::uint8_t referenceSoPin = 0x01;
constexpr std::uint8_t referenceUserPin = 0x02;
constexpr std::size_t challengeSize = 8;
constexpr std::size_t maxPlainReply = 256;

Bytes withStatus(Bytes data, std::uint16_t sw) {
    data.push_back(static_cast<std::uint8_t>(sw >> 8));
    data.push_back(static_cast<std::uint8_t>(sw & 0xFF));
    return data;
}

Bytes defaultSmParameters(bool fips) {
    // Tag 80 (suite), a fixed card serial, tag 87 (key kind); 01 marks AES / FIPS.
    const std::uint8_t mode = fips ? 0x01 : 0x00;
    Bytes parameters{0x80, 0x01, mode};
    for (std::uint8_t i = 0; i < 29; ++i) {
        parameters.push_back(static_cast<std::uint8_t>(0x4B + i * 7));
    }
    parameters.insert(parameters.end(), {0x87, 0x01, mode});
    return parameters;
}

TokenConfig withDefaults(TokenConfig config) {
    if (config.atr.empty()) {
        config.atr = TokenConfig::defaultAtr(config.fips);
    }
    if (config.smParameters.empty()) {
        config.smParameters = defaultSmParameters(config.fips);
    }
    if (config.diversificationData.empty()) {
        config.diversificationData = {0x00, 0x00, 0x53, 0x45, 0x4C, 0x56, 0x4F, 0x52, 0x00, 0x01};
    }
    if (config.keyInformation.empty()) {
        config.keyInformation = config.fips ? Bytes{0x01, 0x03, 0x00} : Bytes{0x01, 0x02};
    }
    return config;
}

} // namespace

const Bytes& TokenCard::appletId() {
    static const Bytes aid{0x65, 0x6E, 0x74, 0x65, 0x72, 0x73, 0x61,
                           0x66, 0x65, 0x2D, 0x66, 0x69, 0x70, 0x73};
    return aid;
}

TokenCard::TokenCard(TokenConfig config)
    : m_config(withDefaults(std::move(config))), m_channel(m_config.fips ? Suite::aes : Suite::des),
      m_userPin(m_config.userPin, m_config.pinTries), m_soPin(m_config.soPin, m_config.pinTries),
      m_files(m_config.files) {}

void TokenCard::reset() {
    m_channel.close();
    m_userPin.forgetVerification();
    m_soPin.forgetVerification();
    m_files.deselect();
}

Bytes TokenCard::ecPublicKeyDer() const {
    const auto id = m_keys.currentEcKey();
    return id ? m_keys.publicKeyDer(*id) : Bytes{};
}

Bytes TokenCard::transmit(ByteView apdu) {
    try {
        return respond(apdu);
    } catch (const std::exception&) {
        // An internal failure: the card stays alive and says so, as a real one does.
        m_channel.close();
        m_log.push_back({Bytes(apdu.begin(), apdu.end()), false, StatusWord::technicalProblem});
        return withStatus({}, StatusWord::technicalProblem);
    }
}

Bytes TokenCard::respond(ByteView apdu) {
    const std::optional<CommandApdu> parsed = CommandApdu::parse(apdu);
    if (!parsed) {
        m_log.push_back({Bytes(apdu.begin(), apdu.end()), false, StatusWord::wrongLength});
        return withStatus({}, StatusWord::wrongLength);
    }
    // EXTERNAL AUTHENTICATE carries its own MAC; every other class with bit 04 is wrapped.
    const bool secured = (parsed->cla & claSecured) != 0 && parsed->ins != insExternalAuthenticate;
    if (!secured) {
        Reply reply = dispatch(*parsed, false);
        m_log.push_back({parsed->encode(), false, reply.sw});
        return withStatus(std::move(reply.data), reply.sw);
    }
    auto unwrapped = m_channel.unwrap(*parsed);
    if (const auto* sw = std::get_if<std::uint16_t>(&unwrapped)) {
        m_log.push_back({parsed->encode(), true, *sw});
        return withStatus({}, *sw);
    }
    CommandApdu& plain = std::get<CommandApdu>(unwrapped);
    Reply reply = dispatch(plain, true);
    if (reply.sw == StatusWord::success && reply.data.size() > m_channel.maxReplyData()) {
        reply = Reply::status(StatusWord::wrongLength);
    }
    m_log.push_back({plain.encode(), true, reply.sw});
    wipe(plain.data);
    // Errors travel as a bare status word, and so do a successful VERIFY and the answer to a
    // command that ended the channel (a protected SELECT of the applet).
    if (reply.sw != StatusWord::success || plain.ins == insVerify || !m_channel.isEstablished()) {
        return withStatus({}, reply.sw);
    }
    Bytes protectedReply = m_channel.protectReply(reply.data);
    wipe(reply.data);
    return protectedReply;
}

Reply TokenCard::dispatch(const CommandApdu& command, bool secured) {
    const std::uint8_t cla = command.cla & static_cast<std::uint8_t>(~claSecured);
    const bool iso = cla == claIso;
    const bool proprietary = cla == claProprietary;
    if (!iso && !proprietary) {
        return Reply::status(StatusWord::claNotSupported);
    }
    switch (command.ins) {
    case 0xA4:
        return iso ? selectCommand(command) : Reply::status(StatusWord::claNotSupported);
    case 0x84:
        return iso ? getChallenge(command) : Reply::status(StatusWord::claNotSupported);
    case 0xCA:
        return proprietary ? getData(command) : Reply::status(StatusWord::claNotSupported);
    case 0x50:
        return proprietary && !secured ? initializeUpdate(command)
                                       : Reply::status(StatusWord::claNotSupported);
    case insExternalAuthenticate:
        return command.cla == (claProprietary | claSecured)
                   ? externalAuthenticate(command)
                   : Reply::status(StatusWord::claNotSupported);
    case insVerify:
        return iso ? verify(command) : Reply::status(StatusWord::claNotSupported);
    case 0xDA:
        return iso ? putData(command, secured) : Reply::status(StatusWord::claNotSupported);
    case 0x46:
        return iso ? generateKeyPair(command, secured) : Reply::status(StatusWord::claNotSupported);
    case 0x2A:
        return iso ? performSecurityOperation(command) : Reply::status(StatusWord::claNotSupported);
    case 0xB0:
        return iso ? readBinary(command, secured) : Reply::status(StatusWord::claNotSupported);
    case 0xD6:
        return iso ? updateBinary(command, secured) : Reply::status(StatusWord::claNotSupported);
    default:
        return Reply::status(StatusWord::insNotSupported);
    }
}

Reply TokenCard::selectCommand(const CommandApdu& command) {
    if (command.p1 == 0x04 && command.p2 == 0x00) {
        if (command.data != appletId()) {
            return Reply::status(StatusWord::fileNotFound);
        }
        // Selecting the applet again starts it afresh, as on a real token.
        reset();
        return Reply::ok();
    }
    if (command.p1 == 0x00 && command.p2 == 0x00) {
        return m_files.select(command.data);
    }
    return Reply::status(StatusWord::wrongParameters);
}

Reply TokenCard::getChallenge(const CommandApdu& command) {
    if (command.p1 != 0 || command.p2 != 0) {
        return Reply::status(StatusWord::wrongParameters);
    }
    if (!command.data.empty() || !command.le || *command.le > 32) {
        return Reply::status(StatusWord::wrongLength);
    }
    return Reply::ok(m_config.random->next(*command.le));
}

Reply TokenCard::getData(const CommandApdu& command) const {
    if (command.p1 != 0x00 || command.p2 != 0x86) {
        return Reply::status(StatusWord::referenceNotFound);
    }
    return Reply::ok(m_config.smParameters);
}

Reply TokenCard::initializeUpdate(const CommandApdu& command) {
    if (command.p1 != 0x00 || command.p2 != 0x00) {
        return Reply::status(StatusWord::wrongParameters);
    }
    if (command.data.size() != challengeSize) {
        return Reply::status(StatusWord::wrongLength);
    }
    const Bytes cardChallenge = m_config.random->next(challengeSize);
    const Bytes cryptogram = m_channel.begin(m_config.transportKeyEnc, m_config.transportKeyMac,
                                             command.data, cardChallenge);
    Bytes reply = m_config.diversificationData;
    reply.insert(reply.end(), m_config.keyInformation.begin(), m_config.keyInformation.end());
    reply.insert(reply.end(), cardChallenge.begin(), cardChallenge.end());
    reply.insert(reply.end(), cryptogram.begin(), cryptogram.end());
    return Reply::ok(std::move(reply));
}

Reply TokenCard::externalAuthenticate(const CommandApdu& command) {
    if (command.data.size() != 16) {
        m_channel.close();
        return Reply::status(StatusWord::wrongLength);
    }
    return m_channel.authenticate(command) ? Reply::ok()
                                           : Reply::status(StatusWord::authenticationFailed);
}

PinSlot* TokenCard::pinFor(std::uint8_t reference) {
    if (reference == referenceUserPin) {
        return &m_userPin;
    }
    return reference == referenceSoPin ? &m_soPin : nullptr;
}

Reply TokenCard::verify(const CommandApdu& command) {
    PinSlot* pin = pinFor(command.p2);
    if (command.p1 != 0x00) {
        return Reply::status(StatusWord::wrongParameters);
    }
    if (pin == nullptr) {
        return Reply::status(StatusWord::referenceNotFound);
    }
    if (command.data.empty()) {
        return Reply::status(pin->status());
    }
    if (command.data.size() != 16) {
        return Reply::status(StatusWord::wrongLength);
    }
    return Reply::status(pin->verify(command.data));
}

Reply TokenCard::putData(const CommandApdu& command, bool secured) {
    if (command.p1 != 0x00 || command.p2 != 0x68) {
        return Reply::status(StatusWord::referenceNotFound);
    }
    if (!secured) {
        return Reply::status(StatusWord::securityNotSatisfied);
    }
    const Bytes& data = command.data;
    if (data.size() != 19 || data[1] != 0x11 || data[2] != 0x0A) {
        return Reply::status(StatusWord::wrongData);
    }
    PinSlot* pin = pinFor(data[0]);
    if (pin == nullptr) {
        return Reply::status(StatusWord::referenceNotFound);
    }
    pin->change(ByteView(data).subspan(3));
    return Reply::ok();
}

Reply TokenCard::generateKeyPair(const CommandApdu& command, bool secured) {
    if (command.p1 != 0x00 || command.p2 != 0x00) {
        return Reply::status(StatusWord::wrongParameters);
    }
    if (!secured || !m_userPin.isVerified()) {
        return Reply::status(StatusWord::securityNotSatisfied);
    }
    return m_keys.generate(command.data);
}

Reply TokenCard::performSecurityOperation(const CommandApdu& command) {
    if (command.p1 == 0x9E && command.p2 == 0x9A) {
        return m_keys.signEc(command.data);
    }
    if (command.p1 == 0x80 && command.p2 == 0x86) {
        return m_keys.decipherRsa(command.data);
    }
    return Reply::status(StatusWord::wrongParameters);
}

Reply TokenCard::readBinary(const CommandApdu& command, bool secured) const {
    if (!command.le) {
        return Reply::status(StatusWord::wrongLength);
    }
    // Under secure messaging no more than one protected reply can carry.
    const std::size_t limit = secured ? m_channel.maxReplyData() : maxPlainReply;
    return m_files.read(static_cast<std::size_t>(command.p1 << 8 | command.p2),
                        std::min(*command.le, limit));
}

Reply TokenCard::updateBinary(const CommandApdu& command, bool secured) {
    if (!secured) {
        return Reply::status(StatusWord::securityNotSatisfied);
    }
    if (command.data.empty()) {
        return Reply::status(StatusWord::wrongLength);
    }
    return m_files.update(static_cast<std::size_t>(command.p1 << 8 | command.p2), command.data);
}

} // namespace TokenSim
