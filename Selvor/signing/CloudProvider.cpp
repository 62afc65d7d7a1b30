#include "signing/CloudProvider.hpp"

namespace Selvor {

QString pathId(CloudProvider provider) {
    return provider == CloudProvider::google ? QStringLiteral("google") : QStringLiteral("dropbox");
}

QString connectionId(CloudProvider provider) {
    return provider == CloudProvider::google ? QStringLiteral("google_drive")
                                             : QStringLiteral("dropbox");
}

QString displayName(CloudProvider provider) {
    return provider == CloudProvider::google ? QStringLiteral("Google Drive")
                                             : QStringLiteral("Dropbox");
}

std::optional<CloudProvider> cloudProviderFromPathId(const QString& id) {
    if (id == u"google")
        return CloudProvider::google;
    if (id == u"dropbox")
        return CloudProvider::dropbox;
    return std::nullopt;
}

} // namespace Selvor
