#include "ReaderlessToken.hpp"
#include "ViewHarness.hpp"
#include "api/APIClient.hpp"
#include "session/AppState.hpp"
#include "shell/updates/AppVersion.hpp"
#include "shell/updates/UpdateStatus.hpp"
#include "shell/updates/Updater.hpp"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QSettings>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

namespace Selvor {
namespace {

using Tab = AppState::SidebarTab;

class ShellViewTest : public ::testing::Test {
protected:
    void SetUp() override { QSettings().remove(u"lastUpdateCheck"_qs); }
    QVariantMap properties() {
        return {{QStringLiteral("appState"), QVariant::fromValue(&appState)},
                {QStringLiteral("tokenManager"), QVariant::fromValue(token.manager())},
                {QStringLiteral("updater"), QVariant::fromValue(updater.get())},
                {QStringLiteral("updateStatus"), QVariant::fromValue(updateStatus.get())}};
    }
    AppState appState;
    Testing::ReaderlessToken token;
    // A feed that takes every request and never answers, so a check runs until it is stopped.
    QTcpServer silentFeed;
    QTemporaryDir updates;
    std::unique_ptr<Updater> updater = std::make_unique<Updater>(UpdaterSettings{
        .feed = QUrl(u"http://127.0.0.1:%1/appcast.xml"_qs.arg(
            silentFeed.listen(QHostAddress::LocalHost) ? silentFeed.serverPort() : 9)),
        .publicKey = {},
        .currentVersion = applicationVersion(),
        .folder = updates.path()});
    std::unique_ptr<UpdateStatus> updateStatus = std::make_unique<UpdateStatus>(updater.get());
};

TEST_F(ShellViewTest, mainWindow_hasDefaultAndMinimumSize) {
    Testing::ViewHarness view(QStringLiteral("shell/Main.qml"), properties());
    EXPECT_EQ(view.window().size(), QSize(860, 620));
    EXPECT_EQ(view.window().minimumSize(), QSize(680, 520));
    EXPECT_EQ(view.window().title(), QStringLiteral("Selvor"));
    EXPECT_TRUE(view.exists(u"loginCard"_qs)) << "signed out shows the sign-in screen";
}

TEST_F(ShellViewTest, sidebar_listsSectionsInGroupOrder) {
    appState.completeSignIn(u"AB1"_qs, QString());
    Testing::ViewHarness view(QStringLiteral("shell/MainView.qml"), properties());
    EXPECT_EQ(view.text(u"sidebarTitle"_qs), u"Selvor"_qs);
    const std::pair<const char*, const char*> rows[] = {{"home", "Нүүр"},
                                                        {"id", "Цахим үнэмлэх"},
                                                        {"logs", "Түүх"},
                                                        {"devices", "Төхөөрөмжүүд"},
                                                        {"security", "Аюулгүй байдал"},
                                                        {"children", "Хүүхэд"},
                                                        {"sign", "Гарын үсэг"},
                                                        {"org", "Байгууллага"},
                                                        {"token", "USB Токен"}};
    qreal previousY = -1;
    for (const auto& [raw, title] : rows) {
        const QString name = u"sidebarRow_"_qs + QString::fromLatin1(raw);
        QQuickItem* row = view.item(name);
        ASSERT_NE(row, nullptr) << raw;
        EXPECT_EQ(view.text(u"sidebarRowTitle_"_qs + QString::fromLatin1(raw)),
                  QString::fromUtf8(title));
        const qreal y = row->mapToScene({0, 0}).y();
        EXPECT_GT(y, previousY) << raw << " is out of order";
        previousY = y;
    }
    for (const char* group : {"Үндсэн", "Байгууллага", "USB Токен"})
        EXPECT_TRUE(view.exists(u"sidebarGroup_"_qs + QString::fromUtf8(group))) << group;
    EXPECT_FALSE(view.property(u"tokenPresenceDot"_qs, "color").value<QColor>() ==
                 QColor(0x0E, 0x9F, 0x6E))
        << "no token yet";
    // Not by colour alone.
    EXPECT_EQ(view.property(u"tokenPresenceDot"_qs, "stateText").toString(),
              u"Токен холбогдоогүй"_qs);
}

TEST_F(ShellViewTest, sidebarSelection_isBoundBothWays) {
    appState.completeSignIn(u"AB1"_qs, QString());
    Testing::ViewHarness view(QStringLiteral("shell/MainView.qml"), properties());
    view.click(u"sidebarRow_token"_qs);
    EXPECT_EQ(appState.selectedTab(), Tab::Token);
    EXPECT_TRUE(view.exists(u"tokenScreen"_qs));

    appState.setSelectedTab(Tab::Org);
    view.settle();
    EXPECT_TRUE(view.exists(u"organizationsView"_qs));
    EXPECT_EQ(view.property(u"sidebarList"_qs, "currentIndex").toInt(), 7);

    view.item(u"sidebarList"_qs)->forceActiveFocus();
    view.pressKey(Qt::Key_Down);
    EXPECT_EQ(appState.selectedTab(), Tab::Token) << "arrow keys move the selection";
}

TEST_F(ShellViewTest, mainView_opensOnTheSectionAlreadySelected) {
    appState.completeSignIn(u"AB1"_qs, QString());
    appState.setSelectedTab(Tab::Org);
    Testing::ViewHarness view(QStringLiteral("shell/MainView.qml"), properties());
    EXPECT_EQ(appState.selectedTab(), Tab::Org);
    EXPECT_EQ(view.property(u"sidebarList"_qs, "currentIndex").toInt(), 7);
    EXPECT_TRUE(view.exists(u"organizationsView"_qs));
}

TEST_F(ShellViewTest, updateStatus_showsVersionThenKeepsTheCheckTimeAcrossRestarts) {
    appState.completeSignIn(u"AB1"_qs, QString());
    {
        Testing::ViewHarness view(QStringLiteral("shell/MainView.qml"), properties());
        EXPECT_EQ(view.text(u"updateStatusText"_qs), u"v"_qs + applicationVersion());
        EXPECT_FALSE(view.visible(u"lastCheckText"_qs)) << "no check stored yet";

        view.click(u"updateStatusButton"_qs);
        const QString stored = QSettings().value(u"lastUpdateCheck"_qs).toString();
        EXPECT_TRUE(
            QRegularExpression(u"^\\d\\d/\\d\\d \\d\\d:\\d\\d$"_qs).match(stored).hasMatch())
            << stored.toStdString();
        EXPECT_EQ(stored, QDateTime::currentDateTime().toString(u"MM/dd HH:mm"_qs));
        EXPECT_EQ(view.text(u"lastCheckText"_qs), u"Шалгасан: "_qs + stored);
        updater->cancel();
    }
    // A restart: a fresh status reads the stored text.
    QSettings().setValue(u"lastUpdateCheck"_qs, u"03/07 14:05"_qs);
    updateStatus = std::make_unique<UpdateStatus>(updater.get());
    Testing::ViewHarness view(QStringLiteral("shell/MainView.qml"), properties());
    EXPECT_EQ(view.text(u"lastCheckText"_qs), u"Шалгасан: 03/07 14:05"_qs);

    emit updater->updateFound();
    view.settle();
    EXPECT_EQ(view.text(u"updateStatusText"_qs), u"Шинэчлэлт байна!"_qs);
}

TEST_F(ShellViewTest, applicationMenu_opensByF10OrItsTitle_andItsTitleClosesItAgain) {
    Testing::ViewHarness view(QStringLiteral("shell/Main.qml"), properties());
    // The window's shortcuts answer only in the active window.
    view.window().requestActivate();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view.window()));
    const auto menuShown = [&] {
        return view.exists(u"aboutMenuItem"_qs) && view.visible(u"aboutMenuItem"_qs);
    };
    view.pressKey(Qt::Key_F10);
    ASSERT_TRUE(view.waitFor(menuShown));
    view.pressKey(Qt::Key_Escape);
    ASSERT_TRUE(view.waitFor([&] { return !menuShown(); }));

