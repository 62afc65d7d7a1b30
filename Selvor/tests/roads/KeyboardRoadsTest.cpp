#include "Road.hpp"

#include <algorithm>

#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

namespace Selvor::Testing {
namespace {

using KeyboardRoad = Road;

// Without a mouse: the sign-in field has the focus from the start, Return signs in, Tab reaches
// the update check and "Гарах", Ctrl+, and Escape open and close the settings; the QR code is a
// Shift+Tab and an arrow away.
TEST_F(KeyboardRoad, signInCheckSettingsAndSignOut) {
    EXPECT_EQ(ui.focusedName(), u"registerNumberField"_qs);
    ui.typeKeys(firstPerson().nationalID);
    ui.pressKey(Qt::Key_Return);
    std::vector<SelvorSimTesting::PendingRequest> pending;
    ASSERT_TRUE(ui.waitFor([&] {
        pending = sim().pending();
        return !pending.empty();
    }));
    ASSERT_TRUE(ui.waitFor([&] { return ui.exists(u"countdownText"_qs); }));
    ui.pressKey(Qt::Key_Escape);
    ASSERT_TRUE(ui.waitFor([&] { return ui.exists(u"registerNumberForm"_qs); }))
        << "Escape cancels the wait as the button does";
    ASSERT_TRUE(ui.tabTo(u"signInButton"_qs));
    const std::string cancelled = pending.front().id;
    ui.pressKey(Qt::Key_Return);
    ASSERT_TRUE(ui.waitFor([&] {
        pending = sim().pending();
        return std::any_of(pending.begin(), pending.end(),
                           [&](const auto& p) { return p.id != cancelled; });
    }));
    for (const auto& request : pending)
        if (request.id != cancelled)
            sim().approve(request.id);
    ASSERT_TRUE(ui.waitFor([&] { return onMainView(); }, 8000));

    ASSERT_TRUE(ui.waitFor([&] { return ui.focusedName() == u"sidebarRow_home"_qs; }))
        << "the sections take the keys as the main view opens";
    ui.pressKey(Qt::Key_Down);
    EXPECT_EQ(appState().selectedTab(), AppState::SidebarTab::Id);
    ASSERT_TRUE(ui.tabTo(u"identityView"_qs)) << "the section's content takes the keys too";
    EXPECT_TRUE(ui.visible(u"scrollPageFocusRing"_qs));
    ui.pressKey(Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_TRUE(ui.tabTo(u"updateStatusButton"_qs));
    ui.pressKey(Qt::Key_Return);
    ASSERT_TRUE(ui.waitFor([&] { return ui.exists(u"updateDialogTitle"_qs); }));
    ui.pressKey(Qt::Key_Escape);
    EXPECT_TRUE(ui.waitFor([&] { return !ui.exists(u"updateDialogTitle"_qs); }));

    ui.pressKey(Qt::Key_Comma, Qt::ControlModifier);
    const QWindow* main = app->window();
    ASSERT_TRUE(ui.waitFor([&] { return QGuiApplication::focusWindow() != main; }));
    EXPECT_EQ(QGuiApplication::focusWindow()->objectName(), u"settingsWindow"_qs);
    QTest::keyClick(QGuiApplication::focusWindow(), Qt::Key_Escape);
    ASSERT_TRUE(ui.waitFor([&] { return QGuiApplication::focusWindow() == main; }));

    ASSERT_TRUE(ui.tabTo(u"signOutButton"_qs));
    ui.pressKey(Qt::Key_Return);
    ASSERT_TRUE(ui.waitFor([&] { return onSignInScreen(); }));

    ASSERT_TRUE(ui.waitFor([&] { return ui.focusedName() == u"registerNumberField"_qs; }));
    ASSERT_TRUE(ui.tabTo(u"methodRegisterNumber"_qs, Qt::ShiftModifier));
    ui.pressKey(Qt::Key_Right);
    EXPECT_TRUE(ui.waitFor([&] { return ui.visible(u"qrImage"_qs); }));
}

// Every section by keyboard alone: the arrows choose it in the sidebar, Tab takes the keys into
// its content, Page Down and End move there without losing them, and Shift+Tab leads back.
TEST_F(KeyboardRoad, everySectionTakesTheKeysAndMovesByThem) {
    ASSERT_NO_FATAL_FAILURE(signInOnPortal(firstPerson()));
    ASSERT_TRUE(ui.waitFor([&] { return ui.focusedName() == u"sidebarRow_home"_qs; }));
    const auto focusInside = [&](const QString& section) {
        for (QQuickItem* at = ui.window().activeFocusItem(); at; at = at->parentItem())
            if (at->objectName() == section)
                return true;
        return false;
    };
    // The children section is a placeholder without anything to reach.
    const QString sections[] = {u"dashboardView"_qs, u"identityView"_qs,      u"historyView"_qs,
                                u"devicesView"_qs,   u"securityView"_qs,      u"childrenView"_qs,
                                u"cloudSignView"_qs, u"organizationsView"_qs, u"tokenScreen"_qs};
    for (const QString& section : sections) {
        SCOPED_TRACE(section.toStdString());
        if (section != sections[0])
            ui.pressKey(Qt::Key_Down);
        ASSERT_TRUE(ui.waitFor([&] { return ui.exists(section); }));
        if (section == u"childrenView"_qs)
            continue;
        const QString row = ui.focusedName();
        for (int step = 0; step < 4 && !focusInside(section); ++step)
            ui.pressKey(Qt::Key_Tab);
        ASSERT_TRUE(focusInside(section)) << "Tab reaches the content";
        for (const Qt::Key key : {Qt::Key_PageDown, Qt::Key_End, Qt::Key_Home})
            ui.pressKey(key);
        EXPECT_TRUE(focusInside(section)) << "the keys move within it";
        ASSERT_TRUE(ui.tabTo(row, Qt::ShiftModifier));
    }
}

} // namespace
} // namespace Selvor::Testing
