#pragma once

#include "SelvorTokenKit/Bytes.hpp"

#include <span>

namespace SelvorTokenKit {

// Raw bytes to a card and back: one complete command APDU in, the complete response
// (SW1 SW2 included) out, unchanged. A transport failure is thrown, never turned into a status.
class CardTransmitter {
public:
    virtual ~CardTransmitter() = default;
    virtual Bytes transmitRaw(std::span<const std::uint8_t> command) = 0;
};

} // namespace SelvorTokenKit
