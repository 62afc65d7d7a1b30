#pragma once

#include "signing/CloudFile.hpp"
#include "signing/CloudProvider.hpp"
#include "signing/ProviderRequests.hpp"
#include "signing/ReplyStream.hpp"

#include <QNetworkAccessManager>
#include <QString>

#include <QCoroTask>

#include <vector>

namespace Selvor {

class Cancellation;
class DownloadFile;

// Lists, fetches and stores files at Google Drive and Dropbox with an access token from the
// service. Requests go through one network session of their own, never through the service's
// client. Each operation throws TransportError, CancelledError, or the error its comment names.
class CloudConnector {
public:
    explicit CloudConnector(ProviderOrigins origins = ProviderOrigins::fromEnvironment());

    // At most one page of files, folders left out; APIError (invalid response) for a body that is
    // not a listing.
    QCoro::Task<std::vector<CloudFile>>
    listProviderFiles(CloudProvider provider, const QString& token,
                      Cancellation* cancellation = nullptr) const;
    // Streams the file's bytes into `into`; ProviderStatusError when the provider refuses, so
    // that its error body is never taken for the file; FileReadError when the disk fails.
    QCoro::Task<> downloadProviderFile(CloudProvider provider, const QString& token,
                                       const CloudFile& file, DownloadFile& into,
                                       const TransferProgress& progress,
                                       Cancellation* cancellation) const;
    // Streams the file at `path` to the provider under `name`; true when the answer was 200.
    // ProviderStatusError for an answer outside 200-299; FileReadError when the file is gone.
    QCoro::Task<bool> uploadProviderFile(CloudProvider provider, const QString& token,
                                         const QString& name, const QString& path,
                                         const TransferProgress& progress,
                                         Cancellation* cancellation) const;

    // Ends every provider request in flight, as the application quits.
    static void abortAll();

private:
    static QNetworkAccessManager& network();

    ProviderRequests m_requests;
};

} // namespace Selvor
