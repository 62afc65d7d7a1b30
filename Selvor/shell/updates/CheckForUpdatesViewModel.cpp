#include "shell/updates/CheckForUpdatesViewModel.hpp"

#include "shell/updates/Updater.hpp"

namespace Selvor {

CheckForUpdatesViewModel::CheckForUpdatesViewModel(QObject* parent) : QObject(parent) {}

void CheckForUpdatesViewModel::setUpdater(Updater* updater) {
    if (m_updater == updater)
        return;
    if (m_updater)
        disconnect(m_updater, nullptr, this, nullptr);
    m_updater = updater;
    if (updater)
        connect(updater, &Updater::canCheckForUpdatesChanged, this,
                &CheckForUpdatesViewModel::mirror);
    emit updaterChanged();
    mirror();
}

void CheckForUpdatesViewModel::checkForUpdates() {
    if (m_updater && m_canCheckForUpdates)
        m_updater->checkForUpdates();
}

void CheckForUpdatesViewModel::mirror() {
    const bool can = m_updater && m_updater->canCheckForUpdates();
    if (can == m_canCheckForUpdates)
        return;
    m_canCheckForUpdates = can;
    emit canCheckForUpdatesChanged();
}

} // namespace Selvor
