#pragma once

#include "api/APIError.hpp"
#include "api/Cancellation.hpp"
#include "api/Endpoint.hpp"
#include "api/models/JsonCoding.hpp"
#include "concurrency/WorkerThread.hpp"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QString>

#include <QCoroFuture>
#include <QCoroTask>

#include <chrono>
#include <memory>

namespace Selvor {

// Limits of one exchange: no bytes for `idle`, or longer than `total` in all, ends it with a
// TransportError; an answer announced or grown past `answerBytes` is cut off as an invalid
// response, so that no server can fill the memory (four times the largest real dashboard).
struct APIClientLimits {
    std::chrono::milliseconds idle{std::chrono::seconds(30)};
    std::chrono::milliseconds total{std::chrono::seconds(120)};
    qint64 answerBytes = qint64(64) << 20;
};

// The one client of the service's JSON API: builds, sends, logs and decodes every request.
// Lives on the main thread; any number of requests may be in flight. Answers are decoded on a
// thread of its own, one after another.
class APIClient {
public:
    using Limits = APIClientLimits;

    // Created on first use from API_BASE_URL (read once) or the default origin; never released.
    static APIClient& shared();
    static QString defaultBaseURL() { return QStringLiteral("https://api.selvor.mn"); }
    // API_BASE_URL as the environment holds it now, or the default origin.
    static QString configuredBaseURL();

    explicit APIClient(QString baseURL, Limits limits = {});
    // Ends the exchanges still in flight first, so that every request awaiting one finishes.
    ~APIClient();
    APIClient(const APIClient&) = delete;
    APIClient& operator=(const APIClient&) = delete;

    [[nodiscard]] const QString& baseURL() const { return m_baseURL; }

    // Ends every exchange in flight as a transport failure, at once: the application quits
    // while the objects awaiting them still exist.
    void abortAll();

    // Sends the endpoint and decodes a success body as T. Throws APIError (serverError,
    // invalidResponse), TransportError or CancelledError.
    template <typename T>
    QCoro::Task<T> request(const Endpoint& asked, Cancellation* cancellation = nullptr) {
        const Endpoint endpoint = asked;
        const QPointer<Cancellation> watched(cancellation);
        auto exchanging = exchange(endpoint, cancellation);
        const Answer answer = co_await exchanging;
        if (answer.status >= 400) {
            auto describing = m_decoder.run([answer] { return failureOf(answer); });
            const APIError failure = co_await describing;
            throw failure;
        }
        // Decoding a large answer (a long login history) takes a noticeable time, which the
        // window must not wait out. The value travels back in a shared_ptr so that it is moved,
        // not copied, to the caller.
        auto decoding = m_decoder.run([body = answer.body] {
            return std::make_shared<T>(
                decodeJson<T>(std::string_view(body.constData(), body.size())));
        });
        try {
            const std::shared_ptr<T> value = co_await decoding;
            // Whoever cancelled while the answer was decoded has moved on.
            if (watched)
                watched->throwIfCancelled();
            co_return std::move(*value);
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
    // The serverError an answer of status 400 or above stands for.
    static APIError failureOf(const Answer& answer);
    static void logDecodeFailure(const DecodeError& error);

    QString m_baseURL;
    Limits m_limits;
    QNetworkAccessManager m_network;
    // Declared last: its destructor waits for a decode under way while the rest still exists.
    WorkerThread m_decoder;
};

} // namespace Selvor
