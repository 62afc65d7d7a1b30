#pragma once

#include <QNetworkReply>

#include <exception>
#include <string>

namespace Selvor {

// The exchange never produced an HTTP answer: no connection, TLS failure, a timeout. Carries
// Qt's own code and description, shown to the user unchanged.
class TransportError : public std::exception {
public:
    TransportError(QNetworkReply::NetworkError code, std::string description)
        : m_code(code), m_description(std::move(description)) {}

    [[nodiscard]] QNetworkReply::NetworkError code() const { return m_code; }
    [[nodiscard]] std::string errorDescription() const { return m_description; }
    [[nodiscard]] const char* what() const noexcept override { return m_description.c_str(); }

private:
    QNetworkReply::NetworkError m_code;
    std::string m_description;
};

} // namespace Selvor
