#pragma once

#include <string>
#include <string_view>

namespace SelvorSim {

// SHA-256 of `data` as 64 lower-case hex digits.
std::string sha256Hex(std::string_view data);

} // namespace SelvorSim
