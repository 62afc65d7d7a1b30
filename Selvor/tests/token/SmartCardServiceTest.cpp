// The smart-card service missing at start, stopping and coming back while the app runs. The test
// owns its pcscd: a second one, in a mount namespace of its own so that it leaves the shared
// one alone, with the virtual reader on ports of its own and its socket where this process
// looks for it.

#include "TokenTesting.hpp"
#include "ViewHarness.hpp"

#include "token/TokenManager.hpp"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <memory>

using Selvor::TokenManager;
using namespace Selvor::Testing;

namespace {

// Below the kernel's range for ephemeral ports (32768 up): a port in it may be a client socket's,
// of this run's many loopback connections, just when the reader wants to listen on it.
constexpr std::uint16_t ownVpcdPort = 30963;

class OwnSmartCardService {
public:
    OwnSmartCardService() {
        const QString config = m_directory.filePath(QStringLiteral("reader.conf"));
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly))
            throw std::runtime_error("cannot write the reader configuration");
        file.write(QStringLiteral("FRIENDLYNAME \"Virtual PCD\"\n"
                                  "DEVICENAME /dev/null:0x%1\n"
                                  "LIBPATH /usr/lib/pcsc/drivers/serial/libifdvpcd.so\n")
                       .arg(ownVpcdPort, 0, 16)
                       .toUtf8());
        m_config = config;
        QDir().mkpath(m_directory.filePath(QStringLiteral("run")));
        // Read once by the PC/SC client, at its first call: before anything in this process.
        qputenv("PCSCLITE_CSOCK_NAME", socketPath().toUtf8());
    }
    ~OwnSmartCardService() { stop(); }

    void start() {
        // pcscd always serves /run/pcscd; a bind mount seen only by it puts that in our folder.
        m_process.start(QStringLiteral("unshare"),
                        {QStringLiteral("--mount"), QStringLiteral("sh"), QStringLiteral("-c"),
                         QStringLiteral("mkdir -p /run/pcscd && mount --bind \"$0\" /run/pcscd "
                                        "&& exec /usr/sbin/pcscd --foreground -c \"$1\""),
                         m_directory.filePath(QStringLiteral("run")), m_config});
        ASSERT_TRUE(m_process.waitForStarted())
            << "unshare: " << m_process.errorString().toStdString();
        ASSERT_TRUE(waitUntil([&] { return QFile::exists(socketPath()); }, 10000))
            << "pcscd did not start: " << m_process.readAll().toStdString();
    }

    void stop() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        m_process.waitForFinished(5000);
    }

private:
    QString socketPath() const { return m_directory.filePath(QStringLiteral("run/pcscd.comm")); }

    QTemporaryDir m_directory;
    QString m_config;
    QProcess m_process;
};

TEST(SmartCardService, missingOrStoppedIsSaidAndTheTokenReturnsWithIt) {
    OwnSmartCardService service;
    TokenManager manager;
    ViewHarness view(QStringLiteral("token/TokenScreen.qml"),
                     QVariantMap{{QStringLiteral("tokenManager"), QVariant::fromValue(&manager)}},
                     QSize(860, 900));
    const auto saysServiceIsMissing = [&] {
        EXPECT_EQ(view.text("deviceStatus"), "Ухаалаг картын үйлчилгээ ажиллахгүй байна");
        EXPECT_TRUE(view.text("deviceDetail").contains("sudo systemctl start pcscd"));
        EXPECT_FALSE(view.visible("setupSection"));
    };
    ASSERT_TRUE(waitUntil([&] { return !manager.isServiceAvailable(); }));
    view.settle();
    saysServiceIsMissing();
    EXPECT_EQ(view.saveScreenshots(QStringLiteral("token-no-service")).size(), 2);

    ASSERT_NO_FATAL_FAILURE(service.start());
    TokenSimTesting::TokenSimOptions options;
    options.vpcdPort = ownVpcdPort;
    TokenSimTesting::TokenSimProcess token(options);
    ASSERT_TRUE(waitForToken(manager));
    view.settle();
    EXPECT_EQ(view.text("deviceStatus"), "Холбогдсон");
    EXPECT_EQ(view.text("deviceReader"), "Уншигч: Virtual PCD 00 00");

    service.stop();
    ASSERT_TRUE(waitUntil([&] { return !manager.isServiceAvailable(); }));
    EXPECT_FALSE(manager.isTokenPresent());
    view.settle();
    saysServiceIsMissing();

    ASSERT_NO_FATAL_FAILURE(service.start());
    ASSERT_TRUE(waitForToken(manager)) << "the token is found again without a restart";
    EXPECT_TRUE(manager.isServiceAvailable());
}

} // namespace
