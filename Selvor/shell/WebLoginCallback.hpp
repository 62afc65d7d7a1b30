#pragma once

#include <QString>

namespace Selvor {

class AppState;

// Signs the person a web-login callback names in (see readWebLoginCallback) while a web sign-in
// from this window is pending (see AppState::beginWebSignIn); returns whether the URL was acted
// on.
bool handleWebLoginCallback(const QString& url, AppState& appState);

} // namespace Selvor
