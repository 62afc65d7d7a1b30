#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace SelvorTokenKit {

// The kit's error vocabulary. errorDescription() is the user-facing text, shown unchanged.
class TokenError : public std::exception {
public:
    enum class Kind {
        transmitFailed,
        pinVerifyFailed,
        signFailed,
        unexpectedStatus,
        readerNotConnected,
        cardNotFound,
        sessionFailed,
        invalidAPDU,
        authFailed,
        pinBlocked,
        keyGenFailed,
        certificateNotFound,
        certificateImportFailed,
        unsupportedAlgorithm,
        secureMessagingFailed,
    };

    // For the kinds without a payload.
    explicit TokenError(Kind kind);

    static TokenError transmitFailed(std::string text);
    static TokenError pinVerifyFailed(int retriesLeft);
    static TokenError signFailed(std::string text);
    static TokenError unexpectedStatus(std::uint16_t status);

    [[nodiscard]] Kind kind() const noexcept { return m_kind; }
    // The text payload of transmitFailed and signFailed; empty otherwise.
    [[nodiscard]] const std::string& message() const noexcept { return m_message; }
    // pinVerifyFailed only; 0 otherwise.
    [[nodiscard]] int retriesLeft() const noexcept { return m_retriesLeft; }
    // unexpectedStatus only; 0 otherwise.
    [[nodiscard]] std::uint16_t status() const noexcept { return m_status; }

    [[nodiscard]] std::string errorDescription() const;
    [[nodiscard]] const char* what() const noexcept override { return m_description.c_str(); }

private:
    TokenError(Kind kind, std::string message, int retriesLeft, std::uint16_t status);

    Kind m_kind;
    std::string m_message;
    int m_retriesLeft = 0;
    std::uint16_t m_status = 0;
    std::string m_description;
};

// The case name as written in code ("authFailed"), for logs and test vectors.
const char* kindName(TokenError::Kind kind);

} // namespace SelvorTokenKit
