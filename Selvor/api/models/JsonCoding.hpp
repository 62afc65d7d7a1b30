#pragma once

#include "api/models/DecodeError.hpp"

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>
#include <tuple>

// JSON coding of the plain records. A record lists its fields once:
//
//     static constexpr auto fields() {
//         return std::tuple{field("sessionId", &AuthInitiateResponse::sessionId), ...};
//     }
//
// Members of type std::optional are optional (absent or null gives none, and absent values are
// left out when encoding); every other member is required and must not be null. Incoming keys
// are converted from snake case before matching, at every level, unless the record declares
// `static constexpr KeyStyle keyStyle = KeyStyle::exact;`. Outgoing keys are snake case, in the
// order of fields().
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

// Decodes a whole body. Throws DecodeError for anything that is not a JSON text of T.
// Instantiated for every model in ModelCoding.cpp.
template <typename T> T decodeJson(std::string_view text);

// Compact UTF-8 JSON with "/" written as "\/".
std::string encodeJson(const nlohmann::ordered_json& json);
template <typename T> std::string encodeJson(const T& record);

// nlohmann/json interoperation, through the same coders.
template <JsonRecord T> void from_json(const nlohmann::json& json, T& out) {
    out = decodeJson<T>(json.dump());
}

template <JsonRecord T> void to_json(nlohmann::ordered_json& json, const T& record) {
    json = nlohmann::ordered_json::parse(encodeJson(record));
}

} // namespace Selvor
