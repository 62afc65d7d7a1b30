#pragma once

#include "SelvorTokenKit/Hex.hpp"
#include "SelvorTokenKit/SecureMessaging.hpp"
#include "SmCrypto.hpp"

#include <string>
#include <string_view>

namespace SelvorTokenKit::Testing {

// What the token answers under secure messaging: DO87 (encrypted, padded data) when there is
// data, DO99 with the status, a DO8E the host does not check, then 90 00.
inline std::string protectedReply(const SecureMessaging& session, std::string_view dataHex) {
    const Bytes data = hexToBytes(dataHex);
    Bytes reply;
    if (!data.empty()) {
        const Bytes padded = SmCrypto::pad(data, session.blockSize());
        const Bytes zeroIV(session.blockSize(), 0x00);
        const Bytes encrypted =
            session.isFIPS()
                ? SmCrypto::aesCBC(session.sessionKeyEnc(), zeroIV, padded, true)
                : SmCrypto::tripleDESCBC(session.sessionKeyEnc(), zeroIV, padded, true);
        reply = {0x87, static_cast<std::uint8_t>(encrypted.size() + 1), 0x01};
        reply.insert(reply.end(), encrypted.begin(), encrypted.end());
    }
    return bytesToHex(reply) + "99029000" + "8E081111111111111111" + "9000";
}

} // namespace SelvorTokenKit::Testing
