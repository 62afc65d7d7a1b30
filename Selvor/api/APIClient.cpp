#include "api/APIClient.hpp"

#include "api/Cancellation.hpp"
#include "api/CancelledError.hpp"
#include "api/TransportError.hpp"
#include "api/models/ErrorResponse.hpp"

#include <SelvorTokenKit/Log.hpp>

#include <QCoreApplication>
#include <QNetworkReply>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <QCoroNetworkReply>

#include <algorithm>
#include <memory>
#include <optional>

namespace Selvor {
namespace {

using SelvorTokenKit::logPrivate;

const SelvorTokenKit::Logger& logger() {
    static const SelvorTokenKit::Logger instance("mn.selvor.eid.desktop", "APIClient");
    return instance;
}

// A "." or ".." segment, however escaped: the request would go to another path.
bool hasDotSegment(const QUrl& url) {
    const QStringList segments = url.path(QUrl::FullyEncoded).split(u'/');
    return std::any_of(segments.begin(), segments.end(), [](const QString& segment) {
        const QString decoded = QUrl::fromPercentEncoding(segment.toLatin1());
        return decoded == u"." || decoded == u"..";
    });
}

// Base URL and path as one URL with the endpoint's query, or nothing when they do not form an
// http(s) URL with a host, when the base itself carries a query or fragment (the path would
// land inside it), or when a dot segment would redirect the request.
std::optional<QUrl> requestURL(const QString& baseURL, const Endpoint& endpoint) {
    QUrl url(baseURL + endpoint.path(), QUrl::StrictMode);
    const bool http = url.scheme() == u"https" || url.scheme() == u"http";
    if (!url.isValid() || !http || url.host().isEmpty() || url.hasQuery() || url.hasFragment() ||
        hasDotSegment(url))
        return std::nullopt;
    QStringList pairs;
    for (const auto& [name, value] : endpoint.queryItems())
        pairs << QString::fromLatin1(QUrl::toPercentEncoding(name) + '=' +
                                     QUrl::toPercentEncoding(value));
    if (!pairs.isEmpty())
        url.setQuery(pairs.join(u'&'), QUrl::StrictMode);
    if (!url.isValid())
        return std::nullopt;
    return url;
}

// Failures below the HTTP layer (connection, TLS, redirects). Qt also reports 4xx and 5xx
// answers as errors, in the content, protocol and server ranges; those are HTTP answers.
bool isTransportFailure(QNetworkReply::NetworkError error) {
    return error >= QNetworkReply::ConnectionRefusedError &&
           error <= QNetworkReply::UnknownNetworkError;
}

struct DeleteLater {
    void operator()(QObject* object) const { object->deleteLater(); }
};

} // namespace

APIClient& APIClient::shared() {
    static APIClient* const instance = new APIClient(configuredBaseURL());
    return *instance;
}

QString APIClient::configuredBaseURL() {
    return qEnvironmentVariableIsSet("API_BASE_URL") ? qEnvironmentVariable("API_BASE_URL")
                                                     : defaultBaseURL();
}

APIClient::APIClient(QString baseURL, Limits limits)
    : m_baseURL(std::move(baseURL)), m_limits(limits) {}

QCoro::Task<APIClient::Answer> APIClient::exchange(const Endpoint& endpoint,
                                                   Cancellation* cancellation) {
    const QPointer<Cancellation> watched(cancellation);
    if (watched)
        watched->throwIfCancelled();
    const auto url = requestURL(m_baseURL, endpoint);
    if (!url)
        throw APIError::invalidResponse();
    const std::optional<QByteArray> body = endpoint.body();
    const bool hasBody = body && !body->isEmpty();
    const QByteArray method = endpoint.method();
    const std::string path = endpoint.path().toStdString();

    QNetworkRequest request(*url);
    request.setTransferTimeout(static_cast<int>(m_limits.idle.count()));
    if (hasBody)
        request.setHeader(QNetworkRequest::ContentTypeHeader,
                          QByteArrayLiteral("application/json"));
    request.setRawHeader("Accept", "application/json");
    request.setRawHeader("User-Agent", "Selvor-Desktop/1.0");

    logger().info("→ %s %s", logPrivate(method.toStdString()), logPrivate(path));
    const std::unique_ptr<QNetworkReply, DeleteLater> reply(
        hasBody ? m_network.sendCustomRequest(request, method, *body)
                : m_network.sendCustomRequest(request, method));

    // Ends the connections below with this frame: the reply is only deleted later, and calls Qt
    // has already queued for it may still arrive.
    const QObject listeners;
    bool timedOut = false;
    QTimer wholeExchange;
    wholeExchange.setSingleShot(true);
    QObject::connect(&wholeExchange, &QTimer::timeout, &listeners, [&timedOut, &reply] {
        timedOut = true;
        reply->abort();
    });
    wholeExchange.start(m_limits.total);
    // Cut off as soon as the announced length or the bytes so far pass the limit.
    bool tooLarge = false;
    const auto limitSize = [&tooLarge, &reply, limit = m_limits.answerBytes](qint64 received,
                                                                             qint64 total) {
        if (received <= limit && total <= limit)
            return;
        tooLarge = true;
        reply->abort();
    };
    QObject::connect(
        reply.get(), &QNetworkReply::metaDataChanged, &listeners, [&limitSize, &reply] {
            limitSize(0, reply->header(QNetworkRequest::ContentLengthHeader).toLongLong());
        });
    QObject::connect(reply.get(), &QNetworkReply::downloadProgress, &listeners, limitSize);
    // Queued, so that whoever cancels never sees the request's continuation run inside cancel().
    if (watched)
        QObject::connect(watched, &Cancellation::cancelled, reply.get(), &QNetworkReply::abort,
                         Qt::QueuedConnection);

    auto finishing = qCoro(reply.get()).waitForFinished();
    co_await finishing;
    wholeExchange.stop();

    if (watched && watched->isCancelled())
        throw CancelledError();
    if (tooLarge) {
        logger().error("answer over %ld bytes cut off: %s", static_cast<long>(m_limits.answerBytes),
                       logPrivate(path));
        throw APIError::invalidResponse();
    }
    const QNetworkReply::NetworkError error = reply->error();
    // Qt ends an idle transfer as a cancelled one; nobody else aborts this reply.
    if (timedOut || error == QNetworkReply::OperationCanceledError)
        throw TransportError(QNetworkReply::TimeoutError, "Operation timed out");
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (isTransportFailure(error) || (!status.isValid() && error != QNetworkReply::NoError))
        throw TransportError(error, reply->errorString().toStdString());
    if (!status.isValid())
        throw APIError::invalidResponse();

    Answer answer{status.toInt(), reply->readAll()};
    logger().info("← %ld %s", static_cast<long>(answer.status), logPrivate(path));
    co_return answer;
}

APIClient::~APIClient() {
    abortAll();
}

void APIClient::abortAll() {
    const QList<QNetworkReply*> replies = m_network.findChildren<QNetworkReply*>();
    for (QNetworkReply* reply : replies)
        reply->abort();
    // QCoro resumes a coroutine awaiting a reply through a call queued on that reply. Delivered
    // here, every exchange has ended when this returns: no event loop runs after the application's
    // last call, and the replies this client's destructor deletes would take the calls with them,
    // leaving their coroutines suspended for good.
    for (QNetworkReply* reply : replies)
        QCoreApplication::sendPostedEvents(reply, QEvent::MetaCall);
}

APIError APIClient::failureOf(const Answer& answer) {
    try {
        const auto body = decodeJson<ErrorResponse>(std::string_view(
            answer.body.constData(), static_cast<std::size_t>(answer.body.size())));
        return APIError::serverError(body.code, body.error);
    } catch (const DecodeError&) {
        return APIError::serverError(answer.status, "Unknown error");
    }
}

void APIClient::logDecodeFailure(const DecodeError& error) {
    logger().error("Decode алдаа: %s", logPrivate(std::string(error.what())));
}

} // namespace Selvor
