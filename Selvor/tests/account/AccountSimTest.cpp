#include "SignedInAccount.hpp"
#include "ViewHarness.hpp"

#include <gtest/gtest.h>

namespace Selvor {
namespace {

using SelvorSimTesting::SimProcess;
using Testing::SignedInAccount;
using Testing::ViewHarness;

QVariantMap withAppState(AppState& appState) {
    return {{u"appState"_qs, QVariant::fromValue(&appState)}};
}

TEST(AccountScreensOverSimulator, home_whenShown_reloadsAndGreetsByServiceName) {
    SignedInAccount account;
    ViewHarness view(u"account/DashboardView.qml"_qs, withAppState(account.appState()),
                     QSize(660, 620));

    EXPECT_TRUE(view.waitFor([&] { return account.takeDashboardRequests() > 0; }));
    EXPECT_EQ(view.text(u"greeting"_qs),
              u"Сайн байна уу, "_qs + QString::fromUtf8(SimProcess::seededFullName) + u'!');
    EXPECT_EQ(view.text(u"initials"_qs), u"БТ"_qs);
    EXPECT_FALSE(view.visible(u"noDevices"_qs));
    EXPECT_LE(view.items(u"activityRow"_qs).size(), 5);
}

TEST(AccountScreensOverSimulator, security_showsTheServicesKycLevel) {
    SignedInAccount account;
    ViewHarness view(u"account/SecurityView.qml"_qs, withAppState(account.appState()),
                     QSize(660, 620));

    EXPECT_FALSE(account.appState().kycLevel().isEmpty());
    EXPECT_EQ(view.text(u"kycLevel"_qs), account.appState().kycLevel());
}

// A failed load shows why, in place of figures that would read as the person's own, until a
// retry succeeds.
TEST(AccountScreensOverSimulator, failedLoad_showsItsReasonInsteadOfFigures_untilRetried) {
    SignedInAccount account;
    AppState& appState = account.appState();
    appState.signOut();
    account.sim().addFault({.path = "/web/dashboard",
                            .kind = "status",
                            .status = 503,
                            .body = R"({"code":503,"error":"Засвартай"})"});
    appState.completeSignIn(QString::fromUtf8(SimProcess::seededNationalId), QString());
    ViewHarness home(u"account/DashboardView.qml"_qs, withAppState(appState), QSize(660, 620));
    ASSERT_TRUE(home.waitFor([&] { return home.visible(u"loadNotice"_qs); }));
    EXPECT_EQ(home.text(u"loadNoticeText"_qs), u"Сервер алдаа (503): Засвартай"_qs);
    EXPECT_FALSE(home.visible(u"statCard0"_qs));
    EXPECT_FALSE(home.visible(u"noDevices"_qs));
    EXPECT_TRUE(home.visible(u"greeting"_qs));
    {
        ViewHarness devices(u"account/DevicesView.qml"_qs, withAppState(appState), QSize(660, 620));
        EXPECT_TRUE(devices.visible(u"loadNotice"_qs));
        EXPECT_FALSE(devices.visible(u"noDevices"_qs));
    }

    account.sim().clearFaults();
    home.click(u"retryLoadButton"_qs);
    ASSERT_TRUE(home.waitFor([&] { return appState.hasDashboardData(); }));
    home.settle();
    EXPECT_FALSE(home.visible(u"loadNotice"_qs));
    EXPECT_TRUE(home.visible(u"statCard0"_qs));
    EXPECT_TRUE(appState.dashboardError().isEmpty());
}

} // namespace
} // namespace Selvor
