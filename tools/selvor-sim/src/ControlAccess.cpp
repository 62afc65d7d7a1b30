#include "ControlAccess.hpp"

#include "Http.hpp"

#include <sys/random.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace SelvorSim {
namespace {

// The media type of a Content-Type value, lower case, without parameters or spaces.
std::string mediaType(const std::string& contentType) {
    std::string type = contentType.substr(0, contentType.find(';'));
    std::erase_if(type, [](unsigned char c) { return std::isspace(c) != 0; });
    std::ranges::transform(type, type.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return type;
}

bool announcesBody(const httplib::Request& req) {
    const std::string length = req.get_header_value("Content-Length");
    return req.has_header("Transfer-Encoding") || (!length.empty() && length != "0");
}

} // namespace

std::string newControlToken() {
    std::array<unsigned char, 16> bytes{};
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = getrandom(bytes.data() + filled, bytes.size() - filled, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            throw std::runtime_error(std::string("no random bytes for the control token: ") +
                                     std::strerror(errno));
        filled += static_cast<std::size_t>(got);
    }
    static constexpr char digits[] = "0123456789abcdef";
    std::string token;
    for (const unsigned char byte : bytes) {
        token.push_back(digits[byte >> 4]);
        token.push_back(digits[byte & 0x0F]);
    }
    return token;
}

bool sameToken(std::string_view given, std::string_view expected) {
    // The length is no secret; the loop runs over the expected token whatever was given.
    unsigned difference = given.size() == expected.size() ? 0 : 1;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const unsigned char other = i < given.size() ? static_cast<unsigned char>(given[i]) : 0;
        difference |= other ^ static_cast<unsigned char>(expected[i]);
    }
    return difference == 0;
}

bool admitControlRequest(const httplib::Request& req, httplib::Response& res,
                         const std::string& token) {
    if (!sameToken(req.get_header_value(controlTokenHeader), token)) {
        sendError(res, 403,
                  std::string("control requests need the ") + controlTokenHeader +
                      " header with the token selvor-sim printed at start");
        return false;
    }
    const std::string type = mediaType(req.get_header_value("Content-Type"));
    if ((announcesBody(req) || !type.empty()) && type != "application/json") {
        sendError(res, 415, "control requests carry application/json");
        return false;
    }
    return true;
}

} // namespace SelvorSim
