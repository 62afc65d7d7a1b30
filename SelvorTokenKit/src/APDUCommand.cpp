#include "SelvorTokenKit/APDUCommand.hpp"

#include "SelvorTokenKit/Hex.hpp"
#include "SelvorTokenKit/TokenError.hpp"
#include "WipeGuard.hpp"

#include <cstdio>

namespace SelvorTokenKit {

APDUCommand::APDUCommand(std::uint8_t cla, std::uint8_t ins, std::uint8_t p1, std::uint8_t p2,
                         std::optional<Bytes> data, std::uint8_t le)
    : m_cla(cla), m_ins(ins), m_p1(p1), m_p2(p2), m_payload(std::move(data)), m_le(le) {
    if (m_payload && m_payload->size() > 255) {
        wipeBytes(*m_payload);
        throw TokenError(TokenError::Kind::invalidAPDU);
    }
    m_lc = m_payload ? static_cast<std::uint8_t>(m_payload->size()) : 0;
}

APDUCommand APDUCommand::fromHex(std::string_view text) {
    Bytes bytes = hexToBytes(text);
    const WipeGuard guard(bytes);
    if (bytes.size() < 4) {
        throw TokenError(TokenError::Kind::invalidAPDU);
    }
    if (bytes.size() == 4) {
        return APDUCommand(bytes[0], bytes[1], bytes[2], bytes[3]);
    }
    if (bytes.size() == 5) {
        return APDUCommand(bytes[0], bytes[1], bytes[2], bytes[3], std::nullopt, bytes[4]);
    }
    const std::size_t length = bytes[4];
    std::uint8_t le = 0;
    if (bytes.size() == length + 6) {
        le = bytes.back();
    } else if (bytes.size() != length + 5) {
        throw TokenError(TokenError::Kind::invalidAPDU);
    }
    Bytes payload(bytes.begin() + 5, bytes.begin() + 5 + static_cast<std::ptrdiff_t>(length));
    return APDUCommand(bytes[0], bytes[1], bytes[2], bytes[3], std::move(payload), le);
}

APDUCommand::~APDUCommand() {
    if (m_payload) {
        wipeBytes(*m_payload);
    }
}

Bytes APDUCommand::buildBuffer() const {
    Bytes buffer{m_cla, m_ins, m_p1, m_p2};
    buffer.reserve(4 + 1 + (m_payload ? m_payload->size() : 0) + 1);
    if (m_payload) {
        buffer.push_back(m_lc);
        buffer.insert(buffer.end(), m_payload->begin(), m_payload->end());
    }
    if (m_le != 0) {
        buffer.push_back(m_le);
    }
    return buffer;
}

std::string APDUCommand::redactedDescription() const {
    char text[96];
    std::snprintf(text, sizeof text, "CLA=%02X INS=%02X P1=%02X P2=%02X", m_cla, m_ins, m_p1, m_p2);
    std::string description = text;
    if (m_payload) {
        std::snprintf(text, sizeof text, " Lc=%02X Data=<redacted:%zuB>", m_lc, m_payload->size());
        description += text;
    }
    std::snprintf(text, sizeof text, " Le=%02X", m_le);
    return description + text;
}

} // namespace SelvorTokenKit
