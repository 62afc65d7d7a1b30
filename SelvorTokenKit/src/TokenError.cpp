#include "SelvorTokenKit/TokenError.hpp"

#include <cstdio>

namespace SelvorTokenKit {

TokenError::TokenError(Kind kind) : TokenError(kind, {}, 0, 0) {}

TokenError::TokenError(Kind kind, std::string message, int retriesLeft, std::uint16_t status)
    : m_kind(kind), m_message(std::move(message)), m_retriesLeft(retriesLeft), m_status(status) {
    m_description = errorDescription();
}

TokenError TokenError::transmitFailed(std::string text) {
    return TokenError(Kind::transmitFailed, std::move(text), 0, 0);
}

TokenError TokenError::pinVerifyFailed(int retriesLeft) {
    return TokenError(Kind::pinVerifyFailed, {}, retriesLeft, 0);
}

TokenError TokenError::signFailed(std::string text) {
    return TokenError(Kind::signFailed, std::move(text), 0, 0);
}

TokenError TokenError::unexpectedStatus(std::uint16_t status) {
    return TokenError(Kind::unexpectedStatus, {}, 0, status);
}

std::string TokenError::errorDescription() const {
    switch (m_kind) {
    case Kind::transmitFailed:
        return "APDU дамжуулалт амжилтгүй: " + m_message;
    case Kind::pinVerifyFailed:
        return "PIN буруу байна. " + std::to_string(m_retriesLeft) + " оролдлого үлдсэн.";
    case Kind::signFailed:
        return "Гарын үсэг зурахад алдаа: " + m_message;
    case Kind::unexpectedStatus: {
        char status[8];
        std::snprintf(status, sizeof status, "%04X", static_cast<unsigned>(m_status));
        return std::string("Токен алдаа: SW=") + status;
    }
    case Kind::readerNotConnected:
        return "Уншигч холбогдоогүй байна.";
    case Kind::cardNotFound:
        return "Токен олдсонгүй.";
    case Kind::sessionFailed:
        return "Сэссион эхлүүлэхэд алдаа гарлаа.";
    case Kind::invalidAPDU:
        return "APDU команд буруу байна.";
    case Kind::authFailed:
        return "Токен баталгаажуулалт амжилтгүй.";
    case Kind::pinBlocked:
        return "PIN блоклогдсон. PUK ашиглана уу.";
    case Kind::keyGenFailed:
        return "Түлхүүр хос үүсгэхэд алдаа гарлаа.";
    case Kind::certificateNotFound:
        return "Сертификат олдсонгүй.";
    case Kind::certificateImportFailed:
        return "Сертификат суулгахад алдаа гарлаа.";
    case Kind::unsupportedAlgorithm:
        return "Дэмжигдэхгүй алгоритм.";
    case Kind::secureMessagingFailed:
        return "Secure messaging алдаа.";
    }
    return {};
}

const char* kindName(TokenError::Kind kind) {
    using Kind = TokenError::Kind;
    switch (kind) {
    case Kind::transmitFailed:
        return "transmitFailed";
    case Kind::pinVerifyFailed:
        return "pinVerifyFailed";
    case Kind::signFailed:
        return "signFailed";
    case Kind::unexpectedStatus:
        return "unexpectedStatus";
    case Kind::readerNotConnected:
        return "readerNotConnected";
    case Kind::cardNotFound:
        return "cardNotFound";
    case Kind::sessionFailed:
        return "sessionFailed";
    case Kind::invalidAPDU:
        return "invalidAPDU";
    case Kind::authFailed:
        return "authFailed";
    case Kind::pinBlocked:
        return "pinBlocked";
    case Kind::keyGenFailed:
        return "keyGenFailed";
    case Kind::certificateNotFound:
        return "certificateNotFound";
    case Kind::certificateImportFailed:
        return "certificateImportFailed";
    case Kind::unsupportedAlgorithm:
        return "unsupportedAlgorithm";
    case Kind::secureMessagingFailed:
        return "secureMessagingFailed";
    }
    return "unknown";
}

} // namespace SelvorTokenKit
