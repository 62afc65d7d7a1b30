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

} // namespace
} // namespace Selvor
