#include "token/TokenScreenViewModel.hpp"

#include "token/SecretText.hpp"
#include "token/TokenProvisioner.hpp"

#include <QCoroFuture>

#include <string.h>

#include <exception>
#include <memory>
#include <string>
#include <utility>

namespace Selvor {

namespace {

constexpr qsizetype minimumPinLength = 6;
constexpr qsizetype minimumPukLength = 8;

// Characters as the user counts them (code points), not UTF-16 units or bytes.
qsizetype characterCount(const QString& text) {
    return text.toUcs4().size();
}

// The PIN and PUK of one provisioning run, shared by its two card sessions without further
// copies and wiped when the run is over.
struct ProvisioningSecrets {
    std::string pin;
    std::string puk;

    ~ProvisioningSecrets() {
        explicit_bzero(pin.data(), pin.size());
        explicit_bzero(puk.data(), puk.size());
    }
};

} // namespace

TokenScreenViewModel::TokenScreenViewModel(QObject* parent) : QObject(parent) {}

TokenScreenViewModel::~TokenScreenViewModel() {
    for (QString* secret : {&m_pin, &m_pinRepeat, &m_puk})
        wipeSecret(*secret);
}

void TokenScreenViewModel::setTokenManager(TokenManager* tokenManager) {
    if (tokenManager == m_tokenManager)
        return;
    m_tokenManager = tokenManager;
    emit tokenManagerChanged();
}

void TokenScreenViewModel::setPin(const QString& pin) {
    if (pin == m_pin)
        return;
    replaceSecret(m_pin, pin);
    emit pinChanged();
    updateCanSubmit();
}

void TokenScreenViewModel::setPinRepeat(const QString& pinRepeat) {
    if (pinRepeat == m_pinRepeat)
        return;
    replaceSecret(m_pinRepeat, pinRepeat);
    emit pinRepeatChanged();
    updateCanSubmit();
}

void TokenScreenViewModel::setPuk(const QString& puk) {
    if (puk == m_puk)
        return;
    replaceSecret(m_puk, puk);
    emit pukChanged();
    updateCanSubmit();
}

void TokenScreenViewModel::updateCanSubmit() {
    const bool can = !m_isBusy && characterCount(m_pin) >= minimumPinLength &&
                     m_pinRepeat == m_pin && characterCount(m_puk) >= minimumPukLength;
    if (can == m_canSubmit)
        return;
    m_canSubmit = can;
    emit canSubmitChanged();
}

void TokenScreenViewModel::beginSetup() {
    setStep(PinEntry);
}

void TokenScreenViewModel::reset() {
    setStep(Introduction);
    clearSecrets();
    setStatus({}, false);
}

void TokenScreenViewModel::clearSecrets() {
    QString pin = std::exchange(m_pin, {});
    QString pinRepeat = std::exchange(m_pinRepeat, {});
    QString puk = std::exchange(m_puk, {});
    emit pinChanged();
    emit pinRepeatChanged();
    emit pukChanged();
    updateCanSubmit();
    // The emptied fields have let go of their shares: these are the last holders.
    for (QString* secret : {&pin, &pinRepeat, &puk})
        wipeSecret(*secret);
}

void TokenScreenViewModel::testConnection() {
    if (m_isBusy || !m_tokenManager)
        return;
    runConnectionTest();
}

QCoro::Task<> TokenScreenViewModel::runConnectionTest() {
    QPointer<TokenScreenViewModel> self(this);
    setBusy(true);
    setStatus({}, false);
    auto testing = m_tokenManager->testConnection();
    const bool ok = co_await testing;
    if (!self)
        co_return;
    // The line itself stays short; the kit's reason goes beneath it.
    if (ok)
        setStatus(QStringLiteral("Холболт амжилттай"), false);
    else
        setStatus(QStringLiteral("Холболт амжилтгүй"), true,
                  m_tokenManager ? m_tokenManager->errorMessage() : QString());
    setBusy(false);
}

void TokenScreenViewModel::provision() {
    if (!m_canSubmit || !m_tokenManager)
        return;
    runProvisioning();
}

QCoro::Task<> TokenScreenViewModel::runProvisioning() {
    using SelvorTokenKit::Card;
    QPointer<TokenScreenViewModel> self(this);
    QPointer<TokenManager> tokenManager = m_tokenManager;
    setBusy(true);
    setStatus({}, false);
    auto provisioner = std::make_shared<TokenProvisioner>();
    auto secrets = std::make_shared<ProvisioningSecrets>(
        ProvisioningSecrets{secretUtf8(m_pin), secretUtf8(m_puk)});
    // The run has its own copies now; the form's go at once, whatever the outcome.
    clearSecrets();
    QString failure;
    try {
        auto installing = tokenManager->withSession([provisioner, secrets](Card& card) {
            provisioner->initializeToken(card, secrets->pin, secrets->puk);
        });
        co_await installing;
        if (!self || !tokenManager)
            co_return;
        setStatus(QStringLiteral("PIN/PUK тогтоогдлоо"), false);
        setStep(GeneratingKey);

        auto generating = tokenManager->withSession([provisioner, secrets](Card& card) {
            provisioner->generateSigningKey(card, secrets->pin);
        });
        co_await generating;
        if (!self)
            co_return;
        setStatus(QStringLiteral("Түлхүүр хос үүсгэгдлэа"), false);
        setStep(Finished);
        setBusy(false);
        co_return;
    } catch (const std::exception& error) {
        failure = QString::fromStdString(error.what());
    }
    if (!self)
        co_return;
    setStatus(failure, true);
    if (m_step == GeneratingKey)
        setStep(PinEntry);
    setBusy(false);
}

void TokenScreenViewModel::setStep(int step) {
    if (step == m_step)
        return;
    m_step = step;
    emit stepChanged();
}

void TokenScreenViewModel::setBusy(bool busy) {
    if (busy == m_isBusy)
        return;
    m_isBusy = busy;
    emit isBusyChanged();
    updateCanSubmit();
}

void TokenScreenViewModel::setStatus(const QString& message, bool isError, const QString& detail) {
    if (message == m_statusMessage && isError == m_isError && detail == m_statusDetail)
        return;
    m_statusMessage = message;
    m_isError = isError;
    m_statusDetail = detail;
    emit statusChanged();
}

} // namespace Selvor
