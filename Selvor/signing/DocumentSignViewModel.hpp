#pragma once

#include "signing/FileHasher.hpp"
#include "token/TokenManager.hpp"

#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

#include <atomic>
#include <memory>

namespace Selvor {

// Signs a document's SHA-256 digest with the key on the token. The digest is typed as hex or
// computed from a chosen file; the token's signature is shown as upper-case hex.
class DocumentSignViewModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(Selvor::TokenManager* tokenManager READ tokenManager WRITE setTokenManager NOTIFY
                   tokenManagerChanged)
    Q_PROPERTY(QString registerNumber READ registerNumber WRITE setRegisterNumber NOTIFY
                   registerNumberChanged)
    Q_PROPERTY(
        QString documentHash READ documentHash WRITE setDocumentHash NOTIFY documentHashChanged)
    Q_PROPERTY(
        QString documentName READ documentName WRITE setDocumentName NOTIFY documentNameChanged)
    // Empty until a run succeeds.
    Q_PROPERTY(QString signatureHex READ signatureHex NOTIFY signatureHexChanged)
    Q_PROPERTY(bool isSigning READ isSigning NOTIFY isSigningChanged)
    Q_PROPERTY(bool isHashing READ isHashing NOTIFY isHashingChanged)
    // Empty while there is no failure to show.
    Q_PROPERTY(QString errorMessage READ errorMessage NOTIFY errorMessageChanged)
    Q_PROPERTY(bool canSign READ canSign NOTIFY canSignChanged)

public:
    explicit DocumentSignViewModel(QObject* parent = nullptr);
    // A run still waiting for the token thread then leaves the token alone.
    ~DocumentSignViewModel() override;

    [[nodiscard]] TokenManager* tokenManager() const { return m_tokenManager; }
    void setTokenManager(TokenManager* tokenManager);
    [[nodiscard]] QString registerNumber() const { return m_registerNumber; }
    void setRegisterNumber(const QString& registerNumber);
    [[nodiscard]] QString documentHash() const { return m_documentHash; }
    void setDocumentHash(const QString& documentHash);
    [[nodiscard]] QString documentName() const { return m_documentName; }
    void setDocumentName(const QString& documentName);
    [[nodiscard]] QString signatureHex() const { return m_signatureHex; }
    [[nodiscard]] bool isSigning() const { return m_isSigning; }
    [[nodiscard]] bool isHashing() const { return m_isHashing; }
    [[nodiscard]] QString errorMessage() const { return m_errorMessage; }
    // Not signing, a register number and a hash are filled in, and a token is present.
    [[nodiscard]] bool canSign() const { return m_canSign; }

    // The file picked in the open-file panel: its digest becomes the hash, its name the
    // document name unless one was typed. The file is read on a worker thread.
    Q_INVOKABLE void chooseFile(const QUrl& file);
    // A run whose token is pulled out ends with the kit's error, even when a token is back by the
    // time the run reaches the token thread: it never signs on another token.
    Q_INVOKABLE void startSigning();
    // Puts the signature on the clipboard as plain text.
    Q_INVOKABLE void copySignature() const;

signals:
    void tokenManagerChanged();
    void registerNumberChanged();
    void documentHashChanged();
    void documentNameChanged();
    void signatureHexChanged();
    void isSigningChanged();
    void isHashingChanged();
    void errorMessageChanged();
    void canSignChanged();

private:
    QCoro::Task<> hashFile(const QString& chosenPath);
    QCoro::Task<> sign();
    void tokenPresenceChanged();
    void endRunOnToken();
    void setSignatureHex(const QString& signatureHex);
    void setSigning(bool signing);
    void setHashing(bool hashing);
    void setErrorMessage(const QString& errorMessage);
    void updateCanSign();

    QPointer<TokenManager> m_tokenManager;
    QString m_registerNumber;
    QString m_documentHash;
    QString m_documentName;
    QString m_signatureHex;
    bool m_isSigning = false;
    bool m_isHashing = false;
    QString m_errorMessage;
    bool m_canSign = false;
    // Shared with the run's work on the token thread; set once the run's token is gone.
    std::shared_ptr<std::atomic<bool>> m_runTokenGone;
    FileHasher m_hasher;
};

} // namespace Selvor
