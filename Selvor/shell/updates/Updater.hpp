#pragma once

#include "shell/updates/AppcastItem.hpp"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

#include <QCoroTask>

#include <chrono>
#include <memory>
#include <optional>

class QNetworkAccessManager;

namespace Selvor {

class Cancellation;
class WorkerThread;

// Where the updater looks and what it trusts.
struct UpdaterSettings {
    QUrl feed;
    QByteArray publicKey;
    QString currentVersion;
    // Holds the downloads and the time of the last check.
    QString folder;
    // An answer that sends no byte for this long has failed.
    std::chrono::milliseconds idleLimit{std::chrono::minutes(1)};

    // SELVOR_UPDATE_FEED or the built-in feed; the build's key and version; the user's cache.
    static UpdaterSettings fromEnvironment();
};

// The application's one updater. It reads the update feed and compares it with this build,
// downloads an update and checks its length and signature, and hands only a verified package to
// the desktop's installer. A check the user starts ends in a dialog, driven by `phase`; the
// automatic one only reports updateFound().
class Updater : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns its updater")
    Q_PROPERTY(bool canCheckForUpdates READ canCheckForUpdates NOTIFY canCheckForUpdatesChanged)
    Q_PROPERTY(Phase phase READ phase NOTIFY phaseChanged)
    Q_PROPERTY(QString currentVersion READ currentVersion CONSTANT)
    Q_PROPERTY(QString foundVersion READ foundVersion NOTIFY phaseChanged)
    Q_PROPERTY(QString releaseNotes READ releaseNotes NOTIFY phaseChanged)
    Q_PROPERTY(QUrl releaseNotesLink READ releaseNotesLink NOTIFY phaseChanged)
    Q_PROPERTY(QString errorText READ errorText NOTIFY phaseChanged)
    Q_PROPERTY(QString progressText READ progressText NOTIFY progressChanged)
    Q_PROPERTY(double progressFraction READ progressFraction NOTIFY progressChanged)
    Q_PROPERTY(QString packagePath READ packagePath NOTIFY phaseChanged)

public:
    enum class Phase {
        Idle,
        Checking,
        UpdateAvailable,
        UpToDate,
        CheckFailed,
        Downloading,
        ReadyToInstall,
        DownloadFailed,
    };
    Q_ENUM(Phase)

    explicit Updater(UpdaterSettings settings = UpdaterSettings::fromEnvironment(),
                     QObject* parent = nullptr);
    // Ends a check or download under way; its flow stops without touching this object.
    ~Updater() override;
    Updater(const Updater&) = delete;
    Updater& operator=(const Updater&) = delete;

    // False while a check or a download runs.
    [[nodiscard]] bool canCheckForUpdates() const { return !m_run; }
    [[nodiscard]] Phase phase() const { return m_phase; }
    [[nodiscard]] QString currentVersion() const { return m_settings.currentVersion; }
    [[nodiscard]] QString foundVersion() const;
    [[nodiscard]] QString releaseNotes() const;
    [[nodiscard]] QUrl releaseNotesLink() const;
    [[nodiscard]] QString errorText() const { return m_errorText; }
    // How much of the download has arrived.
    [[nodiscard]] QString progressText() const;
    [[nodiscard]] double progressFraction() const;
    [[nodiscard]] QString packagePath() const { return m_packagePath; }

    // A check that ends in the dialog. While an automatic check runs, it becomes this one.
    Q_INVOKABLE void checkForUpdates();
    // Checks quietly unless a check started within the day before `now`; true when it started.
    bool checkAutomatically(const QDateTime& now = QDateTime::currentDateTimeUtc());
    Q_INVOKABLE void downloadUpdate();
    // Stops a check (back to idle) or a download (back to the offer).
    Q_INVOKABLE void cancel();
    // Opens the verified package with the desktop's handler for it.
    Q_INVOKABLE void installUpdate();
    // Closes whatever the dialog shows; a running check or download is cancelled.
    Q_INVOKABLE void dismiss();

signals:
    void canCheckForUpdatesChanged();
    void phaseChanged();
    // The download moved on, or another one is shown.
    void progressChanged();
    // A newer version is known, from either kind of check.
    void updateFound();

private:
    QCoro::Task<> runCheck();
    QCoro::Task<> runDownload(const AppcastItem& item);
    QCoro::Task<QByteArray> fetchFeed(Cancellation* cancellation);
    QCoro::Task<QString> verifiedPackage(const AppcastItem& item, Cancellation* cancellation);
    void stampCheck(const QDateTime& now);
    void startRun();
    void endRun();
    void setPhase(Phase phase, const QString& errorText = {});
    void setReceived(qint64 received);

    static QNetworkAccessManager& network();

    UpdaterSettings m_settings;
    Phase m_phase = Phase::Idle;
    bool m_userStarted = false;
    std::optional<AppcastItem> m_found;
    QString m_errorText;
    qint64 m_received = 0;
    QString m_packagePath;
    std::shared_ptr<Cancellation> m_run;
    // Declared last: its destructor waits for a check of the file under way.
    std::unique_ptr<WorkerThread> m_worker;
};

} // namespace Selvor
