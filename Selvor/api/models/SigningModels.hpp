#pragma once

#include "api/models/JsonCoding.hpp"

#include <optional>
#include <string>

// Bodies and answers of signing through the service, and the certificate request body.
namespace Selvor {

struct SignInitiateRequest {
    std::string nationalId;
    std::string documentHash;
    std::string hashType;
    std::optional<std::string> displayText;
    std::optional<std::string> documentName;

    static constexpr auto fields() {
        return std::tuple{field("nationalId", &SignInitiateRequest::nationalId),
                          field("documentHash", &SignInitiateRequest::documentHash),
                          field("hashType", &SignInitiateRequest::hashType),
                          field("displayText", &SignInitiateRequest::displayText),
                          field("documentName", &SignInitiateRequest::documentName)};
    }
};

struct SignCompleteRequest {
    std::string signature;
    std::string certificatePem;

    static constexpr auto fields() {
        return std::tuple{field("signature", &SignCompleteRequest::signature),
                          field("certificatePem", &SignCompleteRequest::certificatePem)};
    }
};

struct CSRSubmitRequest {
    std::string csrPem;
    std::string nationalId;

    static constexpr auto fields() {
        return std::tuple{field("csrPem", &CSRSubmitRequest::csrPem),
                          field("nationalId", &CSRSubmitRequest::nationalId)};
    }
};

struct SignInitResponse {
    std::string sessionId;
    std::string verificationCode;

    static constexpr auto fields() {
        return std::tuple{field("sessionId", &SignInitResponse::sessionId),
                          field("verificationCode", &SignInitResponse::verificationCode)};
    }
};

struct SignStatusResponse {
    std::string state;
    std::optional<std::string> result;

    static constexpr auto fields() {
        return std::tuple{field("state", &SignStatusResponse::state),
                          field("result", &SignStatusResponse::result)};
    }
};

} // namespace Selvor
