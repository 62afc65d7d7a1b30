#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace Selvor {

// What a later start hands the running application over the single-instance socket: one line of
// UTF-8 ended by '\n', at most maximumBytes before the line end, without control characters.
struct InstanceMessage {
    enum class State {
        incomplete, // no line end yet; what follows may still make a message
        complete,   // `text` is the message
        refused,    // never a message whatever follows: too long, not UTF-8, control characters
                    // or nothing but white space
    };

    static constexpr qsizetype maximumBytes = 16 * 1024;

    // The bytes `text` travels as. A control character becomes U+FFFD: a line break inside would
    // end the message early and hand over only its first part.
    [[nodiscard]] static QByteArray encode(const QString& text);
    // What the bytes received so far amount to. The first line end closes the message; nothing
    // after it is looked at. White space around the message is dropped.
    [[nodiscard]] static InstanceMessage read(QByteArrayView received);

    State state = State::incomplete;
    QString text;
};

} // namespace Selvor
