#include "SignedInAccount.hpp"
#include "ViewHarness.hpp"
#include "session/AppState.hpp"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>

namespace Selvor {
namespace {

using Testing::SignedInAccount;
using Testing::ViewHarness;

// The detail column of the default 860-point window beside its 200-point sidebar.
const QSize detailSize(660, 620);

// Renders a view in light and dark appearance into build/screenshots and checks that each
// picture has the window's size and is more than a blank background.
void capture(const QString& view, const QString& name, AppState* appState) {
    QVariantMap properties;
    if (appState)
        properties.insert(u"appState"_qs, QVariant::fromValue(appState));
    ViewHarness harness(u"account/"_qs + view, properties, detailSize);
    harness.settle(200);
    for (const QString& path : harness.saveScreenshots(u"account-"_qs + name)) {
        SCOPED_TRACE(path.toStdString());
        const QImage image(path);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size() / image.devicePixelRatio(), detailSize);
        const QRgb background = image.pixel(image.width() - 2, image.height() - 2);
        int differing = 0;
        for (int y = 0; y < image.height(); y += 4) {
            for (int x = 0; x < image.width(); x += 4)
                differing += image.pixel(x, y) != background ? 1 : 0;
        }
        EXPECT_GT(differing, 100) << "the picture is almost blank";
    }
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
