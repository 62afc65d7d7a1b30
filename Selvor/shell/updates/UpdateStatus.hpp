#pragma once

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqmlregistration.h>

namespace Selvor {

class Updater;

// What the foot of the sidebar shows about updates, for the whole run: whether one is known, and
// when the user last checked from there. That time is the one value kept across restarts.
class UpdateStatus : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns its update status")
    Q_PROPERTY(bool updateAvailable READ updateAvailable NOTIFY updateAvailableChanged)
    Q_PROPERTY(QString lastCheckDate READ lastCheckDate NOTIFY lastCheckDateChanged)
    Q_PROPERTY(QString appVersion READ appVersion CONSTANT)

public:
    // Reads the stored time of the last check. Without an updater, a check only records its time.
    explicit UpdateStatus(Updater* updater, QObject* parent = nullptr);

    [[nodiscard]] bool updateAvailable() const { return m_updateAvailable; }
    // "MM/dd HH:mm" in local time; empty before the first check.
    [[nodiscard]] QString lastCheckDate() const { return m_lastCheckDate; }
    [[nodiscard]] static QString appVersion();

    // Starts a check the user sees through, and records when.
    Q_INVOKABLE void checkForUpdates();
    void recordCheck(const QDateTime& localTime);

signals:
    void updateAvailableChanged();
    void lastCheckDateChanged();

private:
    void markUpdateAvailable();

    QPointer<Updater> m_updater;
    bool m_updateAvailable = false;
    QString m_lastCheckDate;
};

} // namespace Selvor
