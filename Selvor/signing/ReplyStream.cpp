#include "signing/ReplyStream.hpp"

#include "api/Cancellation.hpp"
#include "api/CancelledError.hpp"
#include "api/TransportError.hpp"
#include "signing/DownloadFile.hpp"

#include <QCoroNetworkReply>

#include <chrono>

namespace Selvor {
namespace {

constexpr qint64 chunkBytes = qint64(1) << 20;

bool isTransportFailure(QNetworkReply::NetworkError error) {
    return error >= QNetworkReply::ConnectionRefusedError &&
           error <= QNetworkReply::UnknownNetworkError;
}

} // namespace

ProviderStatusError::ProviderStatusError(int status)
    : std::runtime_error("HTTP " + std::to_string(status)) {}

BodyTooLargeError::BodyTooLargeError() : std::runtime_error("body larger than allowed") {}

int statusOf(const QNetworkReply& reply) {
    return reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

bool succeeded(int status) {
    return status >= 200 && status <= 299;
}

void abortOnCancel(const Reply& reply, Cancellation* cancellation) {
    if (cancellation)
        QObject::connect(cancellation, &Cancellation::cancelled, reply.get(), &QNetworkReply::abort,
                         Qt::QueuedConnection);
}

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

QCoro::Task<bool> finishWithin(QNetworkReply& reply, qint64 limit) {
    bool tooLarge = false;
    const QObject listeners; // ends the connection below with this frame, before the reply
    QObject::connect(&reply, &QNetworkReply::downloadProgress, &listeners,
                     [&tooLarge, &reply, limit](qint64 received, qint64 whole) {
                         if (received > limit || whole > limit) {
                             tooLarge = true;
                             reply.abort();
                         }
                     });
    auto finishing = qCoro(&reply).waitForFinished();
    co_await finishing;
    co_return !tooLarge;
}

QCoro::Task<> receiveBody(QNetworkReply& reply, DownloadFile& into, qint64 limit,
                          const TransferProgress& progress,
                          const QPointer<Cancellation>& cancellation) {
    const TransferProgress report = progress;
    const QPointer<Cancellation> watched = cancellation;
    // Bounded, so that a disk slower than the network holds the sender back instead of memory.
    reply.setReadBufferSize(chunkBytes);
    qint64 total = -1;
    const QObject listeners; // ends the connection below with this frame, before the reply
    QObject::connect(&reply, &QNetworkReply::downloadProgress, &listeners,
                     [&total](qint64, qint64 whole) { total = whole; });
    for (;;) {
        if (reply.bytesAvailable() == 0) {
            if (reply.isFinished())
                break;
            auto waiting = qCoro(&reply).waitForReadyRead(std::chrono::milliseconds(-1));
            co_await waiting;
            continue;
        }
        const int status = statusOf(reply);
        if (status != 0 && !succeeded(status)) {
            reply.abort();
            throw ProviderStatusError(status);
        }
        const QByteArray chunk = reply.read(chunkBytes);
        if (into.size() + chunk.size() > limit) {
            reply.abort();
            throw BodyTooLargeError();
        }
        auto writing = into.append(chunk);
        co_await writing;
        if (report)
            report(into.size(), total);
    }
    throwIfNoAnswer(reply, watched);
    if (!succeeded(statusOf(reply)))
        throw ProviderStatusError(statusOf(reply));
}

} // namespace Selvor
