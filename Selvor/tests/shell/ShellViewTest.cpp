#include "ReaderlessToken.hpp"
#include "ViewHarness.hpp"
#include "session/AppState.hpp"

#include <gtest/gtest.h>

#include <QQuickItem>
#include <QQuickWindow>

namespace Selvor {
namespace {

using Tab = AppState::SidebarTab;

class ShellViewTest : public ::testing::Test {
protected:
    QVariantMap properties() {
        return {{QStringLiteral("appState"), QVariant::fromValue(&appState)},
                {QStringLiteral("tokenManager"), QVariant::fromValue(token.manager())}};
    }
    AppState appState;
    Testing::ReaderlessToken token;
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

} // namespace
} // namespace Selvor
