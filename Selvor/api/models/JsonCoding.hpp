#pragma once

#include "api/models/DecodeError.hpp"
#include "api/models/KeyCase.hpp"

#include <nlohmann/json.hpp>

#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

// Generic JSON coding of the plain records. A record lists its fields once:
//
//     static constexpr auto fields() {
//         return std::tuple{field("sessionId", &AuthInitiateResponse::sessionId), ...};
//     }
//
// Members of type std::optional are optional (absent or null gives none, and absent values are
// left out when encoding); every other member is required and must not be null. Incoming keys
// are converted from snake case before matching unless the record declares
// `static constexpr KeyStyle keyStyle = KeyStyle::exact;`. Outgoing keys are snake case.
namespace Selvor {

enum class KeyStyle { snakeCase, exact };

template <typename Record, typename Value> struct Field {
    std::string_view key;
    Value Record::*member;
};

template <typename Record, typename Value>
constexpr Field<Record, Value> field(std::string_view key, Value Record::*member) {
    return {key, member};
}

template <typename T>
concept JsonRecord = requires {
    T::fields();
};

namespace json_detail {

// Where in the document a value sits, for error messages; built on the stack as decoding
// descends and rendered only when something fails.
struct Location {
    const Location* parent = nullptr;
    std::string_view key;
    std::size_t index = 0;
    bool isIndex = false;
};

[[noreturn]] void fail(const Location& at, std::string_view problem);
[[noreturn]] void failType(const Location& at, std::string_view expected,
                           const nlohmann::json& found);

void decodeValue(const nlohmann::json& json, std::string& out, const Location& at);
void decodeValue(const nlohmann::json& json, std::int64_t& out, const Location& at);
void decodeValue(const nlohmann::json& json, bool& out, const Location& at);

template <JsonRecord T> void decodeValue(const nlohmann::json& json, T& out, const Location& at);

template <typename T>
void decodeValue(const nlohmann::json& json, std::vector<T>& out, const Location& at) {
    if (!json.is_array())
        failType(at, "an array", json);
    out.clear();
    out.reserve(json.size());
    std::size_t index = 0;
    for (const auto& element : json) {
        const Location elementAt{&at, {}, index++, true};
        if (element.is_null())
            fail(elementAt, "null where a value is required");
        decodeValue(element, out.emplace_back(), elementAt);
    }
}

template <typename T> struct IsOptional : std::false_type {};
template <typename T> struct IsOptional<std::optional<T>> : std::true_type {};

template <typename Record> constexpr KeyStyle keyStyleOf() {
    if constexpr (requires { Record::keyStyle; })
        return Record::keyStyle;
    else
        return KeyStyle::snakeCase;
}

// Decodes one incoming member into the field whose model key matches; returns its index.
template <typename Record, typename Tuple, std::size_t... I>
std::size_t decodeMember(std::string_view modelKey, const nlohmann::json& value, Record& out,
                         const Tuple& fields, const Location& recordAt, std::index_sequence<I...>) {
    std::size_t matched = sizeof...(I);
    auto tryField = [&](std::size_t index, const auto& f) {
        if (matched != sizeof...(I) || f.key != modelKey)
            return;
        matched = index;
        const Location at{&recordAt, f.key};
        auto& member = out.*(f.member);
        using Member = std::remove_reference_t<decltype(member)>;
        if constexpr (IsOptional<Member>::value) {
            if (value.is_null()) {
                member.reset();
            } else {
                typename Member::value_type decoded{};
                decodeValue(value, decoded, at);
                member = std::move(decoded);
            }
        } else {
            if (value.is_null())
                fail(at, "null where a value is required");
            decodeValue(value, member, at);
        }
    };
    (tryField(I, std::get<I>(fields)), ...);
    return matched;
}

template <typename Record, typename Tuple, std::size_t... I>
void requireAll(const std::bitset<64>& seen, const Tuple& fields, const Location& at,
                std::index_sequence<I...>) {
    auto check = [&](std::size_t index, const auto& f) {
        using Member = std::remove_reference_t<decltype(std::declval<Record&>().*(f.member))>;
        if (!IsOptional<Member>::value && !seen[index])
            fail(at, "missing key \"" + std::string(f.key) + "\"");
    };
    (check(I, std::get<I>(fields)), ...);
}

template <JsonRecord T> void decodeValue(const nlohmann::json& json, T& out, const Location& at) {
    if (!json.is_object())
        failType(at, "an object", json);
    constexpr auto fields = T::fields();
    constexpr std::size_t count = std::tuple_size_v<decltype(fields)>;
    static_assert(count <= 64);
    using Indices = std::make_index_sequence<count>;
    out = T{};
    std::bitset<64> seen;
    std::string converted;
    for (const auto& [key, value] : json.get_ref<const nlohmann::json::object_t&>()) {
        std::string_view modelKey = key;
        if constexpr (keyStyleOf<T>() == KeyStyle::snakeCase) {
            camelKeyFromSnake(key, converted);
            modelKey = converted;
        }
        const std::size_t index = decodeMember(modelKey, value, out, fields, at, Indices{});
        if (index < count)
            seen.set(index);
    }
    requireAll<T>(seen, fields, at, Indices{});
}

nlohmann::ordered_json encodeValue(const std::string& value);
nlohmann::ordered_json encodeValue(std::int64_t value);
nlohmann::ordered_json encodeValue(bool value);

template <JsonRecord T> nlohmann::ordered_json encodeValue(const T& record);

template <typename T> nlohmann::ordered_json encodeValue(const std::vector<T>& values) {
    auto array = nlohmann::ordered_json::array();
    for (const auto& value : values)
        array.push_back(encodeValue(value));
    return array;
}

template <JsonRecord T> nlohmann::ordered_json encodeValue(const T& record) {
    auto object = nlohmann::ordered_json::object();
    std::apply(
        [&](const auto&... f) {
            auto put = [&](const auto& one) {
                const auto& member = record.*(one.member);
                const std::string key = keyStyleOf<T>() == KeyStyle::snakeCase
                                            ? snakeKeyFromCamel(one.key)
                                            : std::string(one.key);
                using Member = std::remove_cvref_t<decltype(member)>;
                if constexpr (IsOptional<Member>::value) {
                    if (member)
                        object[key] = encodeValue(*member);
                } else {
                    object[key] = encodeValue(member);
                }
            };
            (put(f), ...);
        },
        T::fields());
    return object;
}

nlohmann::json parse(std::string_view text);

} // namespace json_detail

template <JsonRecord T> void from_json(const nlohmann::json& json, T& out) {
    json_detail::decodeValue(json, out, json_detail::Location{});
}

template <JsonRecord T> void to_json(nlohmann::ordered_json& json, const T& record) {
    json = json_detail::encodeValue(record);
}

// Decodes a whole body. Throws DecodeError for anything that is not T.
template <typename T> T decodeJson(std::string_view text) {
    const nlohmann::json json = json_detail::parse(text);
    try {
        return json.get<T>();
    } catch (const nlohmann::json::exception& error) {
        throw DecodeError(error.what());
    }
}

// Compact UTF-8 JSON with "/" written as "\/".
std::string encodeJson(const nlohmann::ordered_json& json);

template <JsonRecord T> std::string encodeJson(const T& record) {
    return encodeJson(json_detail::encodeValue(record));
}

} // namespace Selvor
