#pragma once

#include "api/PollTiming.hpp"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

#include <QCoroTask>

#include <functional>
#include <memory>

namespace Selvor {

class APIClient;
class AppState;
class Cancellation;

// State and flows of the sign-in screen: push sign-in by register number, QR sign-in, and the
// web portal. At most one flow runs; a cancelled flow reports nothing.
class LoginViewModel : public QObject {
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(AppState* appState READ appState WRITE setAppState NOTIFY appStateChanged)
    Q_PROPERTY(Method method READ method WRITE setMethod NOTIFY methodChanged)
    Q_PROPERTY(QString registerNumberText READ registerNumberText WRITE setRegisterNumberText NOTIFY
                   registerNumberTextChanged)
    Q_PROPERTY(bool canStartPush READ canStartPush NOTIFY registerNumberTextChanged)
    Q_PROPERTY(Phase phase READ phase NOTIFY phaseChanged)
    Q_PROPERTY(QString verificationCode READ verificationCode NOTIFY verificationCodeChanged)
    Q_PROPERTY(QString errorMessage READ errorMessage NOTIFY errorMessageChanged)
    Q_PROPERTY(int countdown READ countdown NOTIFY countdownChanged)
    Q_PROPERTY(QString countdownText READ countdownText NOTIFY countdownChanged)
    Q_PROPERTY(bool countdownUrgent READ countdownUrgent NOTIFY countdownChanged)
    Q_PROPERTY(QImage qrImage READ qrImage NOTIFY qrImageChanged)
    Q_PROPERTY(bool hasQrImage READ hasQrImage NOTIFY qrImageChanged)

public:
    enum class Method { RegisterNumber, QrCode };
    Q_ENUM(Method)
    // Failed shows the idle content with an error line.
    enum class Phase { Idle, Sending, Waiting, Success, Failed };
    Q_ENUM(Phase)

    using UrlOpener = std::function<bool(const QUrl&)>;

    static constexpr int countdownStart = 300;

    // Requests go through the application's shared client with production timing.
    explicit LoginViewModel(QObject* parent = nullptr);
    LoginViewModel(APIClient& client, PollTiming timing, QObject* parent = nullptr);
    ~LoginViewModel() override;

    [[nodiscard]] AppState* appState() const { return m_appState; }
    void setAppState(AppState* appState);
    [[nodiscard]] Method method() const { return m_method; }
    // A change clears the error; QR starts a new QR session, register number stops it.
    void setMethod(Method method);
    [[nodiscard]] QString registerNumberText() const { return m_registerNumberText; }
    void setRegisterNumberText(const QString& text);
    [[nodiscard]] bool canStartPush() const;
    [[nodiscard]] Phase phase() const { return m_phase; }
    [[nodiscard]] QString verificationCode() const { return m_verificationCode; }
    [[nodiscard]] QString errorMessage() const { return m_errorMessage; }
    [[nodiscard]] int countdown() const { return m_countdown; }
    // Minutes without a leading zero, a colon, two-digit seconds: 300 reads "5:00".
    [[nodiscard]] QString countdownText() const;
    // Below one minute the countdown is drawn in red.
    [[nodiscard]] bool countdownUrgent() const { return m_countdown < 60; }
    [[nodiscard]] QImage qrImage() const { return m_qrImage; }
    [[nodiscard]] bool hasQrImage() const { return !m_qrImage.isNull(); }

    // "Нэвтрэх" or Return in the field.
    Q_INVOKABLE void startPush();
    // "Цуцлах".
    Q_INVOKABLE void cancel();
    // "Вэб хөтчөөр нэвтрэх": opens the portal in the browser; nothing on screen changes.
    Q_INVOKABLE void startWebSignIn();

    // Opens web sign-in addresses; by default the desktop's browser.
    void setUrlOpener(UrlOpener opener);

    // The register number as sent: white space (not line breaks) trimmed, upper case.
    [[nodiscard]] static QString normalizedRegisterNumber(const QString& text);
    // The portal origin (SELVOR_PORTAL_URL, read once) followed by "/?callback_uri=" and the
    // app's callback address.
    [[nodiscard]] static QString webSignInAddress(const QString& portalOrigin);
    [[nodiscard]] static QString portalOrigin();

signals:
    void appStateChanged();
    void methodChanged();
    void registerNumberTextChanged();
    void phaseChanged();
    void verificationCodeChanged();
    void errorMessageChanged();
    void countdownChanged();
    void qrImageChanged();

private:
    using Flow = std::shared_ptr<Cancellation>;

    void startQR();
    [[nodiscard]] Flow beginFlow();
    void cancelFlow();
    QCoro::Task<> pushFlow(const QString& typedNumber, const Flow& startedFlow);
    QCoro::Task<> qrFlow(const Flow& startedFlow);
    QCoro::Task<> finishSignIn(const QString& signedInID, const QString& signedInName,
                               const Flow& startedFlow);
    void enterWaiting();
    void tickCountdown();

    void setPhase(Phase phase);
    void setVerificationCode(const QString& code);
    void setErrorMessage(const QString& message);
    void setCountdown(int seconds);
    void setQrImage(const QImage& image);

    APIClient& m_client;
    PollTiming m_timing;
    UrlOpener m_openUrl;
    QPointer<AppState> m_appState;
    Method m_method = Method::RegisterNumber;
    QString m_registerNumberText;
    Phase m_phase = Phase::Idle;
    QString m_verificationCode;
    QString m_errorMessage;
    int m_countdown = countdownStart;
    QImage m_qrImage;
    Flow m_flow;
    QTimer m_countdownTimer;
};

} // namespace Selvor
