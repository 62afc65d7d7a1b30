#pragma once

#include "api/models/JsonCoding.hpp"

#include <optional>
#include <string>

// Answers of the push and QR sign-in requests.
namespace Selvor {

struct AuthInitiateResponse {
    std::string sessionId;
    std::string verificationCode;

    static constexpr auto fields() {
        return std::tuple{field("sessionId", &AuthInitiateResponse::sessionId),
                          field("verificationCode", &AuthInitiateResponse::verificationCode)};
    }
};

// The person who confirmed on the phone.
struct AuthIdentity {
    std::string nationalId;
    std::string fullName;

    static constexpr auto fields() {
        return std::tuple{field("nationalId", &AuthIdentity::nationalId),
                          field("fullName", &AuthIdentity::fullName)};
    }
};

struct AuthStatusResponse {
    std::string state;
    std::optional<std::string> result;
    std::optional<AuthIdentity> identity;

    static constexpr auto fields() {
        return std::tuple{field("state", &AuthStatusResponse::state),
                          field("result", &AuthStatusResponse::result),
                          field("identity", &AuthStatusResponse::identity)};
    }
};

struct QRInitResponse {
    std::string token;
    std::string qrData;

    static constexpr auto fields() {
        return std::tuple{field("token", &QRInitResponse::token),
                          field("qrData", &QRInitResponse::qrData)};
    }
};

struct QRStatusResponse {
    std::string state;
    std::optional<std::string> result;
    std::optional<std::string> nationalId;
    std::optional<std::string> userName;
    std::optional<std::string> kycLevel;
    std::optional<std::string> verificationCode;

    static constexpr auto fields() {
        return std::tuple{field("state", &QRStatusResponse::state),
                          field("result", &QRStatusResponse::result),
                          field("nationalId", &QRStatusResponse::nationalId),
                          field("userName", &QRStatusResponse::userName),
                          field("kycLevel", &QRStatusResponse::kycLevel),
                          field("verificationCode", &QRStatusResponse::verificationCode)};
    }
};

} // namespace Selvor
