#pragma once

#include "api/APIError.hpp"
#include "api/Endpoint.hpp"
#include "api/models/JsonCoding.hpp"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QString>

#include <QCoroTask>

#include <chrono>

namespace Selvor {

class Cancellation;

// Limits of one exchange: no bytes for `idle`, or longer than `total` in all, ends it with a
// TransportError.
struct APIClientTimeouts {
    std::chrono::milliseconds idle{std::chrono::seconds(30)};
    std::chrono::milliseconds total{std::chrono::seconds(120)};
};

// The one client of the service's JSON API: builds, sends, logs and decodes every request.
// Lives on the main thread; any number of requests may be in flight.
class APIClient {
public:
    using Timeouts = APIClientTimeouts;

    // Created on first use from API_BASE_URL (read once) or the default origin; never released.
    static APIClient& shared();
    static QString defaultBaseURL() { return QStringLiteral("https://api.selvor.mn"); }

    explicit APIClient(QString baseURL, Timeouts timeouts = {});
    APIClient(const APIClient&) = delete;
    APIClient& operator=(const APIClient&) = delete;

    [[nodiscard]] const QString& baseURL() const { return m_baseURL; }

    // Sends the endpoint and decodes a success body as T. Throws APIError (serverError,
    // invalidResponse), TransportError or CancelledError.
    template <typename T>
    QCoro::Task<T> request(Endpoint endpoint, Cancellation* cancellation = nullptr) {
        const Answer answer = co_await exchange(endpoint, cancellation);
        throwIfFailure(answer);
        try {
            co_return decodeJson<T>(std::string_view(answer.body.constData(), answer.body.size()));
        } catch (const DecodeError& error) {
            logDecodeFailure(error);
        }
        throw APIError::invalidResponse();
    }

private:
    struct Answer {
        int status = 0;
        QByteArray body;
    };

    QCoro::Task<Answer> exchange(const Endpoint& endpoint, Cancellation* cancellation);
    static void throwIfFailure(const Answer& answer);
    static void logDecodeFailure(const DecodeError& error);

    QString m_baseURL;
    Timeouts m_timeouts;
    QNetworkAccessManager m_network;
};

} // namespace Selvor
