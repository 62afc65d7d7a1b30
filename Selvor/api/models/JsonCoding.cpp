#include "api/models/JsonCoding.hpp"

#include <cmath>
#include <limits>

namespace Selvor::json_detail {
namespace {

std::string render(const Location& at) {
    if (at.parent == nullptr)
        return "body";
    std::string text = render(*at.parent);
    if (at.isIndex)
        text += "[" + std::to_string(at.index) + "]";
    else
        text += "." + std::string(at.key);
    return text;
}

} // namespace

void fail(const Location& at, std::string_view problem) {
    throw DecodeError(render(at) + ": " + std::string(problem));
}

void failType(const Location& at, std::string_view expected, const nlohmann::json& found) {
    fail(at, "expected " + std::string(expected) + ", found " + found.type_name());
}

void decodeValue(const nlohmann::json& json, std::string& out, const Location& at) {
    if (!json.is_string())
        failType(at, "a string", json);
    out = json.get_ref<const std::string&>();
}

void decodeValue(const nlohmann::json& json, std::int64_t& out, const Location& at) {
    constexpr auto max = std::numeric_limits<std::int64_t>::max();
    if (json.is_number_unsigned()) {
        const auto value = json.get<std::uint64_t>();
        if (value > static_cast<std::uint64_t>(max))
            fail(at, "number does not fit a signed 64-bit integer");
        out = static_cast<std::int64_t>(value);
    } else if (json.is_number_integer()) {
        out = json.get<std::int64_t>();
    } else if (json.is_number_float()) {
        // A number written with a fraction or exponent counts when it is exactly an integer.
        const double value = json.get<double>();
        constexpr double limit = 9223372036854775808.0; // 2^63
        if (value != std::trunc(value) || value < -limit || value >= limit)
            fail(at, "number is not a signed 64-bit integer");
        out = static_cast<std::int64_t>(value);
    } else {
        failType(at, "an integer", json);
    }
}

void decodeValue(const nlohmann::json& json, bool& out, const Location& at) {
    if (!json.is_boolean())
        failType(at, "a boolean", json);
    out = json.get<bool>();
}

nlohmann::ordered_json encodeValue(const std::string& value) {
    return value;
}
nlohmann::ordered_json encodeValue(std::int64_t value) {
    return value;
}
nlohmann::ordered_json encodeValue(bool value) {
    return value;
}

nlohmann::json parse(std::string_view text) {
    try {
        return nlohmann::json::parse(text);
    } catch (const nlohmann::json::exception& error) {
        throw DecodeError(error.what());
    }
}

} // namespace Selvor::json_detail

namespace Selvor {

std::string encodeJson(const nlohmann::ordered_json& json) {
    // Outside strings compact JSON has no "/", so every one found is inside a string.
    const std::string compact = json.dump(-1, ' ', false, nlohmann::json::error_handler_t::strict);
    std::string escaped;
    escaped.reserve(compact.size() + 16);
    for (const char c : compact) {
        if (c == '/')
            escaped += "\\/";
        else
            escaped.push_back(c);
    }
    return escaped;
}

} // namespace Selvor
