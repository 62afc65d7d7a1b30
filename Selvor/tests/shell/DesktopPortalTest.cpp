#include "shell/DesktopPortal.hpp"
#include "shell/PortalColorScheme.hpp"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>

namespace Selvor {
namespace {

using Scheme = PortalColorScheme::Scheme;

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settings = QStringLiteral("org.freedesktop.portal.Settings");
const QString appearance = QStringLiteral("org.freedesktop.appearance");
const QString colorScheme = QStringLiteral("color-scheme");

// Plays xdg-desktop-portal's settings: Read answers as the portal does, the value's variant
// wrapped in one more; a setting it does not have is the portal's NotFound error. It answers in
// a thread of its own, so that the application's blocking read finds it there.
class SettingsPortalStandIn : public QDBusVirtualObject {
public:
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.interface() != settings || message.member() != u"Read")
            return false;
        const QVariantList arguments = message.arguments();
        if (arguments.value(0) != appearance || arguments.value(1) != colorScheme) {
            connection.send(message.createErrorReply(
                QStringLiteral("org.freedesktop.portal.Error.NotFound"), QStringLiteral("none")));
            return true;
        }
        const QDBusVariant value(QVariant::fromValue(QDBusVariant(scheme.load())));
        connection.send(message.createReply(QVariant::fromValue(value)));
        return true;
    }
    [[nodiscard]] QString introspect(const QString&) const override { return {}; }

    std::atomic<uint> scheme = 1;
};

// A session bus of the test's own: dbus-daemon on a configuration that starts no service of the
// machine's, with the stand-in portal on one connection and the application on another.
class DesktopPortalTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_directory = new QTemporaryDir;
        const QString config = s_directory->filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<busconfig><type>session</type><listen>unix:dir=" +
                   QFile::encodeName(s_directory->path()) +
                   "</listen><policy context=\"default\"><allow send_destination=\"*\"/>"
                   "<allow receive_sender=\"*\"/><allow own=\"*\"/></policy></busconfig>");
        file.close();
        s_daemon = new QProcess;
        s_daemon->start(QStringLiteral("dbus-daemon"),
                        {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                         QStringLiteral("--print-address")});
        ASSERT_TRUE(s_daemon->waitForReadyRead(5000)) << "dbus-daemon did not start";
        s_address = QString::fromUtf8(s_daemon->readLine().trimmed());
        s_savedAddress = qgetenv("DBUS_SESSION_BUS_ADDRESS");

        s_standIn = new SettingsPortalStandIn;
        s_standInThread = new QThread;
        s_standIn->moveToThread(s_standInThread);
        QObject::connect(s_standInThread, &QThread::finished, s_standIn, &QObject::deleteLater);
        s_standInThread->start();
        ASSERT_TRUE(portalBus().registerVirtualObject(portalPath, s_standIn));
    }
    static void TearDownTestSuite() {
        QDBusConnection::disconnectFromBus(QStringLiteral("portal"));
        QDBusConnection::disconnectFromBus(QStringLiteral("app"));
        s_standInThread->quit();
        s_standInThread->wait();
        delete s_standInThread;
        s_daemon->terminate();
        s_daemon->waitForFinished();
        delete s_daemon;
        delete s_directory;
        if (s_savedAddress.isNull())
            qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        else
            qputenv("DBUS_SESSION_BUS_ADDRESS", s_savedAddress);
    }
    void SetUp() override {
        ASSERT_TRUE(portalBus().registerService(portalService));
        s_standIn->scheme = 1;
        qunsetenv("QT_QPA_PLATFORMTHEME");
        qputenv("DBUS_SESSION_BUS_ADDRESS", s_address.toUtf8());
    }
    void TearDown() override { qunsetenv("QT_QPA_PLATFORMTHEME"); }

    static QDBusConnection portalBus() {
        return QDBusConnection::connectToBus(s_address, QStringLiteral("portal"));
    }
    static QDBusConnection appBus() {
        return QDBusConnection::connectToBus(s_address, QStringLiteral("app"));
    }
    // The desktop changes a setting.
    static void announce(const QString& group, const QString& key, uint value) {
        QDBusMessage changed =
            QDBusMessage::createSignal(portalPath, settings, QStringLiteral("SettingChanged"));
        changed << group << key << QVariant::fromValue(QDBusVariant(value));
        ASSERT_TRUE(portalBus().send(changed));
    }

    static inline QTemporaryDir* s_directory = nullptr;
    static inline QProcess* s_daemon = nullptr;
    static inline QString s_address;
    static inline QByteArray s_savedAddress;
    static inline SettingsPortalStandIn* s_standIn = nullptr;
    static inline QThread* s_standInThread = nullptr;
};

