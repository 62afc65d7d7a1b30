#include "shell/NetworkRefusal.hpp"

#include <gtest/gtest.h>

#include <QQmlComponent>
#include <QQmlEngine>
#include <QTcpServer>
#include <QTest>

#include <memory>

namespace Selvor {
namespace {

// An image from the network, as rich text or a remote source would ask for it, fails without a
// connection being made.
TEST(NetworkRefusalTest, remoteImage_failsWithoutAConnection) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    QQmlEngine engine;
    refuseNetworkAccess(engine);
    QQmlComponent component(&engine);
    component.setData(
        QStringLiteral("import QtQuick\nImage { source: \"http://127.0.0.1:%1/p.png\" }")
            .arg(server.serverPort())
            .toUtf8(),
        QUrl());
    const std::unique_ptr<QObject> image(component.create());
    ASSERT_NE(image, nullptr) << component.errorString().toStdString();
    constexpr int error = 3; // Image.Error
    EXPECT_TRUE(QTest::qWaitFor([&] { return image->property("status").toInt() == error; }));
    QTest::qWait(100);
    EXPECT_FALSE(server.hasPendingConnections());
}

} // namespace
} // namespace Selvor
