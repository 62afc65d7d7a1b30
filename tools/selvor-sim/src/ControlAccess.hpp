#pragma once

#include <httplib.h>

#include <string>
#include <string_view>

namespace SelvorSim {

// The header a control client sends the token in.
inline constexpr const char* controlTokenHeader = "X-Selvor-Sim-Token";

// 32 lower-case hex digits from the kernel's random source, new on every start.
std::string newControlToken();

// Whether both are equal, in a time that does not depend on where they differ.
bool sameToken(std::string_view given, std::string_view expected);

// Guards /control: a page in the user's browser that guesses the port can post to it without
// a preflight, so a request needs the token (403 otherwise) and, since a browser sends a JSON
// type only after a preflight, no other content type (415). Answers and returns false when
// the request is refused.
bool admitControlRequest(const httplib::Request& req, httplib::Response& res,
                         const std::string& token);

} // namespace SelvorSim
