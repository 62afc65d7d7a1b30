#pragma once

#include <string>

namespace SelvorSim {

// Wraps page content in the simulator's shared layout and style (Mongolian, light and dark).
std::string htmlPage(const std::string& title, const std::string& body, int refreshSeconds = 0);

} // namespace SelvorSim
