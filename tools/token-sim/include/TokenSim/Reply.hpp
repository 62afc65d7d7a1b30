#pragma once

#include "TokenSim/CardCrypto.hpp"
#include "TokenSim/StatusWord.hpp"

namespace TokenSim {

// What a command handler answers, before any secure-messaging protection.
struct Reply {
    Bytes data;
    std::uint16_t sw = StatusWord::success;

    static Reply status(std::uint16_t sw) { return Reply{{}, sw}; }
    static Reply ok(Bytes data = {}) { return Reply{std::move(data), StatusWord::success}; }
};

} // namespace TokenSim
