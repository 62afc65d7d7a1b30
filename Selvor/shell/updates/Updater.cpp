#include "shell/updates/Updater.hpp"

#include "api/Cancellation.hpp"
#include "api/CancelledError.hpp"
#include "api/ErrorText.hpp"
#include "api/TransportError.hpp"
#include "concurrency/WorkerThread.hpp"
#include "shell/updates/AppVersion.hpp"
#include "shell/updates/Appcast.hpp"
#include "shell/updates/UpdateSignature.hpp"
#include "signing/DownloadFile.hpp"
#include "signing/ReplyStream.hpp"
#include "signing/TransferAmount.hpp"

#include <SelvorTokenKit/Log.hpp>

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QStandardPaths>

#include <QCoroFuture>

namespace Selvor {
namespace {

// A feed is a few kilobytes; anything past this is not one.
constexpr qint64 feedBytes = qint64(4) << 20;
// A package is tens of megabytes; a feed announcing more is not believed.
constexpr qint64 packageBytes = qint64(1) << 30;

const QString defaultFeed = QStringLiteral("https://selvor.mn/desktop/appcast.xml");
const QString stampName = QStringLiteral("last-check");

QString stampPath(const UpdaterSettings& settings) {
    return settings.folder + QLatin1Char('/') + stampName;
}

const SelvorTokenKit::Logger& logger() {
    static const SelvorTokenKit::Logger instance("mn.selvor.eid.desktop", "Updater");
    return instance;
}

const QString unreadableFeed = QStringLiteral("Шинэчлэлтийн мэдээллийг уншиж чадсангүй.");

QString verdictText(UpdateFileVerdict verdict) {
    switch (verdict) {
    case UpdateFileVerdict::WrongLength:
        return QStringLiteral("Татсан файлын хэмжээ зарласантай таарахгүй байна. Файлыг устгалаа.");
    case UpdateFileVerdict::BadSignature:
        return QStringLiteral("Татсан файлын гарын үсэг баталгаажсангүй. Файлыг устгалаа.");
    case UpdateFileVerdict::Unreadable:
    case UpdateFileVerdict::Verified:
        break;
    }
    return QStringLiteral("Татсан файлыг уншиж чадсангүй. Файлыг устгалаа.");
}

// Thrown by the download when its file fails the check; carries the user's text.
class RefusedPackage : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Why a check or download failed, in the user's words; `tooLarge` for a body past its bound.
QString reasonOf(const std::exception_ptr& failure, const QString& tooLarge) {
    try {
        std::rethrow_exception(failure);
    } catch (const RefusedPackage& error) {
        return QString::fromUtf8(error.what());
    } catch (const AppcastError& error) {
        logger().error("update feed unreadable: %s", error.what());
        return unreadableFeed;
    } catch (const BodyTooLargeError&) {
        return tooLarge;
    } catch (const ProviderStatusError& error) {
        return QStringLiteral("Шинэчлэлтийн сервер алдаа буцаалаа (%1).")
            .arg(QString::fromUtf8(error.what()));
    } catch (const TransportError& error) {
        return QStringLiteral("Шинэчлэлтийн сервертэй холбогдож чадсангүй: %1")
            .arg(QString::fromStdString(error.errorDescription()));
    } catch (...) {
        return errorText(std::current_exception());
    }
}

} // namespace

UpdaterSettings UpdaterSettings::fromEnvironment() {
    return {.feed = QUrl(qEnvironmentVariableIsSet("SELVOR_UPDATE_FEED")
                             ? qEnvironmentVariable("SELVOR_UPDATE_FEED")
                             : defaultFeed),
            .publicKey = trustedUpdateKey(),
            .currentVersion = applicationVersion(),
            .folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
                      QStringLiteral("/updates")};
}

Updater::Updater(UpdaterSettings settings, QObject* parent)
    : QObject(parent), m_settings(std::move(settings)), m_worker(std::make_unique<WorkerThread>()) {
}

Updater::~Updater() {
    if (m_run)
        m_run->cancel();
    for (QNetworkReply* reply : network().findChildren<QNetworkReply*>())
        reply->abort();
}

QNetworkAccessManager& Updater::network() {
    // Lives as long as the process, so that a flow finishing after its updater still has it.
    static QNetworkAccessManager* const session = new QNetworkAccessManager;
    return *session;
}

QString Updater::foundVersion() const {
    return m_found ? m_found->shortVersion : QString();
}

QString Updater::releaseNotes() const {
    return m_found ? m_found->releaseNotes : QString();
}

QUrl Updater::releaseNotesLink() const {
    return m_found ? m_found->releaseNotesLink : QUrl();
}

QString Updater::progressText() const {
    return transferText(m_received, m_found ? m_found->length : 0);
}

double Updater::progressFraction() const {
    return transferFraction(m_received, m_found ? m_found->length : 0);
}

void Updater::checkForUpdates() {
    if (m_run) {
        // An automatic check under way now reports to the user; anything else is already shown.
        if (m_phase == Phase::Idle && !m_userStarted) {
            m_userStarted = true;
            setPhase(Phase::Checking);
        }
        return;
    }
    m_userStarted = true;
    runCheck();
}

bool Updater::checkAutomatically(const QDateTime& now) {
    QFile stamp(stampPath(m_settings));
    if (stamp.open(QIODevice::ReadOnly)) {
        const QDateTime last =
            QDateTime::fromString(QString::fromLatin1(stamp.read(64)), Qt::ISODate);
        // A stamp from the future means the clock moved back: check rather than wait for it.
        if (last.isValid() && last <= now && last.secsTo(now) < 24 * 60 * 60)
            return false;
    }
    if (m_run)
        return false;
    m_userStarted = false;
    stampCheck(now);
    runCheck();
    return true;
}

void Updater::stampCheck(const QDateTime& now) {
    QFile stamp(stampPath(m_settings));
    if (!QDir().mkpath(m_settings.folder) ||
        !stamp.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        stamp.write(now.toUTC().toString(Qt::ISODate).toLatin1()) < 0)
        logger().error("cannot record the update check in %s", qPrintable(m_settings.folder));
}

void Updater::downloadUpdate() {
    if ((m_phase != Phase::UpdateAvailable && m_phase != Phase::DownloadFailed) || m_run ||
        !m_found)
        return;
    runDownload(*m_found);
}

void Updater::cancel() {
    if (!m_run)
        return;
    const Phase back = m_phase == Phase::Downloading ? Phase::UpdateAvailable : Phase::Idle;
    endRun();
    setPhase(back);
}

void Updater::installUpdate() {
    if (m_phase != Phase::ReadyToInstall)
        return;
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(m_packagePath))) {
        setPhase(Phase::Idle);
        return;
    }
    setPhase(Phase::ReadyToInstall,
             QStringLiteral("Суулгагчийг нээж чадсангүй. Файлыг гараар суулгана уу: %1")
                 .arg(m_packagePath));
}

