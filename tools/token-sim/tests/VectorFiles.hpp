#pragma once

#include <nlohmann/json.hpp>

#include <vector>

namespace TokenSimTests {

// Every *.json of the given kind in $SELVOR_TOKEN_VECTORS (or the build's default folder).
// Throws when the folder holds none, so a missing folder fails instead of passing empty.
std::vector<nlohmann::json> loadVectorFiles(const std::string& kind);

} // namespace TokenSimTests
