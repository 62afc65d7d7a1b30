#pragma once

#include <QNetworkReply>
#include <QPointer>

#include <QCoroTask>

#include <functional>
#include <memory>
#include <stdexcept>

namespace Selvor {

class Cancellation;
class DownloadFile;

// A server answered a transfer with a status outside 200-299; what() reads "HTTP " + status.
class ProviderStatusError : public std::runtime_error {
public:
    explicit ProviderStatusError(int status);
};

// A body grew past what its request allows; the transfer was ended there.
class BodyTooLargeError : public std::runtime_error {
public:
    BodyTooLargeError();
};

// Bytes moved so far, and the whole size (-1 while unknown).
using TransferProgress = std::function<void(qint64 done, qint64 total)>;

struct DeleteLater {
    void operator()(QObject* object) const { object->deleteLater(); }
};
using Reply = std::unique_ptr<QNetworkReply, DeleteLater>;

[[nodiscard]] int statusOf(const QNetworkReply& reply);
// A status in 200-299.
[[nodiscard]] bool succeeded(int status);

// Aborts the reply when the caller cancels; queued, so the caller never resumes inside cancel().
void abortOnCancel(const Reply& reply, Cancellation* cancellation);

// Throws TransportError for a finished exchange that produced no HTTP answer, CancelledError
// when the caller cancelled it.
void throwIfNoAnswer(const QNetworkReply& reply, const QPointer<Cancellation>& cancellation);

// Waits for the reply to finish; false when its body grew past `limit` (or was announced so),
// in which case it was aborted there rather than read to the end.
QCoro::Task<bool> finishWithin(QNetworkReply& reply, qint64 limit);

// Streams the reply's body into `into` as it arrives, at most `limit` bytes (BodyTooLargeError
// beyond). ProviderStatusError for an answer outside 200-299, whose body is never written; the
// errors of throwIfNoAnswer when no answer came.
QCoro::Task<> receiveBody(QNetworkReply& reply, DownloadFile& into, qint64 limit,
                          const TransferProgress& progress,
                          const QPointer<Cancellation>& cancellation);

} // namespace Selvor
