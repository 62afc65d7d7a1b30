#include "TokenSim/TokenConfig.hpp"

namespace TokenSim {

Bytes TokenConfig::defaultTransportKey() {
    return {0x5E, 0x71, 0x0C, 0xA3, 0x9B, 0x24, 0xD8, 0x46,
            0x13, 0xF0, 0x6A, 0x82, 0xC5, 0x3D, 0x97, 0xE1};
}

Bytes TokenConfig::defaultAtr(bool fips) {
    // T=1 (IFSC 254), fifteen historical bytes with the mode at ATR index 19 (03 in FIPS
    // mode), then the check byte.
    Bytes atr{0x3B, 0xCF, 0x00, 0x81, 0x31,
              0xFE, 0x45, 'K',  'a',  'l',
              't',  'o',  'r',  '2',  '0',
              '0',  '3',  0x00, 0x00, static_cast<std::uint8_t>(fips ? 0x03 : 0x01),
              0x00, 0x00};
    std::uint8_t check = 0;
    for (std::size_t i = 1; i < atr.size(); ++i) {
        check ^= atr[i];
    }
    atr.push_back(check);
    return atr;
}

} // namespace TokenSim
