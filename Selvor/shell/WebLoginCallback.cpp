#include "WebLoginCallback.hpp"

#include "session/AppState.hpp"
#include "shell/input/WebLoginIdentity.hpp"

#include <SelvorTokenKit/Log.hpp>

#include <optional>

namespace Selvor {
namespace {

const SelvorTokenKit::Logger& logger() {
    static const SelvorTokenKit::Logger instance("mn.selvor.eid.desktop", "SelvorApp");
    return instance;
}

} // namespace

bool handleWebLoginCallback(const QString& url, AppState& appState) {
    const std::optional<WebLoginIdentity> login = readWebLoginCallback(url);
    if (!login)
        return false;
    // Its values stay out of the log: whoever sent it chose them.
    if (!appState.isWebSignInPending()) {
        logger().info("web-login callback ignored: no web sign-in from this window is waiting");
        return false;
    }
    appState.completeSignIn(login->nationalID, login->fullName);
    appState.notePhoneAnswer();
    return true;
}

} // namespace Selvor
