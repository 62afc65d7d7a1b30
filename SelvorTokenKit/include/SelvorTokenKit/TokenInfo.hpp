#pragma once

#include "SelvorTokenKit/Bytes.hpp"

#include <string>

namespace SelvorTokenKit {

struct TokenInfo {
    // Answer-to-reset of the card's slot; empty when the slot reports none.
    Bytes atr;
    std::string label = "Kaltor2003";
    // From the ATR only (byte 19 = 03); may differ from the secure-messaging session's flag.
    bool isFIPS = false;
    bool appletSelected = false;

    [[nodiscard]] std::string atrHex() const;
};

} // namespace SelvorTokenKit
