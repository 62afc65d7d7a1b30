#include "signing/CloudSignViewModel.hpp"

#include "api/APIClient.hpp"
#include "api/Cancellation.hpp"
#include "api/CancelledError.hpp"
#include "api/ErrorText.hpp"
#include "signing/CloudLinks.hpp"
#include "signing/FileCopy.hpp"
#include "signing/PhoneConfirmation.hpp"
#include "signing/TransferAmount.hpp"

#include <QCoroFuture>
#include <QFileInfo>
#include <QWindow>

namespace Selvor {
namespace {

const QString signedPrefix = QStringLiteral("signed_");

void cancel(const std::shared_ptr<Cancellation>& cancellation) {
    if (cancellation)
        cancellation->cancel();
}

} // namespace

CloudSignViewModel::CloudSignViewModel(QObject* parent) : QObject(parent) {}

APIClient& CloudSignViewModel::client() const {
    return m_client ? *m_client : APIClient::shared();
}

CloudSignViewModel::~CloudSignViewModel() {
    cancel(m_connectionsLoad);
    cancel(m_run);
    if (m_transferEndsWithScreen)
        cancel(m_transfer);
}

void CloudSignViewModel::setAppState(AppState* appState) {
    if (appState == m_appState)
        return;
    m_appState = appState;
    emit changed();
}

QString CloudSignViewModel::hashLine() const {
    const QString hash = fileHash();
    return hash.isEmpty() ? QString() : hash.left(32) + QStringLiteral("...") + hash.right(16);
}

QString CloudSignViewModel::transferText() const {
    return Selvor::transferText(m_transferDone, m_transferTotal);
}

double CloudSignViewModel::transferFraction() const {
    return Selvor::transferFraction(m_transferDone, m_transferTotal);
}

QString CloudSignViewModel::cloudDialogTitle() const {
    return m_offer ? displayName(m_offer->provider) + QStringLiteral(" файлууд") : QString();
}

QStringList CloudSignViewModel::cloudFileNames() const {
    QStringList names;
    if (m_offer) {
        for (const CloudFile& file : m_offer->files)
            names << file.name;
    }
    return names;
}

void CloudSignViewModel::setErrorMessage(const QString& message) {
    m_errorMessage = message;
    emit changed();
}

void CloudSignViewModel::loadFile(std::shared_ptr<const LoadedFile> file) {
    // The phone approved (or will approve) the file the run was started for, not this one.
    cancel(m_run);
    m_run.reset();
    m_file = std::move(file);
    m_signResult.clear();
    m_errorMessage.clear();
    emit changed();
}

std::shared_ptr<Cancellation> CloudSignViewModel::beginTransfer(const QString& title,
                                                                bool endsWithScreen) {
    if (m_transfer)
        return nullptr;
    m_transfer = std::make_shared<Cancellation>();
    m_transferEndsWithScreen = endsWithScreen;
    m_transferTitle = title;
    m_transferDone = 0;
    m_transferTotal = -1;
    emit changed();
    emit transferProgressChanged();
    return m_transfer;
}

void CloudSignViewModel::reportTransfer(const Cancellation* transfer, qint64 done, qint64 total) {
    if (m_transfer.get() != transfer)
        return;
    // One repaint per percent is plenty; a large upload reports thousands of steps.
    const auto percent = [](qint64 part, qint64 whole) {
        return whole > 0 ? part * 100 / whole : part >> 20;
    };
    const bool visible = total != m_transferTotal ||
                         percent(done, total) != percent(m_transferDone, m_transferTotal);
    m_transferDone = done;
    m_transferTotal = total;
    if (visible)
        emit transferProgressChanged();
}

void CloudSignViewModel::endTransfer(const Cancellation* transfer) {
    if (m_transfer.get() != transfer)
        return;
    m_transfer.reset();
    m_transferTitle.clear();
    emit changed();
}

bool CloudSignViewModel::settleTransfer(const Cancellation& transfer, const QString& failure) {
    if (transfer.isCancelled())
        return false;
    endTransfer(&transfer);
    if (failure.isEmpty())
        return true;
    setErrorMessage(failure);
    return false;
}

TransferProgress CloudSignViewModel::progressOf(const std::shared_ptr<Cancellation>& transfer) {
    return [self = QPointer(this), transfer = std::weak_ptr(transfer)](qint64 done, qint64 total) {
        if (const auto running = transfer.lock(); self && running)
            self->reportTransfer(running.get(), done, total);
    };
}

void CloudSignViewModel::cancelTransfer() {
    cancel(m_transfer);
    if (m_transfer)
        endTransfer(m_transfer.get());
}

void CloudSignViewModel::loadConnections() {
    fetchConnectionFlags();
}

QCoro::Task<> CloudSignViewModel::fetchConnectionFlags() {
    const QPointer self(this);
    APIClient& api = client();
    cancel(m_connectionsLoad);
    const auto load = std::make_shared<Cancellation>();
    m_connectionsLoad = load;
    std::vector<CloudConnectionInfo> connections;
    try {
        auto asking = fetchConnections(api, load.get());
        connections = co_await asking;
    } catch (const std::exception&) {
        // Providers simply show as not linked.
        co_return;
    }
    if (!self || load->isCancelled())
        co_return;
    // Links are only ever added here: one removed on the service stays shown until the screen
    // is made again.
    for (const CloudConnectionInfo& link : connections) {
        const QString email = QString::fromStdString(link.providerEmail.value_or(""));
        if (link.provider == connectionId(CloudProvider::google).toStdString()) {
            m_googleConnected = true;
            m_googleEmail = email;
        } else if (link.provider == connectionId(CloudProvider::dropbox).toStdString()) {
            m_dropboxConnected = true;
            m_dropboxEmail = email;
        }
    }
    emit changed();
}

void CloudSignViewModel::pressProvider(const QString& provider, QWindow* window) {
    const std::optional<CloudProvider> chosen = cloudProviderFromPathId(provider);
    if (!chosen)
        return;
    const bool linked = *chosen == CloudProvider::google ? m_googleConnected : m_dropboxConnected;
    if (linked)
        listFiles(*chosen);
    else if (!m_isLinking)
        connectProvider(*chosen, window);
}

QCoro::Task<> CloudSignViewModel::connectProvider(CloudProvider provider, QWindow* window) {
    const QPointer self(this);
    APIClient& api = client();
    const QPointer<QWindow> parent(window);
    const ConsentRunner consent = m_consent;
    m_isLinking = true;
    emit changed();
    QString url;
    try {
        auto asking = fetchAuthURL(api, provider);
        url = co_await asking;
    } catch (const std::exception&) {
        if (self) {
            m_isLinking = false;
            setErrorMessage(errorText(std::current_exception()));
        }
        co_return;
    }
    auto consenting = consent.runConsent(url, displayName(provider), self ? parent : nullptr);
    const std::optional<QString> code = co_await consenting;
    if (self) {
        m_isLinking = false;
        emit changed();
    }
    if (!code)
        co_return;
    // The person has consented: the link is made even if the screen has gone meanwhile.
    try {
        auto linking = completeLink(api, provider, *code);
        co_await linking;
    } catch (const std::exception&) {
        co_return;
    }
    if (self)
        loadConnections();
}

QCoro::Task<> CloudSignViewModel::listFiles(CloudProvider provider) {
    const QPointer self(this);
    APIClient& api = client();
    QString token;
    std::vector<CloudFile> files;
    try {
        auto asking = fetchAccessToken(api, provider);
        token = co_await asking;
        const CloudConnector connector;
        auto listing = connector.listProviderFiles(provider, token);
        files = co_await listing;
    } catch (const std::exception&) {
        if (self)
            setErrorMessage(errorText(std::current_exception()));
        co_return;
    }
    if (!self)
        co_return;
    m_offer = Offer{provider, token, std::move(files)};
    emit changed();
    emit cloudFilesOffered();
}

void CloudSignViewModel::chooseCloudFile(int index) {
    if (!m_offer || index < 0 || std::size_t(index) >= m_offer->files.size())
        return;
    downloadFile(m_offer->provider, m_offer->token, m_offer->files[std::size_t(index)]);
}

QCoro::Task<> CloudSignViewModel::downloadFile(CloudProvider provider, const QString& token,
                                               const CloudFile& file) {
    const QPointer self(this);
    const CloudFile chosen = file;
    const std::shared_ptr<Cancellation> transfer =
        beginTransfer(QStringLiteral("Татаж байна…"), true);
    if (!transfer)
        co_return;
    const CloudConnector connector;
    auto fetching = std::make_shared<LoadedFile>(LoadedFile{chosen.name, {}, {}, {}});
    QString failure;
    try {
        fetching->download = std::make_shared<DownloadFile>();
        fetching->path = fetching->download->path();
        auto downloading = connector.downloadProviderFile(
            provider, token, chosen, *fetching->download, progressOf(transfer), transfer.get());
        co_await downloading;
        auto finishing = fetching->download->finish();
        fetching->hash = co_await finishing;
    } catch (const CancelledError&) {
    } catch (const std::exception&) {
        failure = QStringLiteral("Файл татах алдаа: ") + errorText(std::current_exception());
    }
    if (self && settleTransfer(*transfer, failure))
        loadFile(std::move(fetching));
}

void CloudSignViewModel::chooseFile(const QUrl& file) {
    const QString path = file.toLocalFile();
    if (!path.isEmpty())
        hashLocalFile(path);
}

QCoro::Task<> CloudSignViewModel::hashLocalFile(const QString& path) {
    const QPointer self(this);
    const QString chosen = path;
    const std::shared_ptr<Cancellation> transfer =
        beginTransfer(QStringLiteral("Файл уншиж байна…"), true);
    if (!transfer)
        co_return;
    QString hash;
    QString failure;
    try {
        auto hashing = m_hasher.sha256Hex(chosen);
        hash = co_await hashing;
    } catch (const std::exception&) {
        failure = QStringLiteral("Файл уншиx алдаа: ") + errorText(std::current_exception());
    }
    if (self && settleTransfer(*transfer, failure))
        loadFile(std::make_shared<LoadedFile>(
            LoadedFile{QFileInfo(chosen).fileName(), hash, chosen, {}}));
}

void CloudSignViewModel::requestSignature() {
    if (canSign())
        confirm();
}

QCoro::Task<> CloudSignViewModel::confirm() {
    const QPointer self(this);
    APIClient& api = client();
    const auto run = std::make_shared<Cancellation>();
    m_run = run;
    m_errorMessage.clear();
    m_signResult.clear();
    emit changed();
    const QString nationalID = m_appState ? m_appState->nationalID() : QString();
    std::optional<PhoneAnswer> answer;
    QString failure;
    try {
        auto asking = confirmOnPhone(api, nationalID, fileName() + QStringLiteral(" гарын үсэг"),
                                     m_timing, run.get());
        answer = co_await asking;
    } catch (const CancelledError&) {
    } catch (const std::exception&) {
        failure = errorText(std::current_exception());
    }
    // Ended by another file or by the screen going: the answer belongs to nobody.
    if (!self || run->isCancelled())
        co_return;
    m_run.reset();
    if ((answer == PhoneAnswer::approved || answer == PhoneAnswer::refused) && m_appState)
        m_appState->notePhoneAnswer();
    if (answer == PhoneAnswer::approved)
        m_signResult = QStringLiteral("OK");
    else if (answer == PhoneAnswer::refused)
        m_errorMessage = QStringLiteral("Татгалзлаа");
    else if (answer == PhoneAnswer::expired)
        m_errorMessage = QStringLiteral("Хугацаа дууслаа");
    else
        m_errorMessage = failure;
    emit changed();
}

void CloudSignViewModel::saveLocally(const QUrl& target) {
    const QString path = target.toLocalFile();
    if (m_file && !path.isEmpty())
        copyTo(path);
}

QCoro::Task<> CloudSignViewModel::copyTo(const QString& target) {
    const QPointer self(this);
    const QString destination = target;
    const std::shared_ptr<const LoadedFile> file = m_file;
    const std::shared_ptr<Cancellation> transfer =
        beginTransfer(QStringLiteral("Хадгалж байна…"), false);
    if (!transfer)
        co_return;
    std::stop_source stop;
    QObject::connect(transfer.get(), &Cancellation::cancelled,
                     [stop]() mutable { stop.request_stop(); });
    QString failure;
    try {
        auto copying = m_copier.run([file, destination, token = stop.get_token()] {
            copyFile(file->path, destination, token);
        });
        co_await copying;
    } catch (const std::exception&) {
        failure = errorText(std::current_exception());
    }
    if (self)
        settleTransfer(*transfer, failure);
}

void CloudSignViewModel::uploadSigned(const QString& provider) {
    const std::optional<CloudProvider> chosen = cloudProviderFromPathId(provider);
    if (m_file && chosen)
        upload(*chosen);
}

QCoro::Task<> CloudSignViewModel::upload(CloudProvider provider) {
    const QPointer self(this);
    APIClient& api = client();
    const std::shared_ptr<const LoadedFile> file = m_file;
    const std::shared_ptr<Cancellation> transfer =
        beginTransfer(QStringLiteral("Илгээж байна…"), false);
    if (!transfer)
        co_return;
    const CloudConnector connector;
    bool stored = false;
    QString failure;
    try {
        auto asking = fetchAccessToken(api, provider);
        const QString token = co_await asking;
        auto sending =
            connector.uploadProviderFile(provider, token, signedPrefix + file->name, file->path,
                                         progressOf(transfer), transfer.get());
        stored = co_await sending;
    } catch (const CancelledError&) {
    } catch (const std::exception&) {
        failure = QStringLiteral("Cloud хадгалах алдаа: ") + errorText(std::current_exception());
    }
    if (self && settleTransfer(*transfer, failure) && stored && provider == CloudProvider::google)
        setErrorMessage({});
}

} // namespace Selvor
