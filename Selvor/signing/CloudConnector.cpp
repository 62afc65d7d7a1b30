#include "signing/CloudConnector.hpp"

#include "api/APIError.hpp"
#include "api/Cancellation.hpp"
#include "api/CancelledError.hpp"
#include "api/TransportError.hpp"
#include "api/models/DecodeError.hpp"
#include "signing/DownloadFile.hpp"
#include "signing/FileDigest.hpp"
#include "signing/UploadBody.hpp"

#include <SelvorTokenKit/Log.hpp>

#include <QNetworkReply>
#include <QPointer>

#include <QCoroNetworkReply>

#include <chrono>
#include <memory>

namespace Selvor {
namespace {

// A listing is a few kilobytes; anything past this is not one.
constexpr qint64 listingBytes = qint64(16) << 20;
constexpr qint64 chunkBytes = qint64(1) << 20;

const SelvorTokenKit::Logger& logger() {
    static const SelvorTokenKit::Logger instance("mn.selvor.eid.desktop", "CloudConnector");
    return instance;
}

struct DeleteLater {
    void operator()(QObject* object) const { object->deleteLater(); }
};
using Reply = std::unique_ptr<QNetworkReply, DeleteLater>;

bool isTransportFailure(QNetworkReply::NetworkError error) {
    return error >= QNetworkReply::ConnectionRefusedError &&
           error <= QNetworkReply::UnknownNetworkError;
}

int statusOf(const QNetworkReply& reply) {
    return reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

bool succeeded(int status) {
    return status >= 200 && status <= 299;
}

// Aborts the reply when the caller cancels; queued, so the caller never resumes inside cancel().
void abortOnCancel(const Reply& reply, Cancellation* cancellation) {
    if (cancellation)
        QObject::connect(cancellation, &Cancellation::cancelled, reply.get(), &QNetworkReply::abort,
                         Qt::QueuedConnection);
}

// Throws for a finished exchange that produced no HTTP answer, or that the caller cancelled.
void throwIfNoAnswer(const QNetworkReply& reply, const QPointer<Cancellation>& cancellation) {
    if (cancellation && cancellation->isCancelled())
        throw CancelledError();
    const QNetworkReply::NetworkError error = reply.error();
    if (error == QNetworkReply::OperationCanceledError)
        throw TransportError(QNetworkReply::TimeoutError, "Operation timed out");
    const bool answered = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
    if (isTransportFailure(error) || !answered)
        throw TransportError(error, reply.errorString().toStdString());
}

} // namespace

ProviderStatusError::ProviderStatusError(int status)
    : std::runtime_error("HTTP " + std::to_string(status)) {}

CloudConnector::CloudConnector(ProviderOrigins origins) : m_requests(std::move(origins)) {}

QNetworkAccessManager& CloudConnector::network() {
    // Lives as long as the process, like the service's client: requests may outlive a screen.
    static QNetworkAccessManager* const session = new QNetworkAccessManager;
    return *session;
}

void CloudConnector::abortAll() {
    for (QNetworkReply* reply : network().findChildren<QNetworkReply*>())
        reply->abort();
}

QCoro::Task<std::vector<CloudFile>>
CloudConnector::listProviderFiles(CloudProvider provider, const QString& token,
                                  Cancellation* cancellation) const {
    const QPointer<Cancellation> watched(cancellation);
    const ProviderRequest list = m_requests.listing(provider, token);
    const Reply reply(network().sendCustomRequest(list.request, list.method, list.body));
    abortOnCancel(reply, watched);
    bool tooLarge = false;
    const QObject listeners; // ends the connections below with this frame, before the reply
    QObject::connect(reply.get(), &QNetworkReply::downloadProgress, &listeners,
                     [&tooLarge, raw = reply.get()](qint64 received, qint64 total) {
                         if (received > listingBytes || total > listingBytes) {
                             tooLarge = true;
                             raw->abort();
                         }
                     });
    co_await qCoro(reply.get()).waitForFinished();
    if (tooLarge)
        throw APIError::invalidResponse();
    throwIfNoAnswer(*reply, watched);
    // The body is read whatever the status: a provider's error object fails to decode, and
    // shows as the service's own text for an answer it cannot read.
    try {
        co_return ProviderRequests::readListing(provider, reply->readAll());
    } catch (const DecodeError& error) {
        logger().error("%s listing unreadable: %s", displayName(provider).toUtf8().constData(),
                       error.what());
    }
    throw APIError::invalidResponse();
}

QCoro::Task<> CloudConnector::downloadProviderFile(CloudProvider provider, const QString& token,
                                                   const CloudFile& file, DownloadFile& into,
                                                   const TransferProgress& progress,
                                                   Cancellation* cancellation) const {
    const QPointer<Cancellation> watched(cancellation);
    const TransferProgress report = progress;
    const ProviderRequest fetch = m_requests.download(provider, token, file);
    const Reply reply(fetch.body.isEmpty()
                          ? network().sendCustomRequest(fetch.request, fetch.method)
                          : network().sendCustomRequest(fetch.request, fetch.method, fetch.body));
    // Bounded, so that a disk slower than the network holds the sender back instead of memory.
    reply->setReadBufferSize(chunkBytes);
    abortOnCancel(reply, watched);
    qint64 total = -1;
    const QObject listeners; // ends the connection below with this frame, before the reply
    QObject::connect(reply.get(), &QNetworkReply::downloadProgress, &listeners,
                     [&total](qint64, qint64 whole) { total = whole; });
    for (;;) {
        if (reply->bytesAvailable() == 0) {
            if (reply->isFinished())
                break;
            auto waiting = qCoro(reply.get()).waitForReadyRead(std::chrono::milliseconds(-1));
            co_await waiting;
            continue;
        }
        const int status = statusOf(*reply);
        if (status != 0 && !succeeded(status)) {
            reply->abort();
            throw ProviderStatusError(status);
        }
        const QByteArray chunk = reply->read(chunkBytes);
        auto writing = into.append(chunk);
        co_await writing;
        if (report)
            report(into.size(), total);
    }
    throwIfNoAnswer(*reply, watched);
    if (!succeeded(statusOf(*reply)))
        throw ProviderStatusError(statusOf(*reply));
}

QCoro::Task<bool> CloudConnector::uploadProviderFile(CloudProvider provider, const QString& token,
                                                     const QString& name, const QString& path,
                                                     const TransferProgress& progress,
                                                     Cancellation* cancellation) const {
    const QPointer<Cancellation> watched(cancellation);
    const TransferProgress report = progress;
    const ProviderUpload upload =
        m_requests.upload(provider, token, name, ProviderRequests::newBoundary());
    auto body = std::make_unique<UploadBody>(upload.head, path, upload.tail);
    if (!body->open(QIODevice::ReadOnly))
        throw FileReadError(body->errorString().toStdString());
    QNetworkRequest request = upload.request;
    request.setHeader(QNetworkRequest::ContentLengthHeader, body->size());
    const Reply reply(network().post(request, body.get()));
    body.release()->setParent(reply.get());
    abortOnCancel(reply, watched);
    if (report)
        QObject::connect(reply.get(), &QNetworkReply::uploadProgress, reply.get(),
                         [report](qint64 sent, qint64 whole) {
                             // Qt ends an upload with a (0, 0) step, which is no progress.
                             if (whole > 0)
                                 report(sent, whole);
                         });
    co_await qCoro(reply.get()).waitForFinished();
    throwIfNoAnswer(*reply, watched);
    const int status = statusOf(*reply);
    if (!succeeded(status))
        throw ProviderStatusError(status);
    co_return status == 200;
}

} // namespace Selvor
