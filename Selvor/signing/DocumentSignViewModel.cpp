#include "signing/DocumentSignViewModel.hpp"

#include <SelvorTokenKit/Hex.hpp>
#include <SelvorTokenKit/TokenError.hpp>

#include <QClipboard>
#include <QCoroFuture>
#include <QFileInfo>
#include <QGuiApplication>

#include <exception>

namespace Selvor {

namespace {

constexpr std::size_t digestLength = 32;

} // namespace

DocumentSignViewModel::DocumentSignViewModel(QObject* parent) : QObject(parent) {}

DocumentSignViewModel::~DocumentSignViewModel() {
    endRunOnToken();
}

void DocumentSignViewModel::setTokenManager(TokenManager* tokenManager) {
    if (tokenManager == m_tokenManager)
        return;
    if (m_tokenManager)
        disconnect(m_tokenManager, nullptr, this, nullptr);
    m_tokenManager = tokenManager;
    if (m_tokenManager)
        connect(m_tokenManager, &TokenManager::isTokenPresentChanged, this,
                &DocumentSignViewModel::tokenPresenceChanged);
    emit tokenManagerChanged();
    updateCanSign();
}

void DocumentSignViewModel::setRegisterNumber(const QString& registerNumber) {
    if (registerNumber == m_registerNumber)
        return;
    m_registerNumber = registerNumber;
    emit registerNumberChanged();
    updateCanSign();
}

void DocumentSignViewModel::setDocumentHash(const QString& documentHash) {
    if (documentHash == m_documentHash)
        return;
    m_documentHash = documentHash;
    emit documentHashChanged();
    updateCanSign();
}

void DocumentSignViewModel::setDocumentName(const QString& documentName) {
    if (documentName == m_documentName)
        return;
    m_documentName = documentName;
    emit documentNameChanged();
}

void DocumentSignViewModel::chooseFile(const QUrl& file) {
    const QString path = file.toLocalFile();
    if (path.isEmpty() || m_isHashing)
        return;
    hashFile(path);
}

QCoro::Task<> DocumentSignViewModel::hashFile(const QString& chosenPath) {
    const QString path = chosenPath; // the caller's argument lives only until the first suspension
    QPointer<DocumentSignViewModel> self(this);
    setHashing(true);
    QString digest;
    QString failure;
    try {
        auto hashing = m_hasher.sha256Hex(path);
        digest = co_await hashing;
    } catch (const std::exception& error) {
        // A hash stopped because this view-model went away is dropped below.
        failure = QStringLiteral("Файл уншиx алдаа: ") + QString::fromStdString(error.what());
    }
    if (!self)
        co_return;
    if (failure.isEmpty()) {
        setDocumentHash(digest);
        if (m_documentName.isEmpty())
            setDocumentName(QFileInfo(path).fileName());
    } else {
        setErrorMessage(failure);
    }
    setHashing(false);
}

void DocumentSignViewModel::startSigning() {
    if (!m_canSign)
        return;
    sign();
}

QCoro::Task<> DocumentSignViewModel::sign() {
    using SelvorTokenKit::Card;
    QPointer<DocumentSignViewModel> self(this);
    setSigning(true);
    setSignatureHex({});
    setErrorMessage({});

    const SelvorTokenKit::Bytes hash = SelvorTokenKit::hexToBytes(m_documentHash.toStdString());
    if (hash.size() != digestLength) {
        setErrorMessage(QStringLiteral("SHA-256 hash 32 байт (64 hex тэмдэгт) байх ёстой."));
        setSigning(false);
        co_return;
    }

    const auto tokenGone = std::make_shared<std::atomic<bool>>(false);
    m_runTokenGone = tokenGone;
    SelvorTokenKit::Bytes signature;
    QString failure;
    try {
        auto signing = m_tokenManager->withSession([driver = &m_tokenManager->driver(), hash,
                                                    tokenGone](Card& card) {
            // Whatever the reader holds by now is not the token this run was started on.
            if (*tokenGone)
                throw SelvorTokenKit::TokenError(SelvorTokenKit::TokenError::Kind::cardNotFound);
            driver->selectApplet(card);
            return driver->signECDSA(hash, card);
        });
        signature = co_await signing;
    } catch (const std::exception& error) {
        failure = QString::fromStdString(error.what());
    }
    if (!self)
        co_return;
    m_runTokenGone.reset();
    if (failure.isEmpty())
        setSignatureHex(QString::fromStdString(SelvorTokenKit::bytesToHex(signature)));
    else
        setErrorMessage(failure);
    setSigning(false);
}

void DocumentSignViewModel::tokenPresenceChanged() {
    if (m_tokenManager && !m_tokenManager->isTokenPresent())
        endRunOnToken();
    updateCanSign();
}

void DocumentSignViewModel::endRunOnToken() {
    if (m_runTokenGone)
        *m_runTokenGone = true;
}

void DocumentSignViewModel::copySignature() const {
    if (m_signatureHex.isEmpty())
        return;
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(m_signatureHex);
}

void DocumentSignViewModel::setSignatureHex(const QString& signatureHex) {
    if (signatureHex == m_signatureHex)
        return;
    m_signatureHex = signatureHex;
    emit signatureHexChanged();
}

void DocumentSignViewModel::setSigning(bool signing) {
    if (signing == m_isSigning)
        return;
    m_isSigning = signing;
    emit isSigningChanged();
    updateCanSign();
}

void DocumentSignViewModel::setHashing(bool hashing) {
    if (hashing == m_isHashing)
        return;
    m_isHashing = hashing;
    emit isHashingChanged();
    updateCanSign();
}

void DocumentSignViewModel::setErrorMessage(const QString& errorMessage) {
    if (errorMessage == m_errorMessage)
        return;
    m_errorMessage = errorMessage;
    emit errorMessageChanged();
}

void DocumentSignViewModel::updateCanSign() {
    // While a chosen file is being hashed the field still holds the previous digest, which the
    // user must not sign by mistake.
    const bool can = !m_isSigning && !m_isHashing && !m_registerNumber.isEmpty() &&
                     !m_documentHash.isEmpty() && m_tokenManager &&
                     m_tokenManager->isTokenPresent();
    if (can == m_canSign)
        return;
    m_canSign = can;
    emit canSignChanged();
}

} // namespace Selvor
