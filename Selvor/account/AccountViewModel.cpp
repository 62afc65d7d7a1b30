#include "account/AccountViewModel.hpp"

namespace Selvor {

AccountViewModel::AccountViewModel(QObject* parent) : QObject(parent) {}

void AccountViewModel::setAppState(AppState* appState) {
    if (m_appState == appState)
        return;
    if (m_appState)
        disconnect(m_appState, nullptr, this, nullptr);
    m_appState = appState;
    if (m_appState) {
        connect(m_appState, &AppState::dashboardDataChanged, this, &AccountViewModel::update);
        connect(m_appState, &AppState::fullNameChanged, this, &AccountViewModel::update);
        connect(m_appState, &AppState::kycLevelChanged, this, &AccountViewModel::update);
        connect(m_appState, &QObject::destroyed, this, &AccountViewModel::update);
    }
    update();
    emit appStateChanged();
}

const DashboardData* AccountViewModel::dashboard() const {
    return m_appState ? m_appState->dashboardData() : nullptr;
}

void AccountViewModel::update() {
    refresh();
    emit changed();
}

} // namespace Selvor
