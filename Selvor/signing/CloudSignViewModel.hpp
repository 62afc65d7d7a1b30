#pragma once

#include "api/PollTiming.hpp"
#include "concurrency/WorkerThread.hpp"
#include "session/AppState.hpp"
#include "signing/CloudConnector.hpp"
#include "signing/ConsentRunner.hpp"
#include "signing/FileHasher.hpp"
#include "signing/LoadedFile.hpp"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <QWindow>
#include <QtQml/qqmlregistration.h>

#include <memory>
#include <optional>

namespace Selvor {

class APIClient;
class Cancellation;

// The cloud signing screen: link Google Drive or Dropbox, load a file from there or from disk,
// have the signing confirmed on the phone, and store a "signed_" copy holding exactly the
// loaded bytes. Files stay on disk: downloads stream into a private copy, hashing and copying
// run off the GUI thread, and one transfer at a time shows its progress and can be cancelled.
class CloudSignViewModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(Selvor::AppState* appState READ appState WRITE setAppState NOTIFY changed)
    Q_PROPERTY(QString fileName READ fileName NOTIFY changed)
    Q_PROPERTY(QString fileHash READ fileHash NOTIFY changed)
    // 32 digits, "..." and the last 16: the hash row as shown.
    Q_PROPERTY(QString hashLine READ hashLine NOTIFY changed)
    Q_PROPERTY(bool hasFile READ hasFile NOTIFY changed)
    Q_PROPERTY(bool isSigning READ isSigning NOTIFY changed)
    Q_PROPERTY(bool canSign READ canSign NOTIFY changed)
    Q_PROPERTY(QString errorMessage READ errorMessage NOTIFY changed)
    Q_PROPERTY(QString signResult READ signResult NOTIFY changed)
    Q_PROPERTY(bool googleConnected READ googleConnected NOTIFY changed)
    Q_PROPERTY(bool dropboxConnected READ dropboxConnected NOTIFY changed)
    Q_PROPERTY(QString googleEmail READ googleEmail NOTIFY changed)
    Q_PROPERTY(QString dropboxEmail READ dropboxEmail NOTIFY changed)
    // A consent window is open; the provider buttons wait for it.
    Q_PROPERTY(bool isLinking READ isLinking NOTIFY changed)
    // Empty while no file is being read, fetched, saved or sent.
    Q_PROPERTY(QString transferTitle READ transferTitle NOTIFY changed)
    Q_PROPERTY(bool isTransferring READ isTransferring NOTIFY changed)
    Q_PROPERTY(QString transferText READ transferText NOTIFY transferProgressChanged)
    // Between 0 and 1, or -1 while the whole size is unknown.
    Q_PROPERTY(double transferFraction READ transferFraction NOTIFY transferProgressChanged)
    Q_PROPERTY(QString cloudDialogTitle READ cloudDialogTitle NOTIFY changed)
    Q_PROPERTY(QStringList cloudFileNames READ cloudFileNames NOTIFY changed)

public:
    explicit CloudSignViewModel(QObject* parent = nullptr);
    ~CloudSignViewModel() override;

    // How often a confirmation asks for its outcome; tests shorten it.
    void setPollTiming(const PollTiming& timing) { m_timing = timing; }
    // The service is asked through the application's shared client unless another is named.
    void setClient(APIClient& client) { m_client = &client; }

    [[nodiscard]] AppState* appState() const { return m_appState; }
    void setAppState(AppState* appState);
    [[nodiscard]] QString fileName() const { return m_file ? m_file->name : QString(); }
    [[nodiscard]] QString fileHash() const { return m_file ? m_file->hash : QString(); }
    [[nodiscard]] QString hashLine() const;
    [[nodiscard]] bool hasFile() const { return m_file != nullptr; }
    [[nodiscard]] bool isSigning() const { return m_run != nullptr; }
    [[nodiscard]] bool canSign() const { return hasFile() && !isSigning(); }
    [[nodiscard]] QString errorMessage() const { return m_errorMessage; }
    [[nodiscard]] QString signResult() const { return m_signResult; }
    [[nodiscard]] bool googleConnected() const { return m_googleConnected; }
    [[nodiscard]] bool dropboxConnected() const { return m_dropboxConnected; }
    [[nodiscard]] QString googleEmail() const { return m_googleEmail; }
    [[nodiscard]] QString dropboxEmail() const { return m_dropboxEmail; }
    [[nodiscard]] bool isLinking() const { return m_isLinking; }
    [[nodiscard]] QString transferTitle() const { return m_transferTitle; }
    [[nodiscard]] bool isTransferring() const { return m_transfer != nullptr; }
    [[nodiscard]] QString transferText() const;
    [[nodiscard]] double transferFraction() const;
    [[nodiscard]] QString cloudDialogTitle() const;
    [[nodiscard]] QStringList cloudFileNames() const;

