#pragma once

#include <QString>

#include <optional>

namespace Selvor {

class AppState;

// The person named by a web-login callback "selvorlogin://auth?national_id=...&name=...".
struct WebLogin {
    QString nationalID;
    QString fullName;
};

// Reads a callback URL: scheme exactly "selvorlogin", host exactly "auth" (the path is not
// examined), a non-empty "national_id"; "name" may be absent. When an item repeats, the last
// one counts. Anything else, and anything hostile (over-long text, control characters, text
// that is not a URL), gives nothing. The name loses format controls and is cut at 200
// characters.
[[nodiscard]] std::optional<WebLogin> parseWebLoginCallback(const QString& url);

// Signs the named person in while a web sign-in from this window is pending (see
// AppState::beginWebSignIn); returns whether the URL was acted on.
bool handleWebLoginCallback(const QString& url, AppState& appState);

} // namespace Selvor
