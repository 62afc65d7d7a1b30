#include "Road.hpp"

#include "session/AppState.hpp"

#include <QQuickItem>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include <chrono>

namespace Selvor::Testing {
namespace {

using OutsideInputRoad = Road;

QString callbackFor(const Person& person, const QString& name = {}) {
    return QStringLiteral("selvorlogin://auth?national_id=") +
           QString::fromLatin1(QUrl::toPercentEncoding(person.nationalID)) +
           QStringLiteral("&name=") + QString::fromLatin1(QUrl::toPercentEncoding(name));
}

// A local web server that only counts who comes: an image named in outside text must never be
// fetched.
class FetchCounter {
public:
    FetchCounter() {
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                ++connections;
                socket->deleteLater();
            }
        });
        if (!m_server.listen(QHostAddress::LocalHost))
            ADD_FAILURE() << "no local port";
    }
    [[nodiscard]] QString url(const QString& path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }
    int connections = 0;

private:
    QTcpServer m_server;
};

// Texts holding markup that the window would render as rich text.
QStringList renderedMarkup(const WindowDriver& ui) {
    QStringList rendered;
    for (const QQuickItem* item : ui.allItems()) {
        const QString text = item->property("text").toString();
        if (item->inherits("QQuickText") && text.contains(u'<') &&
            item->property("textFormat").toInt() != 0)
            rendered.append(item->objectName() + QStringLiteral(": ") + text);
    }
    return rendered;
}

// Any page can open a callback link: one that no sign-in from this window asked for, one that
// comes while someone is signed in, and one that comes too late all leave the window as it was.
TEST_F(OutsideInputRoad, callbacksNobodyAskedFor_areIgnored) {
    const QSignalSpy handed(instance.get(), &SingleInstance::messageReceived);
    ASSERT_NO_FATAL_FAILURE(handOver(callbackFor(firstPerson(), QStringLiteral("Бат"))));
    EXPECT_TRUE(onSignInScreen());
    EXPECT_TRUE(appState().nationalID().isEmpty());
    // The window still came forward, on the token the desktop gave the later start, which is
    // not left behind for the programs this one starts.
    ASSERT_EQ(handed.size(), 1);
    EXPECT_EQ(handed.first().at(1).value<InstanceMessage::Activation>(),
              (InstanceMessage::Activation{"XDG_ACTIVATION_TOKEN", secondStartToken}));
    EXPECT_FALSE(qEnvironmentVariableIsSet("XDG_ACTIVATION_TOKEN"));

    appState().setWebSignInValidity(std::chrono::milliseconds(50));
    ui.click(QStringLiteral("webSignInButton"));
    ui.settle(150);
    ASSERT_NO_FATAL_FAILURE(handOver(callbackFor(firstPerson())));
    EXPECT_TRUE(onSignInScreen()) << "the web sign-in was too old";

    ASSERT_NO_FATAL_FAILURE(signInByPush(firstPerson()));
    ASSERT_TRUE(ui.waitFor([&] { return appState().hasDashboardData(); }));
    ASSERT_NO_FATAL_FAILURE(handOver(callbackFor(secondPerson(), QStringLiteral("Сараа"))));
    EXPECT_EQ(appState().nationalID(), firstPerson().nationalID);
    EXPECT_EQ(ui.text(QStringLiteral("greeting")),
              QStringLiteral("Сайн байна уу, ") + firstPerson().fullName + QStringLiteral("!"));
}

// Markup in a name from the callback and in every text of the dashboard shows as the characters
// it is made of, on every screen, and nothing it names is fetched.
TEST_F(OutsideInputRoad, markupFromOutsideShowsLiterallyAndFetchesNothing) {
    FetchCounter fetches;
    const QString image = QStringLiteral("<img src=\"") +
                          fetches.url(QStringLiteral("/pixel.png")) + QStringLiteral("\">");
    const QString name = QStringLiteral("<b>Бат</b>") + image;
    answerDashboardWith(dashboardJson(firstPerson(), name, image.toStdString()));
    ui.click(QStringLiteral("webSignInButton"));
    ASSERT_NO_FATAL_FAILURE(handOver(callbackFor(firstPerson(), name)));
    ASSERT_TRUE(ui.waitFor([&] { return onMainView(); }));
    ASSERT_TRUE(ui.waitFor([&] { return ui.items(QStringLiteral("deviceRow")).size() == 3; }));
    EXPECT_EQ(ui.text(QStringLiteral("greeting")),
              QStringLiteral("Сайн байна уу, ") + name + QStringLiteral("!"));

    for (const char* raw : {"home", "id", "logs", "devices", "security", "children", "sign", "org",
                            "token", "home"}) {
        ASSERT_NO_FATAL_FAILURE(visit(QString::fromLatin1(raw)));
        ui.settle(100);
        const QStringList rendered = renderedMarkup(ui);
        EXPECT_TRUE(rendered.isEmpty()) << raw << ": " << rendered.join(u'\n').toStdString();
    }
    ui.settle(300);
    EXPECT_EQ(fetches.connections, 0);
}

} // namespace
} // namespace Selvor::Testing
