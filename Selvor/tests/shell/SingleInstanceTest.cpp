#include "shell/SingleInstance.hpp"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace Selvor {
namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    QString socketName() const { return m_directory.filePath(QStringLiteral("selvor.socket")); }
    QTemporaryDir m_directory;
};

TEST_F(SingleInstanceTest, laterStart_handsItsURLToTheRunningOne) {
    SingleInstance running(socketName());
    ASSERT_TRUE(running.listen());
    QSignalSpy received(&running, &SingleInstance::messageReceived);

    const SingleInstance later(socketName());
    ASSERT_TRUE(later.sendToRunning(u"selvorlogin://auth?national_id=AB1&name=Бат"_qs));
    ASSERT_TRUE(received.wait(2000));
    EXPECT_EQ(received.first().first().toString(),
              u"selvorlogin://auth?national_id=AB1&name=Бат"_qs);
}

TEST_F(SingleInstanceTest, withoutRunningInstance_sendFailsAndListenSucceeds) {
    const SingleInstance first(socketName());
    EXPECT_FALSE(first.sendToRunning(u"activate"_qs, 200));
    SingleInstance owner(socketName());
    EXPECT_TRUE(owner.listen());
    SingleInstance second(socketName());
    EXPECT_FALSE(second.listen()) << "a live instance keeps its socket";
}

TEST_F(SingleInstanceTest, staleSocketFile_isTakenOver) {
    {
        QFile stale(socketName());
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    }
    SingleInstance instance(socketName());
    EXPECT_TRUE(instance.listen());
}

TEST_F(SingleInstanceTest, overLongMessage_isDropped) {
    SingleInstance running(socketName());
    ASSERT_TRUE(running.listen());
    QSignalSpy received(&running, &SingleInstance::messageReceived);
    QLocalSocket socket;
    socket.connectToServer(socketName());
    ASSERT_TRUE(socket.waitForConnected(1000));
    socket.write(QByteArray(SingleInstance::maximumMessageBytes + 10, 'x') + '\n');
    socket.waitForBytesWritten(1000);
    EXPECT_FALSE(received.wait(300));
}

} // namespace
} // namespace Selvor
