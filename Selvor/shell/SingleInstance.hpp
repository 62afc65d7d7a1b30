#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace Selvor {

// One running Selvor per user: a later start hands its URL to the running one over a local
// socket and exits. The socket is reachable by the same user only.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // `name` is the socket's name; the default lives in the user's runtime directory.
    explicit SingleInstance(QString name = defaultName(), QObject* parent = nullptr);

    [[nodiscard]] static QString defaultName();

    // Hands `message` to a running instance; false when none answers within timeoutMs.
    [[nodiscard]] bool sendToRunning(const QString& message, int timeoutMs = 1000) const;
    // Starts accepting messages from later instances; false when the socket cannot be made.
    [[nodiscard]] bool listen();

    // Longest message accepted, in bytes; a longer one is dropped.
    static constexpr qint64 maximumMessageBytes = 16 * 1024;

signals:
    void messageReceived(const QString& message);

private:
    void acceptConnection();

    QString m_name;
    QLocalServer m_server;
};

} // namespace Selvor
