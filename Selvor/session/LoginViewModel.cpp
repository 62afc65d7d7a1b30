#include "LoginViewModel.hpp"

#include "AppState.hpp"
#include "QRImage.hpp"
#include "api/APIClient.hpp"
#include "api/Cancellation.hpp"
#include "api/CancelledError.hpp"
#include "api/ErrorText.hpp"
#include "api/Sleep.hpp"
#include "api/models/AuthModels.hpp"

#include <QDesktopServices>

#include <chrono>

namespace Selvor {
namespace {

using Clock = std::chrono::steady_clock;

const QString callbackAddress = QStringLiteral("selvorlogin://auth/callback");
const QString defaultPortalOrigin = QStringLiteral("https://portal.selvor.mn");

// Characters a URL query may hold unescaped besides letters and digits.
const QByteArray queryAllowed = QByteArrayLiteral("!$&'()*+,-./:;=?@_~");

bool isTrimmedSpace(QChar c) {
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

LoginViewModel::LoginViewModel(QObject* parent)
    : LoginViewModel(APIClient::shared(), PollTiming{}, parent) {}

LoginViewModel::LoginViewModel(APIClient& client, PollTiming timing, QObject* parent)
    : QObject(parent), m_client(client), m_timing(timing),
      m_openUrl([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
    m_countdownTimer.setInterval(m_timing.countdownTick);
    connect(&m_countdownTimer, &QTimer::timeout, this, &LoginViewModel::tickCountdown);
}

// Leaving the screen stops the running flow.
LoginViewModel::~LoginViewModel() {
    cancelFlow();
}

void LoginViewModel::setAppState(AppState* appState) {
    if (m_appState == appState)
        return;
    m_appState = appState;
    emit appStateChanged();
}

void LoginViewModel::setMethod(Method method) {
    if (m_method == method)
        return;
    m_method = method;
    emit methodChanged();
    setErrorMessage({});
    if (method == Method::QrCode) {
        startQR();
    } else {
        cancelFlow();
        setQrImage({});
    }
}

void LoginViewModel::setRegisterNumberText(const QString& text) {
    if (m_registerNumberText == text)
        return;
    m_registerNumberText = text;
    emit registerNumberTextChanged();
}

bool LoginViewModel::canStartPush() const {
    return !normalizedRegisterNumber(m_registerNumberText).isEmpty();
}

QString LoginViewModel::countdownText() const {
    return QStringLiteral("%1:%2").arg(m_countdown / 60).arg(m_countdown % 60, 2, 10, QChar(u'0'));
}

QString LoginViewModel::normalizedRegisterNumber(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && isTrimmedSpace(text[first]))
        ++first;
    while (last > first && isTrimmedSpace(text[last - 1]))
        --last;
    return text.mid(first, last - first).toUpper();
}

QString LoginViewModel::webSignInAddress(const QString& portalOrigin) {
    const QString encoded =
        QString::fromLatin1(QUrl::toPercentEncoding(callbackAddress, queryAllowed));
    return portalOrigin + QStringLiteral("/?callback_uri=") + encoded;
}

QString LoginViewModel::portalOrigin() {
    static const QString origin = qEnvironmentVariableIsSet("SELVOR_PORTAL_URL")
                                      ? qEnvironmentVariable("SELVOR_PORTAL_URL")
                                      : defaultPortalOrigin;
    return origin;
}

void LoginViewModel::setUrlOpener(UrlOpener opener) {
    m_openUrl = std::move(opener);
}

void LoginViewModel::startPush() {
    const QString number = normalizedRegisterNumber(m_registerNumberText);
    if (number.isEmpty())
        return;
    setPhase(Phase::Sending);
    setErrorMessage({});
    pushFlow(number, beginFlow());
}

void LoginViewModel::cancel() {
    cancelFlow();
    setPhase(Phase::Idle);
    if (m_method == Method::QrCode)
        startQR();
}

void LoginViewModel::startWebSignIn() {
    const QUrl url(webSignInAddress(portalOrigin()), QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty())
        return;
    if (m_appState)
        m_appState->beginWebSignIn();
    m_openUrl(url);
}

void LoginViewModel::startQR() {
    cancelFlow();
    setQrImage({});
    qrFlow(beginFlow());
}

LoginViewModel::Flow LoginViewModel::beginFlow() {
    cancelFlow();
    m_flow = std::make_shared<Cancellation>();
    return m_flow;
}

void LoginViewModel::cancelFlow() {
    if (!m_flow)
        return;
    // Reset first: cancelling may resume the flow, which must find itself no longer current.
    const Flow flow = std::exchange(m_flow, nullptr);
    flow->cancel();
}

// The flows hold their own Cancellation: once it is cancelled they return without touching
// the view-model, which may be gone by then.
QCoro::Task<> LoginViewModel::pushFlow(const QString& typedNumber, const Flow& startedFlow) {
    const QString number = typedNumber;
    const Flow flow = startedFlow;
    std::exception_ptr failure;
    try {
        auto initiating =
            m_client.request<AuthInitiateResponse>(Endpoint::initiateAuth(number), flow.get());
        const auto started = co_await initiating;
        const QString sessionID = fromUtf8(started.sessionId);
        setVerificationCode(fromUtf8(started.verificationCode));
        if (m_appState)
            m_appState->setSessionID(sessionID);
        enterWaiting();

        const auto deadline = Clock::now() + m_timing.deadline;
        AuthStatusResponse status;
        for (;;) {
            if (Clock::now() >= deadline)
                throw APIError::timeout();
            auto asking =
                m_client.request<AuthStatusResponse>(Endpoint::authSession(sessionID), flow.get());
            status = co_await asking;
            if (status.state == "COMPLETE" || status.state == "REFUSED" ||
                status.state == "EXPIRED")
                break;
            auto pausing = sleepFor(m_timing.pollInterval, flow.get());
            co_await pausing;
        }

        const bool approved = status.state == "COMPLETE" && status.result == "OK";
        if ((approved || status.result == "REFUSED") && m_appState)
            m_appState->notePhoneAnswer();
        if (approved) {
            // Without an identity the person is the field's text exactly as typed.
            const QString nationalID =
                status.identity ? fromUtf8(status.identity->nationalId) : m_registerNumberText;
            const QString fullName =
                status.identity ? fromUtf8(status.identity->fullName) : QString();
            auto finishing = finishSignIn(nationalID, fullName, flow);
            co_await finishing;
            co_return;
        }
        setErrorMessage(status.result == "REFUSED" ? QStringLiteral("Татгалзлаа.")
                                                   : QStringLiteral("Хугацаа дууслаа."));
        setPhase(Phase::Failed);
        co_return;
    } catch (const CancelledError&) {
        co_return;
    } catch (const std::exception&) {
        failure = std::current_exception();
    }
    if (flow->isCancelled())
        co_return;
    setErrorMessage(errorText(failure));
    setPhase(Phase::Failed);
}

QCoro::Task<> LoginViewModel::qrFlow(const Flow& startedFlow) {
    const Flow flow = startedFlow;
    std::exception_ptr failure;
    try {
        auto creating = m_client.request<QRInitResponse>(Endpoint::qrInit(), flow.get());
        const auto session = co_await creating;
        if (const std::optional<QImage> image = makeQRImage(fromUtf8(session.qrData)))
            setQrImage(*image);
        const QString token = fromUtf8(session.token);

        const auto deadline = Clock::now() + m_timing.deadline;
        QRStatusResponse status;
        for (;;) {
            // Past the deadline the code stays on screen but nobody watches it any more.
            if (Clock::now() >= deadline)
                co_return;
            auto asking = m_client.request<QRStatusResponse>(Endpoint::qrStatus(token), flow.get());
            status = co_await asking;
            if (status.state == "RUNNING" && status.verificationCode &&
                !status.verificationCode->empty() && m_phase != Phase::Waiting) {
                setVerificationCode(fromUtf8(*status.verificationCode));
                enterWaiting();
            }
            if (status.state == "COMPLETE")
                break;
            auto pausing = sleepFor(m_timing.pollInterval, flow.get());
            co_await pausing;
        }

        const bool approved =
            status.result == "OK" && status.nationalId && !status.nationalId->empty();
        if ((approved || status.result == "USER_REFUSED") && m_appState)
            m_appState->notePhoneAnswer();
        if (approved) {
            auto finishing = finishSignIn(fromUtf8(*status.nationalId),
                                          fromUtf8(status.userName.value_or("")), flow);
            co_await finishing;
            co_return;
        }
        setErrorMessage(status.result == "USER_REFUSED" ? QStringLiteral("Татгалзлаа.")
                                                        : QStringLiteral("Хугацаа дууслаа."));
        setPhase(Phase::Idle);
        startQR();
        co_return;
    } catch (const CancelledError&) {
        co_return;
    } catch (const std::exception&) {
        failure = std::current_exception();
    }
    if (flow->isCancelled())
        co_return;
    // Nothing watches the code any more: scanning it would lead nowhere.
    setQrImage({});
    setErrorMessage(QStringLiteral("QR код үүсгэхэд алдаа: ") + errorText(failure));
    setPhase(Phase::Failed);
}

// Shows the success message for a moment, then signs the person in. Leaving the screen
// during the pause cancels the sign-in with the flow.
QCoro::Task<> LoginViewModel::finishSignIn(const QString& signedInID, const QString& signedInName,
                                           const Flow& startedFlow) {
    const QString nationalID = signedInID;
    const QString fullName = signedInName;
    const Flow flow = startedFlow;
    setPhase(Phase::Success);
    auto pausing = sleepFor(m_timing.successPause, flow.get());
    co_await pausing;
    if (m_appState)
        m_appState->completeSignIn(nationalID, fullName);
}

void LoginViewModel::enterWaiting() {
    setCountdown(countdownStart);
    setPhase(Phase::Waiting);
}

void LoginViewModel::tickCountdown() {
    if (m_countdown >= 1 && m_phase == Phase::Waiting) {
        setCountdown(m_countdown - 1);
        return;
    }
    m_countdownTimer.stop();
}

void LoginViewModel::setPhase(Phase phase) {
    if (m_phase == phase)
        return;
    m_phase = phase;
    // The countdown runs while the waiting content is shown.
    if (phase == Phase::Waiting)
        m_countdownTimer.start();
    emit phaseChanged();
}

void LoginViewModel::setVerificationCode(const QString& code) {
    if (m_verificationCode == code)
        return;
    m_verificationCode = code;
    emit verificationCodeChanged();
}

void LoginViewModel::setErrorMessage(const QString& message) {
    if (m_errorMessage == message)
        return;
    m_errorMessage = message;
    emit errorMessageChanged();
}

void LoginViewModel::setCountdown(int seconds) {
    if (m_countdown == seconds)
        return;
    m_countdown = seconds;
    emit countdownChanged();
}

void LoginViewModel::setQrImage(const QImage& image) {
    if (m_qrImage.isNull() && image.isNull())
        return;
    m_qrImage = image;
    emit qrImageChanged();
}

} // namespace Selvor
