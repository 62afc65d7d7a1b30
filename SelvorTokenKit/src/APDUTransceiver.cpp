#include "SelvorTokenKit/APDUTransceiver.hpp"

#include "SelvorTokenKit/Hex.hpp"
#include "SelvorTokenKit/TokenError.hpp"
#include "WipeGuard.hpp"

namespace SelvorTokenKit::APDUTransceiver {
namespace {

// The command and the raw reply may carry secrets: both are wiped before release.
APDUResponse exchange(Bytes& command, CardTransmitter& card) {
    const WipeGuard commandGuard(command);
    Bytes reply = card.transmitRaw(command);
    const WipeGuard replyGuard(reply);
    return APDUResponse(reply);
}

} // namespace

APDUResponse transmit(const APDUCommand& command, CardTransmitter& card) {
    Bytes bytes = command.buildBuffer();
    return exchange(bytes, card);
}

APDUResponse transmit(std::string_view hex, CardTransmitter& card) {
    Bytes bytes = hexToBytes(hex);
    if (bytes.empty()) {
        throw TokenError(TokenError::Kind::invalidAPDU);
    }
    return exchange(bytes, card);
}

} // namespace SelvorTokenKit::APDUTransceiver
