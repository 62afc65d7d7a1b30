#include "api/APIError.hpp"

namespace Selvor {
namespace {

std::string describe(APIError::Kind kind, std::int64_t code, const std::string& message) {
    switch (kind) {
    case APIError::Kind::serverError:
        return "Сервер алдаа (" + std::to_string(code) + "): " + message;
    case APIError::Kind::networkError:
        return "Сүлжээний алдаа: " + message;
    case APIError::Kind::invalidResponse:
        return "Серверийн хариу буруу байна.";
    case APIError::Kind::timeout:
        return "Хүлээх хугацаа дууслаа.";
    }
    return {};
}

} // namespace

APIError::APIError(Kind kind, std::int64_t code, std::string message)
    : m_kind(kind), m_code(code), m_message(std::move(message)),
      m_description(describe(kind, code, m_message)) {}

APIError APIError::serverError(std::int64_t code, std::string message) {
    return {Kind::serverError, code, std::move(message)};
}

APIError APIError::networkError(std::string message) {
    return {Kind::networkError, 0, std::move(message)};
}

APIError APIError::invalidResponse() {
    return {Kind::invalidResponse, 0, {}};
}

APIError APIError::timeout() {
    return {Kind::timeout, 0, {}};
}

} // namespace Selvor
