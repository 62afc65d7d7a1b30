#pragma once

#include <cstdint>
#include <vector>

namespace SelvorTokenKit {

using Bytes = std::vector<std::uint8_t>;

} // namespace SelvorTokenKit