void Updater::dismiss() {
    endRun();
    m_userStarted = false;
    setPhase(Phase::Idle);
}

QCoro::Task<> Updater::runCheck() {
    const QPointer self(this);
    startRun();
    const std::shared_ptr<Cancellation> run = m_run;
    if (m_userStarted) {
        stampCheck(QDateTime::currentDateTimeUtc());
        setPhase(Phase::Checking);
    }
    std::optional<AppcastItem> found;
    QString failure;
    try {
        auto fetching = fetchFeed(run.get());
        const QByteArray feed = co_await fetching;
        found = newestUpdate(parseAppcast(feed), m_settings.currentVersion);
    } catch (...) {
        failure = reasonOf(std::current_exception(), unreadableFeed);
    }
    if (!self || run->isCancelled())
        co_return;
    endRun();
    if (found) {
        m_found = found;
        emit updateFound();
    }
    if (!m_userStarted)
        co_return;
    if (!failure.isEmpty())
        setPhase(Phase::CheckFailed, failure);
    else
        setPhase(found ? Phase::UpdateAvailable : Phase::UpToDate);
}

QCoro::Task<QByteArray> Updater::fetchFeed(Cancellation* cancellation) {
    const QPointer<Cancellation> watched(cancellation);
    QNetworkRequest request(m_settings.feed);
    request.setTransferTimeout(static_cast<int>(m_settings.idleLimit.count()));
    const Reply reply(network().get(request));
    abortOnCancel(reply, watched);
    auto finishing = finishWithin(*reply, feedBytes);
    if (!co_await finishing)
        throw BodyTooLargeError();
    throwIfNoAnswer(*reply, watched);
    if (const int status = statusOf(*reply); !succeeded(status))
        throw ProviderStatusError(status);
    co_return reply->readAll();
}

