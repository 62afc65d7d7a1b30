#include "Road.hpp"
#include "TokenTesting.hpp"

#include "shell/Theme.hpp"

#include <QCryptographicHash>
#include <QFile>
#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QTemporaryDir>
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

// Insert, set up, sign a file's digest, pull the token out on the screen and put it back.
TEST_F(TokenRoad, setUpSignPullOutAndPutBack) {
    ASSERT_NO_FATAL_FAILURE(signInOnPortal(firstPerson()));
    ASSERT_NO_FATAL_FAILURE(visit(QStringLiteral("token")));
    EXPECT_FALSE(tokenDotGreen());
    EXPECT_FALSE(ui.visible(QStringLiteral("embeddedDocumentSign")));

    TokenSimProcess token;
    ASSERT_TRUE(ui.waitFor([&] { return tokenDotGreen(); }, 10000));
    ASSERT_TRUE(ui.waitFor([&] { return ui.visible(QStringLiteral("infoSection")); }));
    EXPECT_EQ(ui.text(QStringLiteral("deviceStatus")), QStringLiteral("Холбогдсон"));
    EXPECT_EQ(ui.text(QStringLiteral("infoLabel")), QStringLiteral("Kaltor2003"));

    provisionByHand();
    ASSERT_TRUE(ui.waitFor([&] { return ui.visible(QStringLiteral("finishedStep")); }, 30000));
    EXPECT_EQ(ui.text(QStringLiteral("statusText")), QStringLiteral("Түлхүүр хос үүсгэгдлэа"));
    EXPECT_TRUE(ui.text(QStringLiteral("pinField")).isEmpty());

    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("Гэрээ <b>№7 & 'эцсийн'.pdf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Гэрээ №7");
    file.close();
    const QByteArray digest = QCryptographicHash::hash("Гэрээ №7", QCryptographicHash::Sha256);
    ASSERT_NO_FATAL_FAILURE(
        chooseInFilePanel(QStringLiteral("chooseFileButton"), directory.path(), path));
    ASSERT_TRUE(ui.waitFor([&] {
        return ui.text(QStringLiteral("documentHashField")) == QString::fromLatin1(digest.toHex());
    }));
    EXPECT_EQ(ui.text(QStringLiteral("documentNameField")),
              QStringLiteral("Гэрээ <b>№7 & 'эцсийн'.pdf"));
    ui.typeText(QStringLiteral("registerNumberField"), firstPerson().nationalID);
    ui.click(QStringLiteral("signButton"));
    ASSERT_TRUE(ui.waitFor([&] { return ui.visible(QStringLiteral("signatureBox")); }, 10000));
    const QString signature = ui.text(QStringLiteral("signatureText"));
    ASSERT_TRUE(QRegularExpression(QStringLiteral("^[0-9A-F]{128}$")).match(signature).hasMatch())
        << signature.toStdString();
    const QByteArray raw = QByteArray::fromHex(signature.toLatin1());
    EXPECT_TRUE(
        verifiesWithKey(token.ecPublicKeyDer(),
                        std::span(reinterpret_cast<const std::uint8_t*>(digest.constData()), 32),
                        std::span(reinterpret_cast<const std::uint8_t*>(raw.constData()), 64)));

    token.removeCard();
    ASSERT_TRUE(ui.waitFor([&] { return !tokenDotGreen(); }));
    ASSERT_TRUE(ui.waitFor([&] { return !ui.visible(QStringLiteral("embeddedDocumentSign")); }));
    EXPECT_EQ(ui.text(QStringLiteral("deviceStatus")), QStringLiteral("Холбогдоогүй"));
    EXPECT_FALSE(ui.visible(QStringLiteral("setupSection")));

    token.insertCard();
    ASSERT_TRUE(ui.waitFor([&] { return tokenDotGreen(); }, 10000));
    EXPECT_TRUE(ui.waitFor([&] { return ui.visible(QStringLiteral("embeddedDocumentSign")); }));
    ASSERT_NO_FATAL_FAILURE(visit(QStringLiteral("home")));
    ASSERT_NO_FATAL_FAILURE(visit(QStringLiteral("token")));
    EXPECT_TRUE(ui.waitFor([&] { return ui.visible(QStringLiteral("infoSection")); }));
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
