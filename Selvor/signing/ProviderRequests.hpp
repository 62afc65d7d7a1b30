#pragma once

#include "signing/CloudFile.hpp"
#include "signing/CloudProvider.hpp"
#include "signing/ProviderOrigins.hpp"

#include <QByteArray>
#include <QNetworkRequest>

#include <vector>

namespace Selvor {

// A provider request as it goes on the wire; `body` is empty for none.
struct ProviderRequest {
    QByteArray method;
    QNetworkRequest request;
    QByteArray body;
};

// An upload: the file's bytes go between `head` and `tail`.
struct ProviderUpload {
    QNetworkRequest request;
    QByteArray head;
    QByteArray tail;
};

// Builds the providers' HTTP requests, and reads their listings. Every request carries the
// bearer token and nothing of the service's own headers.
class ProviderRequests {
public:
    explicit ProviderRequests(ProviderOrigins origins) : m_origins(std::move(origins)) {}

    [[nodiscard]] ProviderRequest listing(CloudProvider provider, const QString& token) const;
    [[nodiscard]] ProviderRequest download(CloudProvider provider, const QString& token,
                                           const CloudFile& file) const;
    // `boundary` separates the parts of Google Drive's multipart body; Dropbox ignores it.
    [[nodiscard]] ProviderUpload upload(CloudProvider provider, const QString& token,
                                        const QString& name, const QString& boundary) const;

    // Throw DecodeError for a body that is not a Google listing, or not JSON for Dropbox.
    static std::vector<CloudFile> readListing(CloudProvider provider, const QByteArray& body);

    // A fresh upper-case UUID, as the multipart boundary.
    static QString newBoundary();
    // A JSON string literal; with `asciiOnly` every other character becomes a \u escape, as an
    // HTTP header must carry ASCII.
    static QByteArray jsonString(const QString& text, bool asciiOnly);

private:
    [[nodiscard]] QNetworkRequest request(const QString& origin, const QString& pathAndQuery,
                                          const QString& token) const;

    ProviderOrigins m_origins;
};

} // namespace Selvor