QCoro::Task<> Updater::runDownload(const AppcastItem& offered) {
    const AppcastItem item = offered;
    const QPointer self(this);
    startRun();
    const std::shared_ptr<Cancellation> run = m_run;
    setReceived(0);
    setPhase(Phase::Downloading);
    QString package;
    QString failure;
    try {
        auto downloading = verifiedPackage(item, run.get());
        package = co_await downloading;
    } catch (...) {
        failure = reasonOf(std::current_exception(), verdictText(UpdateFileVerdict::WrongLength));
    }
    if (!self || run->isCancelled())
        co_return;
    endRun();
    if (!failure.isEmpty()) {
        setPhase(Phase::DownloadFailed, failure);
        co_return;
    }
    m_packagePath = package;
    setPhase(Phase::ReadyToInstall);
}

QCoro::Task<QString> Updater::verifiedPackage(const AppcastItem& offered,
                                              Cancellation* cancellation) {
    const AppcastItem item = offered;
    const QPointer<Cancellation> watched(cancellation);
    const QString folder = m_settings.folder;
    const QByteArray key = m_settings.publicKey;
    if (item.length > packageBytes)
        throw RefusedPackage("Шинэчлэлтийн файл хэт том байна.");
    if (!QDir().mkpath(folder))
        throw RefusedPackage(QStringLiteral("Шинэчлэлтийг хадгалах хавтас үүсгэж чадсангүй: %1")
                                 .arg(folder)
                                 .toStdString());
    DownloadFile file(folder);
    QNetworkRequest request(item.enclosureUrl);
    request.setTransferTimeout(static_cast<int>(m_settings.idleLimit.count()));
    const Reply reply(network().get(request));
    abortOnCancel(reply, watched);
    const QPointer self(this);
    auto receiving = receiveBody(
        *reply, file, item.length,
        [self](qint64 done, qint64) {
            if (self)
                self->setReceived(done);
        },
        watched);
    co_await receiving;
    auto finishing = file.finish();
    co_await finishing;
    if (!self || (watched && watched->isCancelled()))
        throw CancelledError();
    const QString path = file.path();
    auto checking = m_worker->run(
        [path, item, key] { return checkUpdateFile(path, item.length, item.edSignature, key); });
    const UpdateFileVerdict verdict = co_await checking;
    if (verdict != UpdateFileVerdict::Verified) {
        logger().error("update %s refused: verdict %d", qPrintable(item.version), int(verdict));
        throw RefusedPackage(verdictText(verdict).toStdString());
    }
    // Named by the checked version, never by the server's file name.
    const QString kept = folder + QStringLiteral("/selvor_%1_amd64.deb").arg(item.version);
    QFile::remove(kept);
    if (!file.keepAs(kept))
        throw RefusedPackage(
            QStringLiteral("Шинэчлэлтийг хадгалж чадсангүй: %1").arg(kept).toStdString());
    co_return kept;
}

void Updater::startRun() {
    m_run = std::make_shared<Cancellation>();
    emit canCheckForUpdatesChanged();
}

void Updater::endRun() {
    if (!m_run)
        return;
    m_run->cancel();
    m_run.reset();
    emit canCheckForUpdatesChanged();
}

void Updater::setPhase(Phase phase, const QString& errorText) {
    m_phase = phase;
    m_errorText = errorText;
    if (phase == Phase::Idle)
        m_userStarted = false;
    emit phaseChanged();
    emit progressChanged();
}

void Updater::setReceived(qint64 received) {
    if (m_received == received)
        return;
    m_received = received;
    emit progressChanged();
}

} // namespace Selvor
