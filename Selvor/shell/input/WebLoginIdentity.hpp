#pragma once

#include <QString>

#include <optional>

namespace Selvor {

// The person named by a web-login callback "selvorlogin://auth?national_id=...&name=...".
struct WebLoginIdentity {
    QString nationalID;
    QString fullName;
};

// Reads a callback URL: scheme exactly "selvorlogin", host exactly "auth" (the path is not
// examined), a non-empty "national_id"; "name" may be absent. When an item repeats, the last
// one counts. Anything else, and anything hostile (text over 4096 characters, control
// characters, text that is not a URL), gives nothing. The name loses format controls and is
// cut at 200 characters.
[[nodiscard]] std::optional<WebLoginIdentity> readWebLoginCallback(const QString& url);

} // namespace Selvor
