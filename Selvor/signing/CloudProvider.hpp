#pragma once

#include <QString>

#include <optional>

namespace Selvor {

// A storage provider the user can link; the enum stands for its id in the service's paths.
enum class CloudProvider { google, dropbox };

// "google" or "dropbox", as the service's paths and the views name them.
QString pathId(CloudProvider provider);
// The id the service's connection list uses for the provider.
QString connectionId(CloudProvider provider);
QString displayName(CloudProvider provider);
std::optional<CloudProvider> cloudProviderFromPathId(const QString& id);

} // namespace Selvor
