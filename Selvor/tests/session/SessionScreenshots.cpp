#include "ReaderlessToken.hpp"
#include "SignInFixture.hpp"
#include "ViewHarness.hpp"
#include "shell/updates/UpdateStatus.hpp"
#include "shell/updates/Updater.hpp"

#include <QFileInfo>
#include <QQuickItem>

namespace Selvor::Testing {
namespace {

using Phase = LoginViewModel::Phase;

// Renders the sign-in screen in each of its states, and the main window, in light and dark.
class SessionScreenshots : public SignInFixture {
protected:
    void SetUp() override {
        SignInFixture::SetUp();
        // Seconds on screen, so nothing moves on while the pictures are taken.
        login = std::make_unique<LoginViewModel>(
            *client, PollTiming{.pollInterval = std::chrono::milliseconds(20),
                                .deadline = std::chrono::seconds(60),
                                .successPause = std::chrono::seconds(60),
                                .countdownTick = std::chrono::seconds(1)});
        login->setAppState(appState.get());
    }
    void TearDown() override {
        view.reset();
        SignInFixture::TearDown();
    }

    void openLogin() {
        view = std::make_unique<ViewHarness>(
            QStringLiteral("session/LoginView.qml"),
            QVariantMap{{QStringLiteral("appState"), QVariant::fromValue(appState.get())},
                        {QStringLiteral("viewModel"), QVariant::fromValue(login.get())}});
    }
    void shoot(const QString& name) {
        for (const QString& path : view->saveScreenshots(name))
            EXPECT_GT(QFileInfo(path).size(), 1000) << path.toStdString();
    }
    void startPush() {
        view->typeText(u"registerNumberField"_qs, u"УП91042312"_qs);
        view->click(u"signInButton"_qs);
    }

    // The main window's token manager; outlives the view, which TearDown resets.
    ReaderlessToken token;
    Updater updater;
    UpdateStatus updateStatus{&updater};
    std::unique_ptr<ViewHarness> view;
};

TEST_F(SessionScreenshots, idleRegisterNumber) {
    openLogin();
    // Nothing typed yet: "Нэвтрэх" must look as disabled as it is, in both appearances.
    shoot(u"signin-idle-empty"_qs);
    view->typeText(u"registerNumberField"_qs, u"УП91042312"_qs);
    shoot(u"signin-idle-register-number"_qs);
}

TEST_F(SessionScreenshots, idleQR) {
    openLogin();
    view->click(u"methodQrCode"_qs);
    ASSERT_TRUE(view->waitFor([&] { return login->hasQrImage(); }));
    shoot(u"signin-idle-qr"_qs);
}

TEST_F(SessionScreenshots, sending) {
    SelvorSimTesting::Fault stall;
    stall.path = "/web/auth/initiate";
    stall.kind = "stall";
    stall.stallMs = 5000;
    sim->addFault(stall);
    openLogin();
    startPush();
    ASSERT_EQ(login->phase(), Phase::Sending);
    shoot(u"signin-sending"_qs);
}

TEST_F(SessionScreenshots, waitingWithCode) {
    openLogin();
    startPush();
    ASSERT_TRUE(view->waitFor([&] { return login->phase() == Phase::Waiting; }));
    shoot(u"signin-waiting"_qs);
}

TEST_F(SessionScreenshots, success) {
    answerWith("/web/auth/session/*", R"({"state":"COMPLETE","result":"OK"})");
    openLogin();
    startPush();
    ASSERT_TRUE(view->waitFor([&] { return login->phase() == Phase::Success; }));
    shoot(u"signin-success"_qs);
}

TEST_F(SessionScreenshots, error) {
    answerWith("/web/auth/session/*", R"({"state":"COMPLETE","result":"REFUSED"})");
    openLogin();
    startPush();
    ASSERT_TRUE(view->waitFor([&] { return login->phase() == Phase::Failed; }));
    shoot(u"signin-error"_qs);
}

TEST_F(SessionScreenshots, mainWindow) {
    appState->completeSignIn(u"УП91042312"_qs, u"Батболд Тэмүүжин"_qs);
    view = std::make_unique<ViewHarness>(
        QStringLiteral("shell/Main.qml"),
        QVariantMap{{QStringLiteral("appState"), QVariant::fromValue(appState.get())},
                    {QStringLiteral("tokenManager"), QVariant::fromValue(token.manager())},
                    {QStringLiteral("updater"), QVariant::fromValue(&updater)},
                    {QStringLiteral("updateStatus"), QVariant::fromValue(&updateStatus)}});
    // The sidebar holds the keys first, then the section's content: each shows its ring.
    view->item(u"sidebarList"_qs)->forceActiveFocus();
    shoot(u"main-window"_qs);
    view->item(u"dashboardView"_qs)->forceActiveFocus();
    shoot(u"main-window-content-focus"_qs);
}

} // namespace
} // namespace Selvor::Testing
