#include "SignInFixture.hpp"

#include <QSignalSpy>
#include <QTest>

namespace Selvor::Testing {
namespace {

using Phase = LoginViewModel::Phase;

class PushSignInTest : public SignInFixture {
protected:
    // Starts a push sign-in and waits until the phone has the request.
    SelvorSimTesting::PendingRequest startAndWaitForPhone(const QString& typed) {
        login->setRegisterNumberText(typed);
        login->startPush();
        EXPECT_EQ(login->phase(), Phase::Sending);
        EXPECT_TRUE(eventually([&] { return login->phase() == Phase::Waiting; }));
        return sim->waitForPending();
    }
};

TEST_F(PushSignInTest, approval_sendsNormalisedNumberShowsCodeThenSignsIn) {
    const auto pending = startAndWaitForPhone(QStringLiteral(" \tуп91042312\u00A0 "));

    EXPECT_EQ(qs(pending.nationalId), QStringLiteral("УП91042312"));
    EXPECT_EQ(login->verificationCode(), qs(pending.verificationCode));
    EXPECT_FALSE(login->verificationCode().isEmpty());
    EXPECT_EQ(appState->sessionID(), qs(pending.id));
    EXPECT_EQ(login->countdownText(), QStringLiteral("5:00"));

    const QSignalSpy answered(appState.get(), &AppState::phoneAnswered);
    sim->approve(pending.id);
    ASSERT_TRUE(eventually([&] { return login->phase() == Phase::Success; }));
    EXPECT_EQ(answered.count(), 1) << "the window asks for attention";
    EXPECT_EQ(appState->screen(), AppState::Screen::Login) << "signs in only after the pause";
    ASSERT_TRUE(eventually([&] { return appState->screen() == AppState::Screen::Main; }));
    EXPECT_EQ(appState->nationalID(), qs(SelvorSimTesting::SimProcess::seededNationalId));
    EXPECT_EQ(appState->fullName(), qs(SelvorSimTesting::SimProcess::seededFullName));
}

// Only a refusal is the phone's answer, which asks for the window to be looked at.
TEST_F(PushSignInTest, finalAnswers_giveTheirErrorTexts) {
    struct Case {
        const char* answer;
        const char* text;
        int phoneAnswers;
    };
    const Case cases[] = {
        {R"({"state":"COMPLETE","result":"REFUSED"})", "Татгалзлаа.", 1},
        {R"({"state":"REFUSED"})", "Хугацаа дууслаа.", 0},
        {R"({"state":"COMPLETE","result":"USER_REFUSED"})", "Хугацаа дууслаа.", 0},
        {R"({"state":"COMPLETE","result":"refused"})", "Хугацаа дууслаа.", 0},
        {R"({"state":"EXPIRED","result":"EXPIRED"})", "Хугацаа дууслаа.", 0},
        {R"({"state":"COMPLETE"})", "Хугацаа дууслаа.", 0},
    };
    for (const Case& c : cases) {
        sim->clearFaults();
        answerWith("/web/auth/session/*", c.answer);
        const QSignalSpy answered(appState.get(), &AppState::phoneAnswered);
        login->setRegisterNumberText(QStringLiteral("УП91042312"));
        login->startPush();
        ASSERT_TRUE(eventually([&] { return login->phase() == Phase::Failed; })) << c.answer;
        EXPECT_EQ(login->errorMessage(), QString::fromUtf8(c.text)) << c.answer;
        EXPECT_EQ(answered.count(), c.phoneAnswers) << c.answer;
        EXPECT_EQ(appState->screen(), AppState::Screen::Login);
    }
}

TEST_F(PushSignInTest, refusalOnThePhone_isReportedAsRefused) {
    const auto pending = startAndWaitForPhone(QStringLiteral("УП91042312"));
    sim->refuse(pending.id);
    ASSERT_TRUE(eventually([&] { return login->phase() == Phase::Failed; }));
    EXPECT_EQ(login->errorMessage(), QStringLiteral("Татгалзлаа."));
}

TEST_F(PushSignInTest, successWithoutIdentity_usesFieldTextAsTyped) {
    answerWith("/web/auth/session/*", R"({"state":"COMPLETE","result":"OK"})");
    login->setRegisterNumberText(QStringLiteral(" уп91042312 "));
    login->startPush();
    ASSERT_TRUE(eventually([&] { return appState->screen() == AppState::Screen::Main; }));
    EXPECT_EQ(appState->nationalID(), QStringLiteral(" уп91042312 "));
    EXPECT_TRUE(appState->fullName().isEmpty());
}

TEST_F(PushSignInTest, statusPolling_continuesUntilFinalAnswer) {
    answerWith("/web/auth/session/*", R"({"state":"RUNNING"})", 3);
    answerWith("/web/auth/session/*", R"({"state":"PENDING"})", 2);
    answerWith("/web/auth/session/*", R"({"state":"COMPLETE","result":"REFUSED"})");
    login->setRegisterNumberText(QStringLiteral("УП91042312"));
    login->startPush();
    ASSERT_TRUE(eventually([&] { return login->phase() == Phase::Failed; }));
    EXPECT_EQ(requestCount("/web/auth/session/"), 6);
}

TEST_F(PushSignInTest, deadline_endsWaitingWithTimeoutText) {
    login = std::make_unique<LoginViewModel>(
        *client, PollTiming{.pollInterval = std::chrono::milliseconds(5),
                            .deadline = std::chrono::milliseconds(150),
                            .successPause = std::chrono::milliseconds(1),
                            .countdownTick = std::chrono::milliseconds(1000)});
    login->setAppState(appState.get());
    login->setRegisterNumberText(QStringLiteral("УП91042312"));
    login->startPush();
    ASSERT_TRUE(eventually([&] { return login->phase() == Phase::Failed; }));
    EXPECT_EQ(login->errorMessage(), QStringLiteral("Хүлээх хугацаа дууслаа."));
}

TEST_F(PushSignInTest, cancel_stopsPollingAndReportsNothing) {
    const auto pending = startAndWaitForPhone(QStringLiteral("УП91042312"));
    login->cancel();
    EXPECT_EQ(login->phase(), Phase::Idle);
    QTest::qWait(30);
    const int polls = requestCount("/web/auth/session/");
    sim->approve(pending.id);
    QTest::qWait(60);
    EXPECT_EQ(requestCount("/web/auth/session/"), polls);
    EXPECT_EQ(login->phase(), Phase::Idle);
    EXPECT_TRUE(login->errorMessage().isEmpty());
    EXPECT_EQ(appState->screen(), AppState::Screen::Login);
}

TEST_F(PushSignInTest, blankNumber_cannotStart) {
    login->setRegisterNumberText(QStringLiteral(" \t\u3000"));
    EXPECT_FALSE(login->canStartPush());
    login->startPush();
    EXPECT_EQ(login->phase(), Phase::Idle);
    QTest::qWait(20);
    EXPECT_EQ(requestCount("/web/auth/initiate"), 0);

    login->setRegisterNumberText(QStringLiteral("\nу"));
    EXPECT_TRUE(login->canStartPush()) << "line breaks are not trimmed";
}

TEST_F(PushSignInTest, countdown_startsAtFiveMinutesTurnsRedAndStopsAtZero) {
    PollTiming timing = fastTiming();
    timing.countdownTick = std::chrono::milliseconds(1);
    login = std::make_unique<LoginViewModel>(*client, timing);
    login->setAppState(appState.get());
    QStringList texts;
    QList<bool> urgent;
    QString textOnEnteringWaiting;
    bool urgentOnEnteringWaiting = true;
    // Ticks are a millisecond apart here, so the first text is read as waiting begins.
    QObject::connect(login.get(), &LoginViewModel::phaseChanged, [&] {
        if (login->phase() == Phase::Waiting) {
            textOnEnteringWaiting = login->countdownText();
            urgentOnEnteringWaiting = login->countdownUrgent();
        }
    });
    QObject::connect(login.get(), &LoginViewModel::countdownChanged, [&] {
        texts.append(login->countdownText());
        urgent.append(login->countdownUrgent());
    });
    startAndWaitForPhone(QStringLiteral("УП91042312"));
    EXPECT_EQ(textOnEnteringWaiting, QStringLiteral("5:00"));
    EXPECT_FALSE(urgentOnEnteringWaiting);
    ASSERT_TRUE(eventually([&] { return login->countdown() == 0; }));
    QTest::qWait(30);

    EXPECT_EQ(login->phase(), Phase::Waiting) << "reaching 0:00 ends nothing by itself";
    EXPECT_EQ(login->countdownText(), QStringLiteral("0:00"));
    ASSERT_EQ(texts.size(), 300);
    EXPECT_EQ(texts.first(), QStringLiteral("4:59"));
    EXPECT_EQ(texts.at(239), QStringLiteral("1:00"));
    EXPECT_FALSE(urgent.at(239));
    EXPECT_EQ(texts.at(240), QStringLiteral("0:59"));
    EXPECT_TRUE(urgent.at(240));
    EXPECT_EQ(texts.last(), QStringLiteral("0:00"));
}

TEST(PushSignInAddress, webSignIn_opensPortalWithUnchangedCallback) {
    EXPECT_EQ(LoginViewModel::webSignInAddress(u"http://127.0.0.1:8080"_qs),
              u"http://127.0.0.1:8080/?callback_uri=selvorlogin://auth/callback"_qs);
}

} // namespace
} // namespace Selvor::Testing
