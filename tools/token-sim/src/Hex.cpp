#include "TokenSim/Hex.hpp"

#include "SelvorTokenKit/Hex.hpp"

namespace TokenSim {

std::string toHex(ByteView bytes) {
    return SelvorTokenKit::bytesToHex(bytes);
}

std::optional<Bytes> fromHex(std::string_view text) {
    if (text.empty())
        return Bytes{};
    Bytes bytes = SelvorTokenKit::hexToBytes(text);
    if (bytes.empty())
        return std::nullopt;
    return bytes;
}

} // namespace TokenSim
