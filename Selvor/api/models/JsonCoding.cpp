#include "api/models/JsonDecoding.hpp"

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

std::string_view typeName(Element element) {
    using Type = simdjson::dom::element_type;
    switch (element.type()) {
    case Type::ARRAY:
        return "array";
    case Type::OBJECT:
        return "object";
    case Type::STRING:
        return "string";
    case Type::BOOL:
        return "boolean";
    case Type::NULL_VALUE:
        return "null";
    default:
        return "number";
    }
}

} // namespace

void fail(const Location& at, std::string_view problem) {
    throw DecodeError(render(at) + ": " + std::string(problem));
}

void failType(const Location& at, std::string_view expected, Element found) {
    fail(at, "expected " + std::string(expected) + ", found " + std::string(typeName(found)));
}

void decodeValue(Element json, std::string& out, const Location& at) {
    std::string_view text;
    if (json.get_string().get(text))
        failType(at, "a string", json);
    out.assign(text);
}

void decodeValue(Element json, std::int64_t& out, const Location& at) {
    using Type = simdjson::dom::element_type;
    switch (json.type()) {
    case Type::INT64:
        out = json.get_int64().value_unsafe();
        return;
    case Type::UINT64:
        fail(at, "number does not fit a signed 64-bit integer");
    case Type::DOUBLE: {
        // A number written with a fraction or exponent counts when it is exactly an integer.
        const double value = json.get_double().value_unsafe();
        constexpr double limit = 9223372036854775808.0; // 2^63
        if (value != std::trunc(value) || value < -limit || value >= limit)
            fail(at, "number is not a signed 64-bit integer");
        out = static_cast<std::int64_t>(value);
        return;
    }
    default:
        failType(at, "an integer", json);
    }
}

void decodeValue(Element json, bool& out, const Location& at) {
    if (json.get_bool().get(out))
        failType(at, "a boolean", json);
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
