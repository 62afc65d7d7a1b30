#include "Road.hpp"
#include "TokenTesting.hpp"

#include "shell/Theme.hpp"

#include <QCryptographicHash>
#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <QTimer>

#include <functional>

namespace Selvor::Testing {
namespace {

using TokenSimTesting::TokenSimProcess;

class TokenRoad : public Road {
protected:
    [[nodiscard]] bool tokenDotGreen() const {
        return ui.property(QStringLiteral("tokenPresenceDot"), "color").value<QColor>() ==
               Theme::successGreen();
    }

    void provisionByHand() {
        ui.click(QStringLiteral("beginSetupButton"));
        ui.typeText(QStringLiteral("pinField"), testPin);
        ui.typeText(QStringLiteral("pinRepeatField"), testPin);
        ui.typeText(QStringLiteral("pukField"), testPuk);
        ui.click(QStringLiteral("provisionButton"));
    }

    // Runs the application's event loop, in which `act` runs first and then the user presses
    // Ctrl+Q; true when the loop ended because of it.
    bool quitWithCtrlQ(const std::function<void()>& act = [] {}) {
        QTimer::singleShot(0, app.get(), [this, act] {
            act();
            QTest::keyClick(&ui.window(), Qt::Key_Q, Qt::ControlModifier);
        });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(2); });
        watchdog.start(15000);
        return QGuiApplication::exec() == 0;
    }
};

// Keyboard only, with the token in the second reader behind an empty first one (a laptop's
// built-in reader): set it up, sign a digest, and pull it out while a second token waits in the
// first reader, which then takes over.
TEST_F(TokenRoad, setUpAndSignByKeyboardInTheSecondReader) {
    ASSERT_NO_FATAL_FAILURE(signInOnPortal(firstPerson()));
    ASSERT_TRUE(ui.waitFor([&] { return ui.focusedName() == u"sidebarRow_home"_qs; }));
    while (appState().selectedTab() != AppState::SidebarTab::Token)
        ui.pressKey(Qt::Key_Down);
    EXPECT_FALSE(tokenDotGreen());
    EXPECT_FALSE(ui.visible(u"embeddedDocumentSign"_qs));

    TokenSimTesting::TokenSimOptions second;
    second.vpcdPort = 35964;
    second.readerName = "Virtual PCD 00 01";
    TokenSimProcess token(second);
    ASSERT_TRUE(ui.waitFor([&] { return tokenDotGreen(); }, 10000));
    ASSERT_TRUE(ui.waitFor([&] { return ui.visible(u"infoSection"_qs); }));
    EXPECT_EQ(ui.text(u"deviceReader"_qs), u"Уншигч: Virtual PCD 00 01"_qs);

    ASSERT_TRUE(ui.tabTo(u"beginSetupButton"_qs));
    ui.pressKey(Qt::Key_Return);
    ASSERT_TRUE(ui.waitFor([&] { return ui.focusedName() == u"pinField"_qs; }));
    for (const QString& secret : {testPin, testPin, testPuk}) {
        ui.typeKeys(secret);
        ui.pressKey(Qt::Key_Tab);
    }
    ASSERT_TRUE(ui.tabTo(u"provisionButton"_qs));
    ui.pressKey(Qt::Key_Return);
    ASSERT_TRUE(ui.waitFor([&] { return ui.visible(u"finishedStep"_qs); }, 30000));
    EXPECT_EQ(ui.text(u"statusText"_qs), u"Түлхүүр хос үүсгэгдлэа"_qs);

    const QByteArray digest = QCryptographicHash::hash("Гэрээ №7", QCryptographicHash::Sha256);
    ASSERT_TRUE(ui.tabTo(u"registerNumberField"_qs));
    ui.typeKeys(firstPerson().nationalID);
    ui.pressKey(Qt::Key_Tab);
    ui.typeKeys(u"Гэрээ <b>№7</b>.pdf"_qs);
    ui.pressKey(Qt::Key_Tab);
    ui.typeKeys(QString::fromLatin1(digest.toHex()));
    ASSERT_TRUE(ui.tabTo(u"signButton"_qs));
    ui.pressKey(Qt::Key_Return);
    ASSERT_TRUE(ui.waitFor([&] { return ui.visible(u"signatureBox"_qs); }, 10000));
    const QByteArray raw = QByteArray::fromHex(ui.text(u"signatureText"_qs).toLatin1());
    ASSERT_EQ(raw.size(), 64);
    EXPECT_TRUE(
        verifiesWithKey(token.ecPublicKeyDer(),
                        std::span(reinterpret_cast<const std::uint8_t*>(digest.constData()), 32),
                        std::span(reinterpret_cast<const std::uint8_t*>(raw.constData()), 64)));

    // A token in an earlier reader does not take over from the one in use.
    TokenSimProcess first;
    ui.settle(300);
    EXPECT_EQ(ui.text(u"deviceReader"_qs), u"Уншигч: Virtual PCD 00 01"_qs);
    token.removeCard();
    ASSERT_TRUE(ui.waitFor([&] { return ui.text(u"deviceReader"_qs).endsWith(u"00 00"_qs); }));
    EXPECT_TRUE(tokenDotGreen());
    ASSERT_TRUE(ui.waitFor([&] { return ui.visible(u"embeddedDocumentSign"_qs); }));
    EXPECT_TRUE(ui.text(u"registerNumberField"_qs).isEmpty());

    first.removeCard();
    ASSERT_TRUE(ui.waitFor([&] { return !tokenDotGreen(); }));
    EXPECT_EQ(ui.text(u"deviceStatus"_qs), u"Холбогдоогүй"_qs);
    EXPECT_FALSE(ui.visible(u"setupSection"_qs));
}

// Quitting leaves nothing behind that still runs: a dashboard answer on its way and the token
// thread generating a key both end with the window, and nothing crashes on the way out.
TEST_F(TokenRoad, ctrlQWhileARequestAndTheTokenThreadWork) {
    TokenSimProcess token;
    stallDashboard(5000);
    ASSERT_NO_FATAL_FAILURE(signInOnPortal(firstPerson()));
    ASSERT_NO_FATAL_FAILURE(visit(QStringLiteral("token")));
    ASSERT_TRUE(ui.waitFor([&] { return ui.visible(QStringLiteral("infoSection")); }, 10000));
    ASSERT_FALSE(appState().hasDashboardData());

    EXPECT_TRUE(quitWithCtrlQ([this] {
        provisionByHand();
        EXPECT_TRUE(ui.property(QStringLiteral("provisionButton"), "busy").toBool());
    }));
    app.reset();
    QTest::qWait(100);
}

TEST_F(TokenRoad, ctrlQOnTheSignInScreenWhileAPushWaits) {
    ui.typeText(QStringLiteral("registerNumberField"), firstPerson().nationalID);
    ui.click(QStringLiteral("signInButton"));
    ASSERT_TRUE(ui.waitFor([&] { return ui.exists(QStringLiteral("codeBox")); }));
    sim().addFault({.path = "/web/auth/session/*", .kind = "stall", .stallMs = 5000});
    EXPECT_TRUE(quitWithCtrlQ());
    app.reset();
    QTest::qWait(100);
}

} // namespace
} // namespace Selvor::Testing
