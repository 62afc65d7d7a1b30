#include "shell/WebLoginCallback.hpp"

#include "session/AppState.hpp"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QUrl>

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
    appState.beginWebSignIn();
    const QSignalSpy answered(&appState, &AppState::phoneAnswered);
    EXPECT_TRUE(handleWebLoginCallback(QString::fromUtf16(c.url), appState));
    EXPECT_EQ(answered.count(), 1) << "the window asks for attention";
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
        Accepted{u"selvorlogin://auth?national_id=A&national_id=B&name=a+b", u"B", u"a+b"},
        // Format controls could make a name read as another: a right-to-left override, an
        // isolate, a zero-width joiner are dropped; markup is a name like any other.
        Accepted{u"selvorlogin://auth?national_id=AB1&name=%E2%80%AEtab%E2%81%A6B%E2%80%8Dat",
                 u"AB1", u"tabBat"},
        Accepted{u"selvorlogin://auth?national_id=AB1&name=%3Cimg%20src%3D%22http://x/p.png%22%3E",
                 u"AB1", u"<img src=\"http://x/p.png\">"}));

class WebLoginCallbackIgnores : public ::testing::TestWithParam<const char16_t*> {};

TEST_P(WebLoginCallbackIgnores, leavesStateUntouched) {
    AppState appState;
    appState.beginWebSignIn();
    const QSignalSpy answered(&appState, &AppState::phoneAnswered);
    EXPECT_FALSE(handleWebLoginCallback(QString::fromUtf16(GetParam()), appState));
    EXPECT_EQ(answered.count(), 0);
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

TEST(WebLoginCallbackTest, overLongURL_isIgnoredAndALongNameIsCutAtTwoHundredCharacters) {
    AppState appState;
    appState.beginWebSignIn();
    const QString prefix = u"selvorlogin://auth?national_id=AB1&name="_qs;
    EXPECT_FALSE(handleWebLoginCallback(prefix + QString(5000, u'x'), appState));
    // Astral characters count once and are never cut in two.
    const QString astral = QString::fromUcs4(U"\U0001D400");
    QString name;
    for (int i = 0; i < 150; ++i)
        name += u"б"_qs + astral;
    ASSERT_TRUE(handleWebLoginCallback(prefix + QString::fromLatin1(QUrl::toPercentEncoding(name)),
                                       appState));
    EXPECT_EQ(appState.fullName(), name.left(300));
}

// Any web page can open a callback link: only a web sign-in started from this window, not yet
// completed and not older than its validity, lets one through.
TEST(WebLoginCallbackTest, callbackWithoutAPendingWebSignIn_isIgnored) {
    const QString first = u"selvorlogin://auth?national_id=AB1&name=a"_qs;
    const QString second = u"selvorlogin://auth?national_id=CD2&name=b"_qs;
    AppState appState;
    EXPECT_FALSE(handleWebLoginCallback(first, appState)) << "the button was never pressed";
    EXPECT_EQ(appState.screen(), AppState::Screen::Login);

    appState.beginWebSignIn();
    ASSERT_TRUE(handleWebLoginCallback(first, appState));
    EXPECT_FALSE(handleWebLoginCallback(second, appState)) << "someone is signed in";
    EXPECT_EQ(appState.nationalID(), u"AB1"_qs);

    appState.signOut();
    appState.setWebSignInValidity(std::chrono::milliseconds(20));
    appState.beginWebSignIn();
    QTest::qWait(40);
    EXPECT_FALSE(handleWebLoginCallback(second, appState)) << "the web sign-in is too old";
    EXPECT_EQ(appState.screen(), AppState::Screen::Login);
}

} // namespace
} // namespace Selvor
