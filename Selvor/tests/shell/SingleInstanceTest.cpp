#include "shell/SingleInstance.hpp"
#include "shell/X11Activation.hpp"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstring>
#include <functional>

#include <csignal>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace Selvor {
namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    QString socketName() const { return m_directory.filePath(QStringLiteral("selvor.socket")); }
    QTemporaryDir m_directory;
};

TEST_F(SingleInstanceTest, laterStart_handsItsURLAndActivationTokenToTheRunningOne) {
    SingleInstance running(socketName());
    ASSERT_TRUE(running.listen());
    QSignalSpy received(&running, &SingleInstance::messageReceived);

    const SingleInstance later(socketName());
    const InstanceMessage::Activation activation{"XDG_ACTIVATION_TOKEN", "kwin-7_TIME4211"};
    ASSERT_TRUE(later.sendToRunning(u"selvorlogin://auth?national_id=AB1&name=Бат"_qs, activation));
    ASSERT_TRUE(received.wait(2000));
    EXPECT_EQ(received.first().at(0).toString(), u"selvorlogin://auth?national_id=AB1&name=Бат"_qs);
    EXPECT_EQ(received.first().at(1).value<InstanceMessage::Activation>(), activation);

    // An older Selvor sends its line alone and hangs up.
    QLocalSocket older;
    older.connectToServer(socketName());
    ASSERT_TRUE(older.waitForConnected(1000));
    older.write("activate\n");
    older.disconnectFromServer();
    ASSERT_TRUE(received.wait(2000));
    EXPECT_EQ(received.last().at(0).toString(), u"activate"_qs);
    EXPECT_TRUE(received.last().at(1).value<InstanceMessage::Activation>().isEmpty());
}

