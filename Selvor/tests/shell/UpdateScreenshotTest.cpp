#include "ReaderlessToken.hpp"
#include "UpdateFlows.hpp"
#include "ViewHarness.hpp"
#include "session/AppState.hpp"
#include "shell/updates/UpdateStatus.hpp"

namespace Selvor::Testing {
namespace {

using Phase = Updater::Phase;

// The sidebar's foot and each state of the update dialog over the signed-in window.
class UpdateScreenshots : public UpdateFlows {
protected:
    void SetUp() override {
        UpdateFlows::SetUp();
        appState.completeSignIn(u"УП91042312"_qs, u"Батболд Тэмүүжин"_qs);
        view = std::make_unique<ViewHarness>(
            QStringLiteral("shell/Main.qml"),
            QVariantMap{{QStringLiteral("appState"), QVariant::fromValue(&appState)},
                        {QStringLiteral("tokenManager"), QVariant::fromValue(token.manager())},
                        {QStringLiteral("updater"), QVariant::fromValue(updater.get())},
                        {QStringLiteral("updateStatus"), QVariant::fromValue(&status)}});
    }
    void reach(Phase phase) {
        ASSERT_TRUE(view->waitFor([&] { return updater->phase() == phase; }, 10000))
            << updater->errorText().toStdString();
        view->settle(350);
    }

    AppState appState;
    ReaderlessToken token;
    UpdateStatus status{updater.get()};
    std::unique_ptr<ViewHarness> view;
};

TEST_F(UpdateScreenshots, offerDownloadAndReady) {
    view->click(u"updateStatusButton"_qs);
    reach(Phase::UpdateAvailable);
    EXPECT_EQ(view->text(u"updateDialogTitle"_qs), u"Шинэ хувилбар гарлаа"_qs);
    view->captureScreens(u"update-available"_qs);

    processSim().addFault({.path = "/downloads/*", .kind = "stall", .stallMs = 1500});
    view->pressKey(Qt::Key_Return);
    reach(Phase::Downloading);
    view->captureScreens(u"update-downloading"_qs);
    reach(Phase::ReadyToInstall);
    view->captureScreens(u"update-ready"_qs);

    view->click(u"updateLaterButton"_qs);
    reach(Phase::Idle);
    EXPECT_EQ(view->text(u"updateStatusText"_qs), u"Шинэчлэлт байна!"_qs);
    view->captureScreens(u"update-sidebar-found"_qs);
}

TEST_F(UpdateScreenshots, currentAndFailures) {
    processSim().setAppcast("1.0.0", "signed");
    view->click(u"updateStatusButton"_qs);
    reach(Phase::UpToDate);
    view->captureScreens(u"update-current"_qs);
    view->pressKey(Qt::Key_Return);
    reach(Phase::Idle);
    view->captureScreens(u"update-sidebar"_qs);

    processSim().setAppcast("1.1.0", "malformed");
    view->click(u"updateStatusButton"_qs);
    reach(Phase::CheckFailed);
    view->captureScreens(u"update-check-failed"_qs);
    view->pressKey(Qt::Key_Escape);

    processSim().setAppcast("1.1.0", "tampered");
    view->click(u"updateStatusButton"_qs);
    reach(Phase::UpdateAvailable);
    view->pressKey(Qt::Key_Return);
    reach(Phase::DownloadFailed);
    view->captureScreens(u"update-download-failed"_qs);
}

} // namespace
} // namespace Selvor::Testing