    view.click(u"menuBarItem_Selvor"_qs);
    ASSERT_TRUE(view.waitFor(menuShown));
    view.click(u"menuBarItem_Selvor"_qs);
    EXPECT_TRUE(view.waitFor([&] { return !menuShown(); }))
        << "a click on the open menu's title closes it, not closes and reopens it";
    EXPECT_EQ(view.focusedName(), u"registerNumberField"_qs) << "typing goes on where it was";
}

TEST_F(ShellViewTest, menuCommand_isDisabledWhileACheckRuns_theSidebarButtonIsNot) {
    appState.completeSignIn(u"AB1"_qs, QString());
    Testing::ViewHarness view(QStringLiteral("shell/Main.qml"), properties());
    view.click(u"menuBarItem_Selvor"_qs);
    EXPECT_TRUE(view.enabled(u"checkForUpdatesMenuItem"_qs));
    view.pressKey(Qt::Key_Escape);

    ASSERT_TRUE(updater->checkAutomatically());
    view.click(u"menuBarItem_Selvor"_qs);
    EXPECT_FALSE(view.enabled(u"checkForUpdatesMenuItem"_qs)) << "the quiet check runs";
    view.pressKey(Qt::Key_Escape);
    EXPECT_TRUE(view.enabled(u"updateStatusButton"_qs));

    view.click(u"updateStatusButton"_qs);
    EXPECT_EQ(view.text(u"updateDialogTitle"_qs), u"Шинэчлэлт шалгаж байна"_qs)
        << "the running check now reports to the user";
    view.pressKey(Qt::Key_Escape);
    EXPECT_EQ(updater->phase(), Updater::Phase::Idle) << "Escape stops the check";
    EXPECT_TRUE(updater->canCheckForUpdates());
}

TEST_F(ShellViewTest, about_showsTheEnvironmentsAddressExactly_andEditingChangesNothingElse) {
    const QByteArray address = "http://127.0.0.1:9/api?x=<b>1</b>&y=%20";
    qputenv("API_BASE_URL", address);
    Testing::ViewHarness view(QStringLiteral("shell/SettingsWindow.qml"));
    EXPECT_EQ(view.window().size(), QSize(420, 200));
    EXPECT_EQ(view.text(u"apiUrlField"_qs), QString::fromUtf8(address));
    EXPECT_EQ(view.text(u"versionValue"_qs), applicationVersion());
    EXPECT_FALSE(view.text(u"teamValue"_qs).isEmpty());
    view.captureScreens(u"about"_qs);

    view.typeText(u"apiUrlField"_qs, u"/elsewhere"_qs);
    EXPECT_EQ(qgetenv("API_BASE_URL"), address);
    EXPECT_EQ(APIClient::configuredBaseURL(), QString::fromUtf8(address));
    EXPECT_TRUE(QSettings().allKeys().isEmpty()) << "the field is not stored";
    qputenv("API_BASE_URL", "http://127.0.0.1:9");
}

} // namespace
} // namespace Selvor
