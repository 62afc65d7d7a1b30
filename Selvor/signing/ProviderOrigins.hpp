#pragma once

#include <QString>

namespace Selvor {

// Where the providers' APIs live: their public hosts, or any other origin (the simulator's)
// named in SELVOR_GOOGLE_API_BASE, SELVOR_DROPBOX_API_BASE and SELVOR_DROPBOX_CONTENT_BASE.
struct ProviderOrigins {
    QString googleAPI = QStringLiteral("https://www.googleapis.com");
    QString dropboxAPI = QStringLiteral("https://api.dropboxapi.com");
    QString dropboxContent = QStringLiteral("https://content.dropboxapi.com");

    static ProviderOrigins fromEnvironment();
};

} // namespace Selvor
