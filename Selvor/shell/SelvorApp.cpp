#include "SelvorApp.hpp"

#include "SingleInstance.hpp"
#include "Theme.hpp"
#include "WebLoginCallback.hpp"
#include "X11Activation.hpp"
#include "api/APIClient.hpp"
#include "shell/Application.hpp"
#include "signing/CloudConnector.hpp"
#include "signing/ConsentRunner.hpp"

#include <QQuickWindow>
#include <QTimer>

#include <chrono>

namespace Selvor {
namespace {

constexpr std::chrono::seconds automaticCheckDelay{3};

} // namespace

SelvorApp::SelvorApp(SingleInstance& instance, QObject* parent) : QObject(parent) {
    m_window = loadMainWindow(m_engine, {m_appState, m_tokenManager, m_updater, m_updateStatus});
    // Before the first frame, so that a dark desktop never sees the window light.
    auto* theme = m_engine.singletonInstance<Theme*>(qmlTypeId("Selvor", 1, 0, "Theme"));
    if (theme) {
        theme->setDesktopScheme(m_colorScheme.scheme());
        connect(&m_colorScheme, &PortalColorScheme::schemeChanged, theme,
                [this, theme] { theme->setDesktopScheme(m_colorScheme.scheme()); });
    }
    connect(&m_appState, &AppState::phoneAnswered, this, [this] {
        if (m_window && !m_window->isActive())
            m_window->alert(0);
    });
    // Once the window has drawn, so that the check never slows the start.
    QTimer::singleShot(automaticCheckDelay, &m_updater, [this] { m_updater.checkAutomatically(); });
    connect(&instance, &SingleInstance::messageReceived, this, &SelvorApp::open);
}

SelvorApp::~SelvorApp() {
    APIClient::shared().abortAll();
    CloudConnector::abortAll();
    ConsentRunner::closeAll();
}

void SelvorApp::open(const QString& message, const InstanceMessage::Activation& activation) {
    handleWebLoginCallback(message, m_appState);
    if (!m_window)
        return;
    activation.lendTo([this] {
        m_window->show();
        m_window->raise();
        m_window->requestActivate();
    });
    // Wayland reads its token as Qt asks; on X11 the user's time has to travel by hand.
    if (activation.variable == "DESKTOP_STARTUP_ID")
        activateForStartupId(*m_window, activation.token);
}

} // namespace Selvor
