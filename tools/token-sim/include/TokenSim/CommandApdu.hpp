#pragma once

#include "TokenSim/CardCrypto.hpp"

#include <optional>

namespace TokenSim {

// A short command APDU as the card receives it. Le 00 stands for 256.
struct CommandApdu {
    std::uint8_t cla = 0;
    std::uint8_t ins = 0;
    std::uint8_t p1 = 0;
    std::uint8_t p2 = 0;
    Bytes data;
    std::optional<std::size_t> le;

    // Nothing when the bytes are no well-formed short APDU (the card answers 67 00).
    static std::optional<CommandApdu> parse(ByteView bytes);
    Bytes encode() const;
};

} // namespace TokenSim
