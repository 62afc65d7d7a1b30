#pragma once

#include "TokenSim/RandomSource.hpp"

#include <map>
#include <memory>
#include <string>

namespace TokenSim {

// How a token comes out of the factory. Empty byte fields take the defaults of the mode.
struct TokenConfig {
    bool fips = false;
    Bytes atr;
    Bytes transportKeyEnc = defaultTransportKey();
    Bytes transportKeyMac = defaultTransportKey();
    // GET DATA (tag 86) answer: the secure-messaging parameters.
    Bytes smParameters;
    // INITIALIZE UPDATE: 10 bytes of key diversification data, then key information
    // (2 bytes in DES mode, 3 in FIPS mode).
    Bytes diversificationData;
    Bytes keyInformation;
    std::string userPin = "123456";
    std::string soPin = "12345678";
    int pinTries = 3;
    std::map<std::uint16_t, Bytes> files = {{0xC000, {}}, {0xC001, {}}, {0xC002, {}}};
    std::shared_ptr<RandomSource> random = std::make_shared<SystemRandom>();

    static Bytes defaultTransportKey();
    static Bytes defaultAtr(bool fips);
};

} // namespace TokenSim
