#pragma once

#include "api/models/JsonCoding.hpp"

#include <optional>
#include <string>
#include <vector>

// The service's answers about cloud storage links, and the Google Drive listing.
namespace Selvor {

struct CloudConnectionInfo {
    std::string provider;
    std::optional<std::string> providerEmail;

    static constexpr auto fields() {
        return std::tuple{field("provider", &CloudConnectionInfo::provider),
                          field("providerEmail", &CloudConnectionInfo::providerEmail)};
    }
};

struct CloudConnectionsResponse {
    std::vector<CloudConnectionInfo> connections;

    static constexpr auto fields() {
        return std::tuple{field("connections", &CloudConnectionsResponse::connections)};
    }
};

struct CloudAuthURLResponse {
    std::string url;

    static constexpr auto fields() { return std::tuple{field("url", &CloudAuthURLResponse::url)}; }
};

struct CloudCallbackResponse {
    bool connected = false;

    static constexpr auto fields() {
        return std::tuple{field("connected", &CloudCallbackResponse::connected)};
    }
};

struct CloudTokenResponse {
    std::string accessToken;

    static constexpr auto fields() {
        return std::tuple{field("accessToken", &CloudTokenResponse::accessToken)};
    }
};

struct GoogleDriveFile {
    std::string id;
    std::string name;

    static constexpr KeyStyle keyStyle = KeyStyle::exact;
    static constexpr auto fields() {
        return std::tuple{field("id", &GoogleDriveFile::id), field("name", &GoogleDriveFile::name)};
    }
};

// Read from the provider with its own key names, not the service's.
struct GoogleDriveFiles {
    std::vector<GoogleDriveFile> files;

    static constexpr KeyStyle keyStyle = KeyStyle::exact;
    static constexpr auto fields() { return std::tuple{field("files", &GoogleDriveFiles::files)}; }
};

} // namespace Selvor
