#include "Road.hpp"

#include <QFileInfo>
#include <QGuiApplication>
#include <QQuickWindow>
#include <QTest>

namespace Selvor::Testing {
namespace {

// The simulator's package is 4 MiB, fetched and verified in seconds even under ASan; this bounds a
// hang only. Longer than the updater's one-minute idle limit, so that a transfer that stalls fails
// with the updater's own message.
constexpr int downloadTimeoutMs = 75'000;

class UpdateRoad : public Road {
protected:
    void SetUp() override {
        sim().setAppcast("1.1.0", "signed");
        Road::SetUp();
    }

    [[nodiscard]] bool dialogOpen() const {
        return ui.exists(u"updateDialogTitle"_qs) && ui.visible(u"updateDialogTitle"_qs);
    }
    // Where a download stopped: the dialog's title, its progress line and its error.
    [[nodiscard]] std::string dialogState() const {
        return (ui.text(u"updateDialogTitle"_qs) + u" | "_qs + ui.text(u"updateProgressText"_qs) +
                u" | "_qs + ui.text(u"updateDialogError"_qs))
            .toStdString();
    }
    [[nodiscard]] bool dialogShows(const QString& title) const {
        return dialogOpen() && ui.text(u"updateDialogTitle"_qs) == title;
    }
    void chooseInMenu(const QString& item) {
        ui.click(u"menuBarItem_Selvor"_qs);
        ASSERT_TRUE(ui.waitFor([&] { return ui.exists(item) && ui.visible(item); }));
        ui.click(item);
    }
    [[nodiscard]] static QQuickWindow* settingsWindow() {
        for (QWindow* window : QGuiApplication::topLevelWindows()) {
            if (window->objectName() == u"settingsWindow"_qs && window->isVisible())
                return qobject_cast<QQuickWindow*>(window);
        }
        return nullptr;
    }
};

// A new user's app finds the newer version by itself at start, without a word; the user checks
// from the sidebar, downloads it, has it verified and opened by the installer; the check time
// survives a restart; About names the version and the service.
TEST_F(UpdateRoad, quietCheckThenDownloadVerifiedUpdateAndReadAbout) {
    ASSERT_NO_FATAL_FAILURE(signInByPush(firstPerson()));
    EXPECT_FALSE(ui.visible(u"lastCheckText"_qs));
    ASSERT_TRUE(ui.waitFor(
        [&] { return ui.text(u"updateStatusText"_qs) == u"Шинэчлэлт байна!"_qs; }, 10000))
        << "the check at start found 1.1.0";
    EXPECT_FALSE(dialogOpen()) << "a quiet check shows no dialog";

    ui.click(u"updateStatusButton"_qs);
    ASSERT_TRUE(ui.waitFor([&] { return dialogShows(u"Шинэ хувилбар гарлаа"_qs); }));
    const QString checked = ui.text(u"lastCheckText"_qs);
    EXPECT_TRUE(checked.startsWith(u"Шалгасан: "_qs)) << checked.toStdString();
    EXPECT_TRUE(ui.text(u"updateDialogMessage"_qs).contains(u"1.1.0"_qs));
    // Return presses the focused button, the one that moves on, once the dialog has put it there.
    ASSERT_TRUE(ui.waitFor([&] { return ui.focusedName() == u"updatePrimaryButton"_qs; }))
        << ui.focusedName().toStdString();
    ui.pressKey(Qt::Key_Return);
    ASSERT_TRUE(
        ui.waitFor([&] { return dialogShows(u"Шинэчлэлт суулгахад бэлэн"_qs); }, downloadTimeoutMs))
        << dialogState();
    ui.click(u"updatePrimaryButton"_qs);
    ASSERT_EQ(browser->opened.size(), 1);
    const QUrl package = browser->opened.front();
    EXPECT_TRUE(package.isLocalFile());
    EXPECT_EQ(QFileInfo(package.toLocalFile()).fileName(), u"selvor_1.1.0_amd64.deb"_qs);
    EXPECT_TRUE(QFileInfo::exists(package.toLocalFile()));
    EXPECT_TRUE(ui.waitFor([&] { return !dialogOpen(); }));

    ASSERT_NO_FATAL_FAILURE(restart());
    ASSERT_NO_FATAL_FAILURE(signInByPush(firstPerson()));
    EXPECT_EQ(ui.text(u"lastCheckText"_qs), checked);
    EXPECT_EQ(ui.text(u"updateStatusText"_qs), u"v1.0.0"_qs) << "at most one quiet check a day";

    ASSERT_NO_FATAL_FAILURE(chooseInMenu(u"aboutMenuItem"_qs));
    ASSERT_TRUE(ui.waitFor([&] { return settingsWindow() != nullptr; }));
    WindowDriver about(settingsWindow());
    EXPECT_EQ(about.window().size(), QSize(420, 200));
    EXPECT_EQ(about.text(u"apiUrlField"_qs), QString::fromStdString(sim().baseUrl()));
    EXPECT_EQ(about.text(u"versionValue"_qs), u"1.0.0"_qs);
    about.window().requestActivate();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&about.window()));
    about.pressKey(Qt::Key_Escape);
    ASSERT_TRUE(ui.waitFor([&] { return settingsWindow() == nullptr; }));

    app->window()->requestActivate();
    ASSERT_TRUE(QTest::qWaitForWindowActive(app->window()));
    ui.pressKey(Qt::Key_Comma, Qt::ControlModifier);
    EXPECT_TRUE(ui.waitFor([&] { return settingsWindow() != nullptr; })) << "Ctrl+, opens settings";
}

// A download whose bytes do not match their signature is refused, deleted, and explained.
TEST_F(UpdateRoad, tamperedDownloadIsRefused) {
    sim().setAppcast("1.2.0", "tampered");
    ASSERT_NO_FATAL_FAILURE(signInByPush(firstPerson()));
    ASSERT_NO_FATAL_FAILURE(chooseInMenu(u"checkForUpdatesMenuItem"_qs));
    ASSERT_TRUE(ui.waitFor([&] { return dialogShows(u"Шинэ хувилбар гарлаа"_qs); }));
    ui.click(u"updatePrimaryButton"_qs);
    ASSERT_TRUE(ui.waitFor([&] { return dialogShows(u"Шинэчлэлт татаж чадсангүй"_qs); },
                           downloadTimeoutMs));
    EXPECT_EQ(ui.text(u"updateDialogError"_qs),
              u"Татсан файлын гарын үсэг баталгаажсангүй. Файлыг устгалаа."_qs);
    ui.pressKey(Qt::Key_Escape);
    EXPECT_TRUE(ui.waitFor([&] { return !dialogOpen(); }));
    EXPECT_TRUE(browser->opened.isEmpty()) << "nothing reaches the installer";
}

} // namespace
} // namespace Selvor::Testing
