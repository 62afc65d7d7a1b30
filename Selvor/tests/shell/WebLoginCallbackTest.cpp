#include "shell/WebLoginCallback.hpp"

#include "session/AppState.hpp"

#include <gtest/gtest.h>

namespace Selvor {
namespace {

struct Accepted {
    const char16_t* url;
    const char16_t* nationalID;
    const char16_t* fullName;
};

class WebLoginCallbackAccepts : public ::testing::TestWithParam<Accepted> {};

TEST_P(WebLoginCallbackAccepts, signsInTheNamedPerson) {
    const Accepted& c = GetParam();
    AppState appState;
    EXPECT_TRUE(handleWebLoginCallback(QString::fromUtf16(c.url), appState));
    EXPECT_EQ(appState.screen(), AppState::Screen::Main);
    EXPECT_EQ(appState.nationalID(), QString::fromUtf16(c.nationalID));
    EXPECT_EQ(appState.fullName(), QString::fromUtf16(c.fullName));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WebLoginCallbackAccepts,
    ::testing::Values(
        Accepted{u"selvorlogin://auth?national_id=УП91042312&name=Батболд", u"УП91042312",
                 u"Батболд"},
        Accepted{u"selvorlogin://auth/callback?national_id=%D0%A3%D0%9F91042312&name=%D0%91%D0%B0%"
                 u"D1%82%20%D0%A2",
                 u"УП91042312", u"Бат Т"},
        Accepted{u"selvorlogin://auth?national_id=AB12345678", u"AB12345678", u""}, // no name
        Accepted{u"selvorlogin://auth/any/path?name=x&national_id=AB1&other=1", u"AB1", u"x"},
        Accepted{u"selvorlogin://auth?national_id=A&national_id=B&name=a+b", u"B", u"a+b"}));

class WebLoginCallbackIgnores : public ::testing::TestWithParam<const char16_t*> {};

TEST_P(WebLoginCallbackIgnores, leavesStateUntouched) {
    AppState appState;
    EXPECT_FALSE(handleWebLoginCallback(QString::fromUtf16(GetParam()), appState));
    EXPECT_EQ(appState.screen(), AppState::Screen::Login);
    EXPECT_TRUE(appState.nationalID().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WebLoginCallbackIgnores,
    ::testing::Values(u"selvorlogin://callback?national_id=AB1&name=x", // wrong host
                      u"selvorlogin://auth?national_id=&name=x",        // empty number
                      u"selvorlogin://auth?name=x",                     // no number
                      u"selvorlogin://auth?national_id",                // item without value
                      u"SELVORLOGIN://auth?national_id=AB1",            // scheme is exact
                      u"selvorlogin://AUTH?national_id=AB1",            // host is exact
                      u"selvorlogins://auth?national_id=AB1", u"https://auth?national_id=AB1",
                      u"selvorlogin:auth?national_id=AB1", // no host at all
                      u"selvorlogin://evil.example/auth?national_id=AB1",
                      u"selvorlogin://auth.evil?national_id=AB1",
                      u"selvorlogin://auth?national_id=AB%001", // control characters
                      u"selvorlogin://auth?national_id=AB1&name=%0Aforged",
                      u"selvorlogin://auth?national_id=%FF%FE",      // not UTF-8
                      u"selvorlogin://auth?national_id=AB1 &name=x", // not a strict URL
                      u"", u"activate"));

TEST(WebLoginCallbackTest, overLongURL_isIgnored) {
    AppState appState;
    const QString url = u"selvorlogin://auth?national_id=AB1&name="_qs + QString(5000, u'x');
    EXPECT_FALSE(handleWebLoginCallback(url, appState));
}

TEST(WebLoginCallbackTest, laterCallback_replacesThePerson) {
    AppState appState;
    ASSERT_TRUE(handleWebLoginCallback(u"selvorlogin://auth?national_id=AB1&name=a"_qs, appState));
    appState.setSelectedTab(AppState::SidebarTab::Logs);
    ASSERT_TRUE(handleWebLoginCallback(u"selvorlogin://auth?national_id=CD2"_qs, appState));
    EXPECT_EQ(appState.nationalID(), u"CD2"_qs);
    EXPECT_TRUE(appState.fullName().isEmpty());
    EXPECT_EQ(appState.selectedTab(), AppState::SidebarTab::Logs);
}

} // namespace
} // namespace Selvor
