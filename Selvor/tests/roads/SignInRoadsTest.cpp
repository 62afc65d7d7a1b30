#include "Road.hpp"

#include "session/AppState.hpp"

#include <QQuickItem>
#include <QTest>

namespace Selvor::Testing {
namespace {

enum class Method { Push, QR, Portal };

// A dashboard that names the person otherwise than the sign-in did, as the service may.
const QString dashboardName = QStringLiteral("Тэмүүжин Батболд-Очирын Их Урт Нэр");

QString greetingFor(const QString& name) {
    return QStringLiteral("Сайн байна уу, ") + name + QStringLiteral("!");
}

class SignInRoad : public Road, public ::testing::WithParamInterface<Method> {
protected:
    // Signs the person in by the road's method; on the portal they type `portalName`.
    void signIn(const Person& person, const QString& portalName = {}) {
        switch (GetParam()) {
        case Method::Push:
            return signInByPush(person);
        case Method::QR:
            return signInByQR(person);
        case Method::Portal:
            return signInOnPortal(person, portalName);
        }
    }

    QString cardValue(int card) {
        return ui.item(QStringLiteral("statCard%1").arg(card))
            ->findChild<QQuickItem*>(QStringLiteral("cardValue"))
            ->property("text")
            .toString();
    }
};

// The name that signed in is shown at once and gives way to the dashboard's, which used to
// rebuild the stat cards under a layout that still polished the old ones.
TEST_P(SignInRoad, dashboardWithAnotherNameReplacesTheSignedInOne) {
    answerDashboardWith(dashboardJson(firstPerson(), dashboardName));
    ASSERT_NO_FATAL_FAILURE(signIn(firstPerson(), QStringLiteral("Бат")));
    ASSERT_TRUE(ui.waitFor([&] { return ui.items(QStringLiteral("deviceRow")).size() == 3; }));
    EXPECT_EQ(ui.text(QStringLiteral("greeting")), greetingFor(dashboardName));
    EXPECT_EQ(cardValue(1), QStringLiteral("2"));
    EXPECT_EQ(cardValue(2), QStringLiteral("41"));
    EXPECT_EQ(cardValue(3), QStringLiteral("2026-12-01T09:30"));
    EXPECT_EQ(ui.items(QStringLiteral("activityRow")).size(), 5);

    visit(QStringLiteral("id"));
    ASSERT_TRUE(ui.waitFor([&] { return ui.exists(QStringLiteral("identityView")); }));
    EXPECT_EQ(ui.text(QStringLiteral("fullName")), dashboardName);
    visit(QStringLiteral("home"));
    ASSERT_TRUE(ui.waitFor([&] { return ui.exists(QStringLiteral("dashboardView")); }));
    EXPECT_EQ(ui.text(QStringLiteral("greeting")), greetingFor(dashboardName));
}

// A failed load keeps the signed-in name and says why where the figures would be, so that no
// zero reads as the person's own, on every screen that shows them; a retry brings them.
TEST_P(SignInRoad, failedDashboardSaysWhyUntilARetryLoadsIt) {
    failDashboard(500);
    ASSERT_NO_FATAL_FAILURE(signIn(firstPerson()));
    ASSERT_TRUE(ui.waitFor([&] {
        return ui.exists(QStringLiteral("loadNotice")) && ui.visible(QStringLiteral("loadNotice"));
    }));
    EXPECT_EQ(ui.text(QStringLiteral("greeting")), greetingFor(firstPerson().fullName));
    EXPECT_TRUE(ui.text(QStringLiteral("loadNoticeText")).startsWith(u"Сервер алдаа (500)"));
    EXPECT_FALSE(ui.visible(QStringLiteral("statCard0")));
    EXPECT_FALSE(ui.visible(QStringLiteral("noDevices")));
    visit(QStringLiteral("devices"));
    EXPECT_TRUE(ui.waitFor([&] { return ui.visible(QStringLiteral("loadNotice")); }));
    EXPECT_FALSE(ui.visible(QStringLiteral("noDevices")));

    sim().clearFaults();
    ui.click(QStringLiteral("retryLoadButton"));
    ASSERT_TRUE(ui.waitFor([&] { return ui.items(QStringLiteral("devicePanel")).size() > 0; }));
    EXPECT_FALSE(ui.exists(QStringLiteral("loadNotice")) &&
                 ui.visible(QStringLiteral("loadNotice")));
}

// An answer asked for the first person and arriving after they left shows nowhere, also not to
// the next person.
TEST_P(SignInRoad, dashboardArrivingAfterSignOutIsDropped) {
    stallDashboard(1500);
    ASSERT_NO_FATAL_FAILURE(signIn(firstPerson()));
    ASSERT_NO_FATAL_FAILURE(signOut());
    sim().clearFaults();
    ASSERT_NO_FATAL_FAILURE(signIn(secondPerson()));
    ui.settle(2000);
    EXPECT_TRUE(onMainView());
    EXPECT_EQ(appState().nationalID(), secondPerson().nationalID);
    EXPECT_EQ(ui.text(QStringLiteral("greeting")), greetingFor(secondPerson().fullName));
    for (const QString& text : allTexts())
        EXPECT_FALSE(text.contains(firstPerson().fullName)) << text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Methods, SignInRoad,
                         ::testing::Values(Method::Push, Method::QR, Method::Portal),
                         [](const ::testing::TestParamInfo<Method>& info) {
                             switch (info.param) {
                             case Method::Push:
                                 return "push";
                             case Method::QR:
                                 return "qr";
                             case Method::Portal:
                                 return "portal";
                             }
                             return "";
                         });

} // namespace
} // namespace Selvor::Testing
