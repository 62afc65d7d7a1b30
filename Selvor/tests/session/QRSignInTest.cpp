#include "SignInFixture.hpp"

#include <QSignalSpy>
#include <QTest>

namespace Selvor::Testing {
namespace {

using Method = LoginViewModel::Method;
using Phase = LoginViewModel::Phase;

class QRSignInTest : public SignInFixture {
protected:
    // Chooses QR and waits for the code on screen; returns its token.
    std::string showQR() {
        login->setMethod(Method::QrCode);
        EXPECT_TRUE(eventually([&] { return login->hasQrImage(); }));
        return sim->waitForPending().id;
    }
    void useTiming(PollTiming timing) {
        login = std::make_unique<LoginViewModel>(*client, timing);
        login->setAppState(appState.get());
    }
};

TEST_F(QRSignInTest, scanShowsCodeThenApprovalSignsIn) {
    const std::string token = showQR();
    EXPECT_EQ(login->phase(), Phase::Idle);
    sim->scanQr(token);
    ASSERT_TRUE(eventually([&] { return login->phase() == Phase::Waiting; }));
    EXPECT_EQ(login->verificationCode(), qs(sim->pending().front().verificationCode));
    EXPECT_EQ(login->countdownText(), QStringLiteral("5:00"));

    const QSignalSpy answered(appState.get(), &AppState::phoneAnswered);
    sim->approve(token);
    ASSERT_TRUE(eventually([&] { return login->phase() == Phase::Success; }));
    EXPECT_EQ(answered.count(), 1) << "the window asks for attention";
    ASSERT_TRUE(eventually([&] { return appState->screen() == AppState::Screen::Main; }));
    EXPECT_EQ(appState->nationalID(), qs(SelvorSimTesting::SimProcess::seededNationalId));
    EXPECT_EQ(appState->fullName(), qs(SelvorSimTesting::SimProcess::seededFullName));
}

TEST_F(QRSignInTest, refusal_showsRefusedAndANewCode) {
    const std::string token = showQR();
    sim->scanQr(token);
    ASSERT_TRUE(eventually([&] { return login->phase() == Phase::Waiting; }));
    const QSignalSpy answered(appState.get(), &AppState::phoneAnswered);
    sim->refuse(token);
    ASSERT_TRUE(eventually([&] { return requestCount("/web/auth/qr/init") == 2; }));
    EXPECT_EQ(login->errorMessage(), QStringLiteral("Татгалзлаа."));
    EXPECT_EQ(answered.count(), 1);
    EXPECT_EQ(login->phase(), Phase::Idle);
    EXPECT_TRUE(eventually([&] { return login->hasQrImage(); }));
}

TEST_F(QRSignInTest, completedWithoutSuccess_givesExpiredTextAndANewCode) {
    const char* answers[] = {
        R"({"state":"COMPLETE","result":"REFUSED"})",
        R"({"state":"COMPLETE","result":"OK"})", // no register number
        R"({"state":"COMPLETE","result":"OK","national_id":""})",
        R"({"state":"COMPLETE"})",
    };
    login->setMethod(Method::QrCode);
    int sessions = 1;
    for (const char* answer : answers) {
        ASSERT_TRUE(eventually([&] { return requestCount("/web/auth/qr/init") == sessions; }));
        answerWith("/web/auth/qr/status/*", answer, 1);
        ++sessions;
        ASSERT_TRUE(eventually([&] { return requestCount("/web/auth/qr/init") == sessions; }))
            << answer;
        EXPECT_EQ(login->errorMessage(), QStringLiteral("Хугацаа дууслаа.")) << answer;
        EXPECT_EQ(login->phase(), Phase::Idle);
    }
    EXPECT_EQ(appState->screen(), AppState::Screen::Login);
}

TEST_F(QRSignInTest, expiredState_keepsPolling) {
    answerWith("/web/auth/qr/status/*", R"({"state":"EXPIRED"})", 4);
    answerWith("/web/auth/qr/status/*",
               R"({"state":"COMPLETE","result":"OK","national_id":"ЧЕ88111524"})");
    login->setMethod(Method::QrCode);
    ASSERT_TRUE(eventually([&] { return appState->screen() == AppState::Screen::Main; }));
    EXPECT_EQ(requestCount("/web/auth/qr/status/"), 5);
    EXPECT_EQ(requestCount("/web/auth/qr/init"), 1);
    EXPECT_EQ(appState->nationalID(), QStringLiteral("ЧЕ88111524"));
}

TEST_F(QRSignInTest, deadline_endsWatchingSilently) {
    useTiming({.pollInterval = std::chrono::milliseconds(5),
               .deadline = std::chrono::milliseconds(120),
               .successPause = std::chrono::milliseconds(1),
               .countdownTick = std::chrono::milliseconds(1000)});
    showQR();
    QTest::qWait(250);
    const int polls = requestCount("/web/auth/qr/status/");
    QTest::qWait(60);
    EXPECT_EQ(requestCount("/web/auth/qr/status/"), polls);
    EXPECT_GT(polls, 0);
    EXPECT_EQ(login->phase(), Phase::Idle);
    EXPECT_TRUE(login->errorMessage().isEmpty());
    EXPECT_TRUE(login->hasQrImage()) << "the code stays on screen";
}

TEST_F(QRSignInTest, switchingMethods_stopsPollingAndBackMakesANewSession) {
    showQR();
    login->setMethod(Method::RegisterNumber);
    EXPECT_FALSE(login->hasQrImage());
    QTest::qWait(20);
    const int polls = requestCount("/web/auth/qr/status/");
    QTest::qWait(60);
    EXPECT_EQ(requestCount("/web/auth/qr/status/"), polls);

    login->setMethod(Method::QrCode);
    ASSERT_TRUE(eventually([&] { return login->hasQrImage(); }));
    EXPECT_EQ(requestCount("/web/auth/qr/init"), 2);
}

TEST_F(QRSignInTest, cancelWhileWaiting_returnsToANewCode) {
    const std::string token = showQR();
    sim->scanQr(token);
    ASSERT_TRUE(eventually([&] { return login->phase() == Phase::Waiting; }));
    login->cancel();
    EXPECT_EQ(login->phase(), Phase::Idle);
    ASSERT_TRUE(eventually([&] { return login->hasQrImage(); }));
    EXPECT_EQ(requestCount("/web/auth/qr/init"), 2);
    sim->approve(token);
    QTest::qWait(60);
    EXPECT_EQ(appState->screen(), AppState::Screen::Login)
        << "the cancelled session is not watched";
    EXPECT_TRUE(login->errorMessage().isEmpty());
}

} // namespace
} // namespace Selvor::Testing
