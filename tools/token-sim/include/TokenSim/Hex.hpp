#pragma once

#include "TokenSim/CardCrypto.hpp"

#include <optional>
#include <string>
#include <string_view>

namespace TokenSim {

std::string toHex(ByteView bytes);
// Nothing on an odd number of digits or a non-hex character; spaces and colons are skipped.
std::optional<Bytes> fromHex(std::string_view text);

} // namespace TokenSim
