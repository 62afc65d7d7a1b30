#include "shell/updates/UpdateStatus.hpp"

#include "shell/updates/AppVersion.hpp"
#include "shell/updates/Updater.hpp"

#include <QSettings>

namespace Selvor {
namespace {

const QString lastCheckKey = QStringLiteral("lastUpdateCheck");

} // namespace

UpdateStatus::UpdateStatus(Updater* updater, QObject* parent)
    : QObject(parent), m_updater(updater),
      m_lastCheckDate(QSettings().value(lastCheckKey).toString()) {
    if (updater)
        connect(updater, &Updater::updateFound, this, &UpdateStatus::markUpdateAvailable);
}

QString UpdateStatus::appVersion() {
    return applicationVersion();
}

void UpdateStatus::checkForUpdates() {
    if (m_updater)
        m_updater->checkForUpdates();
    recordCheck(QDateTime::currentDateTime());
}

void UpdateStatus::recordCheck(const QDateTime& localTime) {
    m_lastCheckDate = localTime.toString(QStringLiteral("MM/dd HH:mm"));
    QSettings().setValue(lastCheckKey, m_lastCheckDate);
    emit lastCheckDateChanged();
}

void UpdateStatus::markUpdateAvailable() {
    if (m_updateAvailable)
        return;
    m_updateAvailable = true;
    emit updateAvailableChanged();
}

} // namespace Selvor