TEST_F(SingleInstanceTest, withoutRunningInstance_sendFailsAndListenSucceeds) {
    const SingleInstance first(socketName());
    EXPECT_FALSE(first.sendToRunning(u"activate"_qs, {}, 200));
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

TEST_F(SingleInstanceTest, messageAtTheLimit_arrivesAndALongerOneIsDropped) {
    // Silence would end a connection only after a minute: the refusal itself drops it.
    SingleInstance running(socketName(), std::chrono::minutes(1));
    ASSERT_TRUE(running.listen());
    QSignalSpy received(&running, &SingleInstance::messageReceived);
    const auto send = [this](QLocalSocket& socket, const QByteArray& bytes) {
        socket.connectToServer(socketName());
        ASSERT_TRUE(socket.waitForConnected(1000));
        socket.write(bytes);
        socket.waitForBytesWritten(1000);
    };
    QLocalSocket fits;
    send(fits, QByteArray(SingleInstance::maximumMessageBytes, 'x') + "\n\n");
    ASSERT_TRUE(received.wait(2000));
    EXPECT_EQ(received.first().first().toString().size(), SingleInstance::maximumMessageBytes);

    QLocalSocket tooLong;
    send(tooLong, QByteArray(SingleInstance::maximumMessageBytes + 1, 'x') + "\n\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return tooLong.state() == QLocalSocket::UnconnectedState; }));
    EXPECT_EQ(received.size(), 1);
}

// One line of UTF-8 text: a line break inside a sent URL must not hand over its first part as
// another URL, and bytes that are not clean text are no message at all.
TEST(InstanceMessageTest, sentTextArrivesWholeAndGarbageIsRefused) {
    using State = InstanceMessage::State;
    const InstanceMessage forged = InstanceMessage::read(
        InstanceMessage::encode(u"selvorlogin://auth?national_id=AB1\nselvorlogin://x"_qs));
    ASSERT_EQ(forged.state, State::complete);
    EXPECT_EQ(forged.text, u"selvorlogin://auth?national_id=AB1\uFFFDselvorlogin://x"_qs);
    EXPECT_EQ(InstanceMessage::read(" activate\r\n\nrest").text, u"activate"_qs);
    EXPECT_EQ(InstanceMessage::read("activ").state, State::incomplete);
    EXPECT_EQ(InstanceMessage::read("activ\xC3\n").state, State::refused) << "not UTF-8";
    EXPECT_EQ(InstanceMessage::read("act\x1Bivate\n").state, State::refused);
    EXPECT_EQ(InstanceMessage::read(" \n").state, State::refused);
}

// The token has a line of its own after the text, which an older running Selvor never reads. Only
// one of the two variables with a clean token is taken; the text counts whatever that line holds.
TEST(InstanceMessageTest, activationTokenTravelsOnItsOwnLine) {
    using State = InstanceMessage::State;
    const InstanceMessage::Activation x11{"DESKTOP_STARTUP_ID", "host-42-0_TIME1234"};
    const QByteArray sent = InstanceMessage::encode(u"activate"_qs, x11);
    EXPECT_EQ(sent, "activate\nDESKTOP_STARTUP_ID=host-42-0_TIME1234\n");
    EXPECT_EQ(InstanceMessage::read(sent).activation, x11);
    EXPECT_EQ(InstanceMessage::read(sent.chopped(1)).state, State::incomplete);
    EXPECT_EQ(InstanceMessage::read("activate\n").state, State::incomplete);
    EXPECT_EQ(InstanceMessage::read("activate\n", true).state, State::complete) << "an older one";

    for (const char* received : {"activate\nLD_PRELOAD=/tmp/x.so\n", "activate\n\n",
                                 "activate\nXDG_ACTIVATION_TOKEN=a b\n",
                                 "activate\nXDG_ACTIVATION_TOKEN=\n", "activate\ntoken\n"}) {
        const InstanceMessage message = InstanceMessage::read(received);
        EXPECT_EQ(message.state, State::complete) << received;
        EXPECT_EQ(message.text, u"activate"_qs) << received;
        EXPECT_TRUE(message.activation.isEmpty()) << received;
    }
    EXPECT_EQ(InstanceMessage::encode(u"activate"_qs, {"DESKTOP_STARTUP_ID", "id\nLD_PRELOAD=x"}),
              "activate\n\n");

    // The running side has the token in its environment while it activates, and no longer.
    qunsetenv("DESKTOP_STARTUP_ID");
    QByteArray whileActivating;
    x11.lendTo([&] { whileActivating = qgetenv("DESKTOP_STARTUP_ID"); });
    EXPECT_EQ(whileActivating, x11.token);
    EXPECT_FALSE(qEnvironmentVariableIsSet("DESKTOP_STARTUP_ID"));
}

// Runs `body` in a child process as the unprivileged user "nobody" and returns its exit status;
// the tests run as root, which is what lets them be another user.
int asAnotherUser(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(::setgid(65534) == 0 && ::setuid(65534) == 0 ? body() : 99);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

sockaddr_un addressOf(const QString& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray encoded = QFile::encodeName(path);
    std::memcpy(address.sun_path, encoded.constData(),
                std::min<size_t>(encoded.size(), sizeof address.sun_path - 1));
    return address;
}

// On X11 the user's time of the click that opened the link rides in the startup id.
TEST(InstanceMessageTest, startupIdGivesTheUsersTimeWhenItCarriesOne) {
    EXPECT_EQ(Selvor::startupIdTime("firefox/selvor-1-host_TIME987654"), 987654u);
    EXPECT_EQ(Selvor::startupIdTime("no-time-here"), std::nullopt);
    EXPECT_EQ(Selvor::startupIdTime("broken_TIME12x"), std::nullopt);
}

TEST_F(SingleInstanceTest, socketDirectory_isTheUsersOwnWithMode0700) {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray temp = qgetenv("TMPDIR");
    QTemporaryDir root;
    const QString open = root.filePath(QStringLiteral("open"));
    ASSERT_TRUE(QDir().mkdir(open));
    ASSERT_EQ(::chmod(QFile::encodeName(open).constData(), 0755), 0);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(open));
    qputenv("TMPDIR", QFile::encodeName(root.path()));
    const QString own = root.filePath(QStringLiteral("selvor-%1").arg(::getuid()));
    EXPECT_EQ(SingleInstance::privateDirectory(), own) << "a runtime directory others can enter";
    EXPECT_EQ(QFileInfo(own).permissions() & 0x7777, QFile::ReadOwner | QFile::WriteOwner |
                                                         QFile::ExeOwner | QFile::ReadUser |
                                                         QFile::WriteUser | QFile::ExeUser);

    // Taken by another user first: no socket at all rather than one they can listen on.
    ASSERT_EQ(::chown(QFile::encodeName(own).constData(), 65534, 65534), 0);
    EXPECT_TRUE(SingleInstance::privateDirectory().isEmpty());
    SingleInstance nowhere(SingleInstance::defaultName());
    EXPECT_FALSE(nowhere.listen());
    EXPECT_FALSE(nowhere.sendToRunning(u"selvorlogin://auth?national_id=AB1"_qs, {}, 200));
    qputenv("XDG_RUNTIME_DIR", runtime);
    qputenv("TMPDIR", temp);
}

// Another user's process never talks to this one's socket, in either direction, and a peer that
// says nothing is let go.
TEST_F(SingleInstanceTest, otherUsersAndSilentPeers_areDropped) {
    ASSERT_EQ(::chmod(QFile::encodeName(m_directory.path()).constData(), 0777), 0);
    SingleInstance running(socketName(), std::chrono::milliseconds(100));
    ASSERT_TRUE(running.listen());
    ASSERT_EQ(::chmod(QFile::encodeName(socketName()).constData(), 0777), 0);
    QSignalSpy received(&running, &SingleInstance::messageReceived);
    const sockaddr_un address = addressOf(socketName());
    const int sent = asAnotherUser([&address] {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
            return 1;
        const char message[] = "selvorlogin://auth?national_id=AB1\n";
        return ::write(fd, message, sizeof message - 1) > 0 ? 0 : 2;
    });
    ASSERT_EQ(sent, 0);
    EXPECT_FALSE(received.wait(300));

    QLocalSocket silent;
    silent.connectToServer(socketName());
    ASSERT_TRUE(silent.waitForConnected(1000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return silent.state() == QLocalSocket::UnconnectedState; }));

    // A listener of another user's is not handed the URL.
    const QString theirs = m_directory.filePath(QStringLiteral("theirs.socket"));
    const sockaddr_un theirAddress = addressOf(theirs);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t listener = ::fork();
    if (listener == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(99);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (::bind(fd, reinterpret_cast<const sockaddr*>(&theirAddress), sizeof theirAddress) !=
                0 ||
            ::listen(fd, 4) != 0)
            ::_exit(1);
        ::chmod(theirAddress.sun_path, 0777);
        [[maybe_unused]] const auto written = ::write(ready[1], "r", 1);
        ::sleep(5);
        ::_exit(0);
    }
    char signal = 0;
    ASSERT_EQ(::read(ready[0], &signal, 1), 1);
    const SingleInstance later(theirs);
    EXPECT_FALSE(later.sendToRunning(u"selvorlogin://auth?national_id=AB1"_qs, {}, 500));
    ::kill(listener, SIGKILL);
    ::waitpid(listener, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
}

} // namespace
} // namespace Selvor
