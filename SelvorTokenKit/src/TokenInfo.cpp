#include "SelvorTokenKit/TokenInfo.hpp"

#include "SelvorTokenKit/Hex.hpp"

namespace SelvorTokenKit {

std::string TokenInfo::atrHex() const {
    return bytesToHex(atr);
}

} // namespace SelvorTokenKit
