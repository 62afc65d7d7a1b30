#pragma once

#include "api/models/JsonCoding.hpp"

#include <cstdint>
#include <string>

namespace Selvor {

// Body of a failed request; both keys are required and matched exactly.
struct ErrorResponse {
    std::int64_t code = 0;
    std::string error;

    static constexpr KeyStyle keyStyle = KeyStyle::exact;
    static constexpr auto fields() {
        return std::tuple{field("code", &ErrorResponse::code),
                          field("error", &ErrorResponse::error)};
    }
};

} // namespace Selvor
