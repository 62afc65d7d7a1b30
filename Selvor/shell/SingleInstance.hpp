#pragma once

#include "shell/input/InstanceMessage.hpp"

#include <QLocalServer>
#include <QObject>
#include <QString>

#include <chrono>

namespace Selvor {

// One running Selvor per user: a later start hands its URL to the running one over a local
// socket and exits. Only the same user reaches it: the socket lives in a directory that is the
// user's own with mode 0700, and both ends check the other's user id.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // `name` is the socket's path; the default is in privateDirectory(). A connection that sends
    // no complete message within `silenceLimit` is dropped.
    explicit SingleInstance(QString name = defaultName(),
                            std::chrono::milliseconds silenceLimit = std::chrono::seconds(3),
                            QObject* parent = nullptr);

    // XDG_RUNTIME_DIR when it is a directory of this user's with mode 0700, otherwise
    // <temp>/selvor-<uid>, created so and checked the same way; empty when neither is safe.
    [[nodiscard]] static QString privateDirectory();
    // "selvor.socket" in privateDirectory(); empty when there is none.
    [[nodiscard]] static QString defaultName();

    // Hands `message`, with the desktop's token for passing focus on, to a running instance of
    // this user; false when none answers within timeoutMs or the socket's owner is someone else.
    [[nodiscard]] bool sendToRunning(const QString& message,
                                     const InstanceMessage::Activation& activation = {},
                                     int timeoutMs = 1000) const;
    // Starts accepting messages from later instances; false when the socket cannot be made.
    [[nodiscard]] bool listen();

    // Longest message accepted, in bytes; a longer one is dropped.
    static constexpr qint64 maximumMessageBytes = InstanceMessage::maximumBytes;

signals:
    void messageReceived(const QString& message,
                         const Selvor::InstanceMessage::Activation& activation);

private:
    void acceptConnection();

    QString m_name;
    std::chrono::milliseconds m_silenceLimit;
    QLocalServer m_server;
};

} // namespace Selvor
