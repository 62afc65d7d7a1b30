#include "SignInFixture.hpp"

#include "api/models/DashboardModels.hpp"

#include <QTest>

namespace Selvor::Testing {
namespace {

using Screen = AppState::Screen;

class DashboardLoadTest : public SignInFixture {
protected:
    void stallDashboard(int milliseconds, int times) {
        SelvorSimTesting::Fault fault;
        fault.path = "/web/dashboard";
        fault.kind = "stall";
        fault.stallMs = milliseconds;
        fault.times = times;
        sim->addFault(fault);
    }
};

TEST_F(DashboardLoadTest, signIn_showsMainAtOnceThenTheServiceName) {
    appState->completeSignIn(u"ЧЕ88111524"_qs, QString());
    EXPECT_EQ(appState->screen(), Screen::Main);
    EXPECT_TRUE(appState->fullName().isEmpty());
    ASSERT_TRUE(eventually([&] { return appState->hasDashboardData(); }));
    EXPECT_EQ(appState->fullName(), u"Ганбаатар Сарангэрэл"_qs);
    EXPECT_EQ(appState->kycLevel(), u"2"_qs);
    EXPECT_EQ(appState->dashboardData()->user.nationalId, "ЧЕ88111524");
}

TEST_F(DashboardLoadTest, signOut_clearsThePersonAndKeepsTheSection) {
    appState->completeSignIn(u"ЧЕ88111524"_qs, QString());
    ASSERT_TRUE(eventually([&] { return appState->hasDashboardData(); }));
    appState->setSessionID(u"s1"_qs);
    appState->setSelectedTab(AppState::SidebarTab::Devices);
    appState->signOut();
    EXPECT_EQ(appState->screen(), Screen::Login);
    EXPECT_TRUE(appState->nationalID().isEmpty());
    EXPECT_TRUE(appState->fullName().isEmpty());
    EXPECT_TRUE(appState->kycLevel().isEmpty());
    EXPECT_TRUE(appState->sessionID().isEmpty());
    EXPECT_FALSE(appState->hasDashboardData());
    EXPECT_EQ(appState->selectedTab(), AppState::SidebarTab::Devices);
}

TEST_F(DashboardLoadTest, previousPersonsLateAnswer_neverShowsUnderTheNextPerson) {
    stallDashboard(250, 1);
    appState->completeSignIn(u"ЧЕ88111524"_qs, QString());
    appState->signOut();
    appState->completeSignIn(u"ИЙ02250837"_qs, QString());
    EXPECT_FALSE(appState->hasDashboardData()) << "nothing until the new answer";
    ASSERT_TRUE(eventually([&] { return appState->hasDashboardData(); }));
    QTest::qWait(400);
    EXPECT_EQ(appState->dashboardData()->user.nationalId, "ИЙ02250837");
    EXPECT_EQ(appState->fullName(), u"Энхтөр Билгүүн"_qs);
}

// Signed in anew without a sign-out in between, the next person sees nothing of the last one.
TEST_F(DashboardLoadTest, anotherPerson_losesThePreviousPersonsDataAtOnce) {
    appState->completeSignIn(u"ЧЕ88111524"_qs, QString());
    ASSERT_TRUE(eventually([&] { return appState->hasDashboardData(); }));
    appState->setSessionID(u"s1"_qs);
    stallDashboard(250, 1);
    appState->completeSignIn(u"ИЙ02250837"_qs, u"Билгүүн"_qs);
    EXPECT_FALSE(appState->hasDashboardData());
    EXPECT_TRUE(appState->kycLevel().isEmpty());
    EXPECT_TRUE(appState->sessionID().isEmpty());
    EXPECT_EQ(appState->fullName(), u"Билгүүн"_qs);
    ASSERT_TRUE(eventually([&] { return appState->hasDashboardData(); }));
    EXPECT_EQ(appState->dashboardData()->user.nationalId, "ИЙ02250837");
}

} // namespace
} // namespace Selvor::Testing
