#include "signing/ProviderOrigins.hpp"

#include <QtGlobal>

namespace Selvor {
namespace {

void override(QString& origin, const char* variable) {
    QString value = qEnvironmentVariable(variable);
    while (value.endsWith(u'/'))
        value.chop(1);
    if (!value.isEmpty())
        origin = value;
}

} // namespace

ProviderOrigins ProviderOrigins::fromEnvironment() {
    ProviderOrigins origins;
    override(origins.googleAPI, "SELVOR_GOOGLE_API_BASE");
    override(origins.dropboxAPI, "SELVOR_DROPBOX_API_BASE");
    override(origins.dropboxContent, "SELVOR_DROPBOX_CONTENT_BASE");
    return origins;
}

} // namespace Selvor
