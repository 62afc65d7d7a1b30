#pragma once

// The generic decoder behind decodeJson, over simdjson's document model (parsing is most of the
// cost of a large answer). Included only by ModelCoding.cpp.
#include "api/models/JsonCoding.hpp"
#include "api/models/KeyCase.hpp"

#include <simdjson.h>

#include <bitset>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace Selvor::json_detail {

using Element = simdjson::dom::element;

// Where in the document a value sits, for error messages; built on the stack as decoding
// descends and rendered only when something fails.
struct Location {
    const Location* parent = nullptr;
    std::string_view key;
    std::size_t index = 0;
    bool isIndex = false;
};

[[noreturn]] void fail(const Location& at, std::string_view problem);
[[noreturn]] void failType(const Location& at, std::string_view expected, Element found);

void decodeValue(Element json, std::string& out, const Location& at);
void decodeValue(Element json, std::int64_t& out, const Location& at);
void decodeValue(Element json, bool& out, const Location& at);
template <JsonRecord T> void decodeValue(Element json, T& out, const Location& at);

template <typename T> void decodeValue(Element json, std::vector<T>& out, const Location& at) {
    simdjson::dom::array array;
    if (json.get_array().get(array))
        failType(at, "an array", json);
    out.clear();
    out.reserve(array.size());
    std::size_t index = 0;
    for (const Element element : array) {
        const Location elementAt{&at, {}, index++, true};
        if (element.is_null())
            fail(elementAt, "null where a value is required");
        decodeValue(element, out.emplace_back(), elementAt);
    }
}

// An object of values under keys kept exactly as sent.
template <typename T>
void decodeValue(Element json, std::map<std::string, T>& out, const Location& at) {
    simdjson::dom::object object;
    if (json.get_object().get(object))
        failType(at, "an object", json);
    out.clear();
    for (const auto [key, value] : object) {
        const Location valueAt{&at, key};
        if (value.is_null())
            fail(valueAt, "null where a value is required");
        decodeValue(value, out[std::string(key)], valueAt);
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

// Decodes one incoming member into the field whose model key matches; returns that field's
// index, or the field count when none matches (the member is ignored).
template <typename Record, typename Tuple, std::size_t... I>
std::size_t decodeMember(std::string_view modelKey, Element value, Record& out, const Tuple& fields,
                         const Location& recordAt, std::index_sequence<I...>) {
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

// Members are matched in document order; when two spellings of one key are both present, the
// later one wins.
template <JsonRecord T> void decodeValue(Element json, T& out, const Location& at) {
    simdjson::dom::object object;
    if (json.get_object().get(object))
        failType(at, "an object", json);
    constexpr auto fields = T::fields();
    constexpr std::size_t count = std::tuple_size_v<decltype(fields)>;
    static_assert(count <= 64);
    using Indices = std::make_index_sequence<count>;
    out = T{};
    std::bitset<64> seen;
    std::string converted;
    for (const auto [key, value] : object) {
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

template <typename T> T decodeDocument(std::string_view text) {
    simdjson::dom::parser parser;
    Element root;
    if (const auto error = parser.parse(text.data(), text.size()).get(root))
        throw DecodeError(std::string("body is not JSON: ") + simdjson::error_message(error));
    T value{};
    decodeValue(root, value, Location{});
    return value;
}

} // namespace Selvor::json_detail