TEST_F(DesktopPortalTest, colourScheme_isReadAtStartThenFollowed) {
    s_standIn->scheme = 0;
    EXPECT_EQ(PortalColorScheme(appBus()).scheme(), Scheme::noPreference);
    s_standIn->scheme = 1;
    PortalColorScheme scheme(appBus());
    EXPECT_EQ(scheme.scheme(), Scheme::preferDark);

    QSignalSpy changed(&scheme, &PortalColorScheme::schemeChanged);
    // Other settings come by the same signal and change nothing.
    announce(appearance, QStringLiteral("accent-color"), 0);
    announce(QStringLiteral("org.gnome.desktop.interface"), colorScheme, 0);
    announce(appearance, colorScheme, 2);
    ASSERT_TRUE(changed.wait(5000));
    EXPECT_EQ(scheme.scheme(), Scheme::preferLight);
    announce(appearance, colorScheme, 7);
    ASSERT_TRUE(changed.wait(5000));
    EXPECT_EQ(scheme.scheme(), Scheme::noPreference) << "a value it does not know";
    EXPECT_EQ(changed.count(), 2);
}

// Qt shows the desktop's chooser through the portal only where one runs, and never over a
// platform theme the user chose. Without a portal or a bus the palette decides light or dark.
TEST_F(DesktopPortalTest, fileChooserAndColourScheme_needARunningPortal) {
    EXPECT_TRUE(desktopPortalIsRunning());
    EXPECT_TRUE(preferDesktopFileChooser());
    EXPECT_EQ(qgetenv("QT_QPA_PLATFORMTHEME"), "xdgdesktopportal");
    qputenv("QT_QPA_PLATFORMTHEME", "gtk3");
    EXPECT_FALSE(preferDesktopFileChooser());
    EXPECT_EQ(qgetenv("QT_QPA_PLATFORMTHEME"), "gtk3");

    qunsetenv("QT_QPA_PLATFORMTHEME");
    ASSERT_TRUE(portalBus().unregisterService(portalService));
    EXPECT_FALSE(desktopPortalIsRunning());
    EXPECT_FALSE(preferDesktopFileChooser());
    EXPECT_FALSE(qEnvironmentVariableIsSet("QT_QPA_PLATFORMTHEME"));
    EXPECT_EQ(PortalColorScheme(appBus()).scheme(), Scheme::noPreference);

    qputenv("DBUS_SESSION_BUS_ADDRESS",
            "unix:path=" + QFile::encodeName(s_directory->path()) + "/no-bus");
    EXPECT_FALSE(desktopPortalIsRunning());
    EXPECT_EQ(PortalColorScheme(QDBusConnection(QStringLiteral("none"))).scheme(),
              Scheme::noPreference);
}

// A bus that takes the connection and never answers holds the start up for its time limit only,
// not for libdbus's own 25 seconds.
TEST_F(DesktopPortalTest, aHungBus_isNoPortal) {
    QLocalServer hung;
    ASSERT_TRUE(hung.listen(s_directory->filePath(QStringLiteral("hung-bus"))));
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + QFile::encodeName(hung.fullServerName()));
    QElapsedTimer asked;
    asked.start();
    EXPECT_FALSE(desktopPortalIsRunning());
    EXPECT_LT(asked.elapsed(), 10'000);
}

} // namespace
} // namespace Selvor
