#pragma once

#include <cctype>
#include <string>
#include <string_view>

namespace SelvorSim {

// Every byte but RFC 3986's unreserved characters as %XX, for a path segment or a query value;
// shared by the simulator and its test client.
inline std::string percentEncode(std::string_view text) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '-' || c == '.' || c == '_' || c == '~') {
            out += c;
        } else {
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 0xF];
        }
    }
    return out;
}

} // namespace SelvorSim
