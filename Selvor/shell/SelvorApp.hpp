#pragma once

#include "session/AppState.hpp"
#include "shell/PortalColorScheme.hpp"
#include "shell/input/InstanceMessage.hpp"
#include "shell/updates/UpdateStatus.hpp"
#include "shell/updates/Updater.hpp"
#include "token/TokenManager.hpp"

#include <QObject>
#include <QQmlApplicationEngine>
#include <QString>

class QQuickWindow;

namespace Selvor {

class SingleInstance;

// The running application: its one AppState, token manager, updater and update status for the
// whole run, the main window loaded on them, and the URLs opened into it, whether at start or
// handed over by a later start through the single-instance socket. A quiet update check follows
// the start, at most once a day. The window follows the desktop's light or dark preference, and
// asks for attention when the phone answers while it is not in front.
class SelvorApp : public QObject {
    Q_OBJECT

public:
    explicit SelvorApp(SingleInstance& instance, QObject* parent = nullptr);
    // Ends the requests still in flight first, so that no flow outlives the window it reports to.
    ~SelvorApp() override;
    SelvorApp(const SelvorApp&) = delete;
    SelvorApp& operator=(const SelvorApp&) = delete;

    // Null when the window did not load.
    [[nodiscard]] QQuickWindow* window() const { return m_window; }
    [[nodiscard]] AppState& appState() { return m_appState; }
    [[nodiscard]] TokenManager& tokenManager() { return m_tokenManager; }
    [[nodiscard]] Updater& updater() { return m_updater; }
    [[nodiscard]] QQmlEngine& engine() { return m_engine; }

    // A URL opened into the application (a web-login callback), or "activate" from a later start
    // without one; either way the window comes forward, on the later start's activation token
    // (see InstanceMessage::Activation::lendTo); without one the compositor may only mark the
    // window.
    void open(const QString& message, const InstanceMessage::Activation& activation = {});

private:
    AppState m_appState;
    // Watches for the token from start-up, so the sidebar shows it on every screen.
    TokenManager m_tokenManager;
    Updater m_updater;
    UpdateStatus m_updateStatus{&m_updater};
    PortalColorScheme m_colorScheme;
    // Declared last: the views go before the state they show.
    QQmlApplicationEngine m_engine;
    QQuickWindow* m_window = nullptr;
};

} // namespace Selvor
