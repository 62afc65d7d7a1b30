#include "SelvorApp.hpp"

#include "SingleInstance.hpp"
#include "WebLoginCallback.hpp"
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
    // Once the window has drawn, so that the check never slows the start.
    QTimer::singleShot(automaticCheckDelay, &m_updater, [this] { m_updater.checkAutomatically(); });
    connect(&instance, &SingleInstance::messageReceived, this, &SelvorApp::open);
}

SelvorApp::~SelvorApp() {
    APIClient::shared().abortAll();
    CloudConnector::abortAll();
    ConsentRunner::closeAll();
}

void SelvorApp::open(const QString& message) {
    handleWebLoginCallback(message, m_appState);
    if (!m_window)
        return;
    m_window->show();
    m_window->raise();
    m_window->requestActivate();
}

} // namespace Selvor
