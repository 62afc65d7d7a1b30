#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace Selvor {

// The service's error vocabulary; errorDescription() is the text the screens show.
class APIError : public std::exception {
public:
    enum class Kind { serverError, networkError, invalidResponse, timeout };

    static APIError serverError(std::int64_t code, std::string message);
    static APIError networkError(std::string message);
    static APIError invalidResponse();
    static APIError timeout();

    [[nodiscard]] Kind kind() const { return m_kind; }
    // Code and message of serverError; message of networkError.
    [[nodiscard]] std::int64_t code() const { return m_code; }
    [[nodiscard]] const std::string& message() const { return m_message; }

    [[nodiscard]] std::string errorDescription() const { return m_description; }
    [[nodiscard]] const char* what() const noexcept override { return m_description.c_str(); }

private:
    APIError(Kind kind, std::int64_t code, std::string message);

    Kind m_kind;
    std::int64_t m_code;
    std::string m_message;
    std::string m_description;
};

} // namespace Selvor
