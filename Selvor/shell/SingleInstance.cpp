#include "SingleInstance.hpp"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QTimer>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Selvor {
namespace {

// A directory nobody else can list, enter or plant a socket in: ours, not a link, mode 0700.
bool isPrivateDirectory(const QString& path) {
    struct stat status {};
    return !path.isEmpty() && ::lstat(QFile::encodeName(path).constData(), &status) == 0 &&
           S_ISDIR(status.st_mode) && status.st_uid == ::getuid() &&
           (status.st_mode & 0777) == 0700;
}

// Whether the process at the other end of a connected local socket runs as this user.
bool peerIsThisUser(qintptr descriptor) {
    ucred credentials{};
    socklen_t length = sizeof credentials;
    return descriptor >= 0 &&
           ::getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials,
                        &length) == 0 &&
           credentials.uid == ::getuid();
}

} // namespace

SingleInstance::SingleInstance(QString name, std::chrono::milliseconds silenceLimit,
                               QObject* parent)
    : QObject(parent), m_name(std::move(name)), m_silenceLimit(silenceLimit) {
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
}

QString SingleInstance::privateDirectory() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isPrivateDirectory(runtime))
        return runtime;
    const QString own = QDir::tempPath() + QStringLiteral("/selvor-%1").arg(::getuid());
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    return isPrivateDirectory(own) ? own : QString();
}

QString SingleInstance::defaultName() {
    const QString directory = privateDirectory();
    return directory.isEmpty() ? QString() : directory + QStringLiteral("/selvor.socket");
}

bool SingleInstance::sendToRunning(const QString& message,
                                   const InstanceMessage::Activation& activation,
                                   int timeoutMs) const {
    if (m_name.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs) || !peerIsThisUser(socket.socketDescriptor()))
        return false;
    socket.write(InstanceMessage::encode(message, activation));
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    socket.disconnectFromServer();
    return socket.state() == QLocalSocket::UnconnectedState ||
           socket.waitForDisconnected(timeoutMs);
}

bool SingleInstance::listen() {
    if (m_name.isEmpty())
        return false;
    // Listening replaces any socket file, so first make sure nobody answers on it: a file left
    // by a crashed instance can go, a live instance keeps its socket.
    QLocalSocket probe;
    probe.connectToServer(m_name);
    if (probe.waitForConnected(200))
        return false;
    QLocalServer::removeServer(m_name);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    return m_server.listen(m_name);
}

void SingleInstance::acceptConnection() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!peerIsThisUser(socket->socketDescriptor())) {
            socket->abort();
            continue;
        }
        // A peer that connects and says nothing must not hold a connection for ever, nor one
        // that talks on without a line end fill memory: one byte past the limit decides. A peer
        // that hangs up after its text alone is an older Selvor, which sends no token.
        QTimer::singleShot(m_silenceLimit, socket, &QLocalSocket::abort);
        socket->setReadBufferSize(maximumMessageBytes + 2);
        const auto take = [this, socket](bool ended) {
            if (!socket->isOpen())
                return;
            const InstanceMessage message =
                InstanceMessage::read(socket->peek(maximumMessageBytes + 2), ended);
            if (message.state == InstanceMessage::State::incomplete)
                return;
            socket->skip(socket->bytesAvailable());
            if (message.state == InstanceMessage::State::refused) {
                socket->abort();
                return;
            }
            socket->disconnectFromServer();
            emit messageReceived(message.text, message.activation);
        };
        connect(socket, &QLocalSocket::readyRead, this, [take] { take(false); });
        connect(socket, &QLocalSocket::disconnected, this, [take] { take(true); });
    }
}

} // namespace Selvor
