#pragma once

#include "SelvorTokenKit/APDUCommand.hpp"
#include "SelvorTokenKit/APDUResponse.hpp"
#include "SelvorTokenKit/CardTransmitter.hpp"

#include <string_view>

namespace SelvorTokenKit::APDUTransceiver {

// Encodes the command, sends it and parses the reply. Transport errors pass through unchanged.
APDUResponse transmit(const APDUCommand& command, CardTransmitter& card);

// Sends the bytes of hex text as they are (no re-encoding); empty or unparsable text throws
// TokenError(invalidAPDU) before anything is sent.
APDUResponse transmit(std::string_view hex, CardTransmitter& card);

} // namespace SelvorTokenKit::APDUTransceiver
