#pragma once

// The generic encoder behind encodeJson. Included only by ModelCoding.cpp.
#include "api/models/JsonCoding.hpp"
#include "api/models/JsonDecoding.hpp"
#include "api/models/KeyCase.hpp"

namespace Selvor::json_detail {

inline nlohmann::ordered_json encodeValue(const std::string& value) {
    return value;
}
inline nlohmann::ordered_json encodeValue(std::int64_t value) {
    return value;
}
inline nlohmann::ordered_json encodeValue(bool value) {
    return value;
}
template <JsonRecord T> nlohmann::ordered_json encodeValue(const T& record);

template <typename T> nlohmann::ordered_json encodeValue(const std::vector<T>& values) {
    auto array = nlohmann::ordered_json::array();
    for (const auto& value : values)
        array.push_back(encodeValue(value));
    return array;
}

template <JsonRecord T> nlohmann::ordered_json encodeValue(const T& record) {
    auto object = nlohmann::ordered_json::object();
    auto put = [&](const auto& one) {
        const auto& member = record.*(one.member);
        const std::string key = keyStyleOf<T>() == KeyStyle::snakeCase ? snakeKeyFromCamel(one.key)
                                                                       : std::string(one.key);
        using Member = std::remove_cvref_t<decltype(member)>;
        if constexpr (IsOptional<Member>::value) {
            if (member)
                object[key] = encodeValue(*member);
        } else {
            object[key] = encodeValue(member);
        }
    };
    std::apply([&](const auto&... f) { (put(f), ...); }, T::fields());
    return object;
}

} // namespace Selvor::json_detail