    // Reads which providers are linked; the screen calls it when it appears.
    Q_INVOKABLE void loadConnections();
    // Lists the provider's files when it is linked, else opens its consent window above `window`.
    Q_INVOKABLE void pressProvider(const QString& provider, QWindow* window);
    // The file at `index` of the offered list is fetched and loaded.
    Q_INVOKABLE void chooseCloudFile(int index);
    Q_INVOKABLE void chooseFile(const QUrl& file);
    Q_INVOKABLE void requestSignature();
    Q_INVOKABLE void saveLocally(const QUrl& target);
    Q_INVOKABLE void uploadSigned(const QString& provider);
    Q_INVOKABLE void cancelTransfer();

signals:
    void changed();
    void transferProgressChanged();
    // A provider's files are listed: the screen shows them to choose from.
    void cloudFilesOffered();

private:
    struct Offer {
        CloudProvider provider;
        QString token;
        std::vector<CloudFile> files;
    };

    QCoro::Task<> fetchConnectionFlags();
    QCoro::Task<> connectProvider(CloudProvider provider, QWindow* window);
    QCoro::Task<> listFiles(CloudProvider provider);
    QCoro::Task<> downloadFile(CloudProvider provider, const QString& token, const CloudFile& file);
    QCoro::Task<> hashLocalFile(const QString& path);
    QCoro::Task<> confirm();
    QCoro::Task<> copyTo(const QString& target);
    QCoro::Task<> upload(CloudProvider provider);

    [[nodiscard]] APIClient& client() const;
    // Shows a file; a confirmation still under way was for another one and ends unanswered.
    void loadFile(std::shared_ptr<const LoadedFile> file);
    void setErrorMessage(const QString& message);
    // Starts the one transfer; null while another runs.
    std::shared_ptr<Cancellation> beginTransfer(const QString& title, bool endsWithScreen);
    void reportTransfer(const Cancellation* transfer, qint64 done, qint64 total);
    void endTransfer(const Cancellation* transfer);
    // Ends a transfer that ran to its end: true when it succeeded, false (after showing the
    // failure) when it failed; false too when the user stopped it, which shows nothing.
    bool settleTransfer(const Cancellation& transfer, const QString& failure);
    [[nodiscard]] TransferProgress progressOf(const std::shared_ptr<Cancellation>& transfer);

    PollTiming m_timing;
    APIClient* m_client = nullptr;
    ConsentRunner m_consent;
    QPointer<AppState> m_appState;
    std::shared_ptr<const LoadedFile> m_file;
    QString m_errorMessage;
    QString m_signResult;
    bool m_googleConnected = false;
    bool m_dropboxConnected = false;
    QString m_googleEmail;
    QString m_dropboxEmail;
    bool m_isLinking = false;
    std::optional<Offer> m_offer;
    // Shared with the flow each one ends, which may outlive this screen.
    std::shared_ptr<Cancellation> m_connectionsLoad;
    std::shared_ptr<Cancellation> m_run;
    std::shared_ptr<Cancellation> m_transfer;
    // Fetches and hashes end with the screen; saves and uploads run to their end.
    bool m_transferEndsWithScreen = false;
    QString m_transferTitle;
    qint64 m_transferDone = 0;
    qint64 m_transferTotal = -1;
    FileHasher m_hasher;
    // Declared last: its destructor waits for a copy under way while the rest still exists.
    WorkerThread m_copier;
};

} // namespace Selvor
