#include "shell/Application.hpp"
#include "shell/SingleInstance.hpp"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QIcon>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace Selvor {
namespace {

// As a user or a package check runs them: answered on standard output with exit code 0, without
// a window (which would keep the process running) and without handing anything to a running
// Selvor.
TEST(ApplicationTest, versionAndHelp_needNoWindowNorRunningInstance) {
    const QTemporaryDir runtime;
    SingleInstance running(runtime.filePath(QStringLiteral("selvor.socket")));
    ASSERT_TRUE(running.listen());
    const QSignalSpy received(&running, &SingleInstance::messageReceived);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    const std::pair<const char*, QString> answers[] = {
        {"--version", QStringLiteral("selvor " SELVOR_VERSION "\n")},
        {"-v", QStringLiteral("selvor " SELVOR_VERSION "\n")},
        {"--help", QStringLiteral("  -v, --version  Хувилбарыг харуулна.\n")},
        {"-h", QStringLiteral("  -h, --help     Энэ тусламжийг харуулна.\n")},
    };
    for (const auto& [argument, expected] : answers) {
        QProcess selvor;
        selvor.setProcessEnvironment(environment);
        selvor.start(QStringLiteral(SELVOR_EXECUTABLE), {QString::fromLatin1(argument)});
        ASSERT_TRUE(selvor.waitForFinished(10000)) << argument << ": a window opened";
        EXPECT_EQ(selvor.exitCode(), 0) << argument;
        EXPECT_TRUE(QString::fromUtf8(selvor.readAllStandardOutput()).contains(expected))
            << argument;
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(received.count(), 0);
}

TEST(ApplicationTest, windowIcon_isTheInstalledIcon) {
    describeApplication();
    EXPECT_EQ(QGuiApplication::applicationVersion(), QStringLiteral(SELVOR_VERSION));
    const QList<QSize> sizes{{16, 16}, {32, 32}, {48, 48}, {64, 64}};
    EXPECT_EQ(QGuiApplication::windowIcon().availableSizes(), sizes);
    const QImage icon = QGuiApplication::windowIcon().pixmap(QSize(64, 64)).toImage();
    EXPECT_EQ(icon.pixelColor(32, 4), QColor(0x1A, 0x56, 0xDB)) << "the blue tile above the shield";
    EXPECT_EQ(icon.pixelColor(1, 1).alpha(), 0) << "the rounded corner is transparent";
}

} // namespace
} // namespace Selvor
