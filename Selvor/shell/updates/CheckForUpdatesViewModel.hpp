#pragma once

#include <QObject>
#include <QPointer>
#include <QtQml/qqmlregistration.h>

namespace Selvor {

class Updater;

// The menu command's state: mirrors whether the updater can start a check, from the moment it
// is handed the updater.
class CheckForUpdatesViewModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(Updater* updater READ updater WRITE setUpdater NOTIFY updaterChanged)
    Q_PROPERTY(bool canCheckForUpdates READ canCheckForUpdates NOTIFY canCheckForUpdatesChanged)

public:
    explicit CheckForUpdatesViewModel(QObject* parent = nullptr);

    [[nodiscard]] Updater* updater() const { return m_updater; }
    void setUpdater(Updater* updater);
    [[nodiscard]] bool canCheckForUpdates() const { return m_canCheckForUpdates; }

    Q_INVOKABLE void checkForUpdates();

signals:
    void updaterChanged();
    void canCheckForUpdatesChanged();

private:
    void mirror();

    QPointer<Updater> m_updater;
    bool m_canCheckForUpdates = false;
};

} // namespace Selvor
