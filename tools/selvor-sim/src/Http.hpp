#pragma once

#include "PercentEncoding.hpp"

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace SelvorSim {

using nlohmann::json;

// Serialises with invalid UTF-8 replaced, so a hostile file name can never break an answer.
std::string dumpJson(const json& value);

void sendJson(httplib::Response& res, const json& value, int status = 200);

// The service's error body: {"code": N, "error": "..."}.
void sendError(httplib::Response& res, int status, const std::string& message);

void sendHtml(httplib::Response& res, const std::string& html, int status = 200);

// Sends a large body as it stands, without copying it and without compression. httplib
// compresses a set_content body whole before its first byte, with brotli at its slowest setting
// when the client accepts "br" (Qt does): half a minute for a 16 MB dashboard, longer than a
// client waits for a byte.
void sendLarge(httplib::Response& res, std::shared_ptr<const std::string> body,
               const std::string& contentType);

// A 302 to `location`, with a link to it for clients that do not follow redirects.
void sendRedirect(httplib::Response& res, const std::string& location, const std::string& linkText);

// Parses the request body as a JSON object; answers 400 and returns nothing otherwise.
std::optional<json> readJsonObject(const httplib::Request& req, httplib::Response& res);

// A string member of a request object, or nothing when absent or not a string.
std::optional<std::string> stringField(const json& object, const char* key);

// The query items of a request target, split at the first "=" of each item and
// percent-decoded ("+" stays as it is). httplib's own parameters split "a=b=c" differently.
std::vector<std::pair<std::string, std::string>> queryItems(const std::string& target);

// The value of the first query item of that name, or nothing.
std::optional<std::string> queryValue(const std::string& target, std::string_view name);

// A query value of a service request ("" when absent), read like `queryItems`.
std::string queryParam(const httplib::Request& req, std::string_view name);

std::string htmlEscape(std::string_view text);

// Origin of the simulator as the client reached it ("http://127.0.0.1:PORT").
std::string originOf(const httplib::Request& req);

// Current UTC time as "YYYY-MM-DDTHH:MM:SSZ", shifted by the given number of seconds.
std::string isoTimestamp(long long secondsFromNow = 0);

// A random lower-case hex identifier of the given length.
std::string randomHex(std::size_t length);

// A random string of decimal digits.
std::string randomDigits(std::size_t length);

} // namespace SelvorSim
