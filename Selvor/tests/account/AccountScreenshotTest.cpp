#include "SignedInAccount.hpp"
#include "ViewHarness.hpp"
#include "session/AppState.hpp"

#include <gtest/gtest.h>

namespace Selvor {
namespace {

using Testing::SignedInAccount;
using Testing::ViewHarness;

// The detail column of the default 860-point window beside its 200-point sidebar.
const QSize detailSize(660, 620);

// Renders a view in light and dark appearance into build/screenshots.
void capture(const QString& view, const QString& name, AppState* appState) {
    QVariantMap properties;
    if (appState)
        properties.insert(u"appState"_qs, QVariant::fromValue(appState));
    ViewHarness harness(u"account/"_qs + view, properties, detailSize);
    harness.captureScreens(u"account-"_qs + name);
}

// The screens show the simulator's seeded person, loaded over HTTP as in the application.
class AccountScreenshots : public ::testing::Test {
protected:
    SignedInAccount account;
    AppState& appState = account.appState();
};

TEST_F(AccountScreenshots, homeWithData) {
    capture(u"DashboardView.qml"_qs, u"home"_qs, &appState);
}

TEST_F(AccountScreenshots, homeEmpty) {
    AppState signedOut;
    capture(u"DashboardView.qml"_qs, u"home-empty"_qs, &signedOut);
}

TEST_F(AccountScreenshots, homeLoadFailed) {
    appState.signOut();
    account.sim().addFault({.path = "/web/dashboard", .kind = "status", .status = 502});
    appState.completeSignIn(QString::fromUtf8(SelvorSimTesting::SimProcess::seededNationalId),
                            QString());
    capture(u"DashboardView.qml"_qs, u"home-load-failed"_qs, &appState);
}

TEST_F(AccountScreenshots, identity) {
    capture(u"IdentityView.qml"_qs, u"identity"_qs, &appState);
}

TEST_F(AccountScreenshots, history) {
    capture(u"HistoryView.qml"_qs, u"history"_qs, &appState);
}

TEST_F(AccountScreenshots, devices) {
    capture(u"DevicesView.qml"_qs, u"devices"_qs, &appState);
}

TEST_F(AccountScreenshots, security) {
    capture(u"SecurityView.qml"_qs, u"security"_qs, &appState);
}

TEST_F(AccountScreenshots, children) {
    capture(u"ChildrenView.qml"_qs, u"children"_qs, nullptr);
}

} // namespace
} // namespace Selvor
