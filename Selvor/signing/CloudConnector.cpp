#include "signing/CloudConnector.hpp"

#include "api/APIError.hpp"
#include "api/Cancellation.hpp"
#include "api/models/DecodeError.hpp"
#include "signing/DownloadFile.hpp"
#include "signing/FileDigest.hpp"
#include "signing/UploadBody.hpp"

#include <SelvorTokenKit/Log.hpp>

#include <QNetworkReply>
#include <QPointer>

#include <QCoroNetworkReply>

#include <limits>
#include <memory>

namespace Selvor {
namespace {

// A listing is a few kilobytes; anything past this is not one.
constexpr qint64 listingBytes = qint64(16) << 20;

const SelvorTokenKit::Logger& logger() {
    static const SelvorTokenKit::Logger instance("mn.selvor.eid.desktop", "CloudConnector");
    return instance;
}

} // namespace

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
    auto finishing = finishWithin(*reply, listingBytes);
    if (!co_await finishing)
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
    abortOnCancel(reply, watched);
    auto receiving = receiveBody(*reply, into, std::numeric_limits<qint64>::max(), report, watched);
    co_await receiving;
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
    auto finishing = qCoro(reply.get()).waitForFinished();
    co_await finishing;
    throwIfNoAnswer(*reply, watched);
    const int status = statusOf(*reply);
    if (!succeeded(status))
        throw ProviderStatusError(status);
    co_return status == 200;
}

} // namespace Selvor
