#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

namespace Selvor {

// What a later start hands the running application over the single-instance socket: a line of
// UTF-8 text, then a line with the desktop's activation token ("NAME=value", or empty when there
// is none), each ended by '\n', at most maximumBytes without the line ends. An older running
// instance reads the first line only; a sender that hangs up right after the first line is an
// older one, and its text counts without a token.
struct InstanceMessage {
    enum class State {
        incomplete, // the token line has not ended yet; what follows may still make a message
        complete,   // `text` is the message
        refused,    // never a message whatever follows: too long, not UTF-8, control characters
                    // or nothing but white space in the text
    };

    // The token the desktop gave the later start to pass focus on with, in the environment
    // variable it came in: XDG_ACTIVATION_TOKEN (Wayland) or DESKTOP_STARTUP_ID (X11).
    struct Activation {
        QByteArray variable;
        QByteArray token;

        // This process's token, read before Qt takes DESKTOP_STARTUP_ID out of the environment.
        [[nodiscard]] static Activation fromEnvironment();
        [[nodiscard]] bool isEmpty() const { return token.isEmpty(); }
        // Runs `activate` with the token in the environment, where the platform reads it as it
        // asks the compositor for focus, and takes it out again: a token is good for one
        // activation, and the programs Selvor starts later must not inherit it.
        void lendTo(const std::function<void()>& activate) const;
        friend bool operator==(const Activation&, const Activation&) = default;
    };

    static constexpr qsizetype maximumBytes = 16 * 1024;

    // The bytes `text` and `activation` travel as. A control character in the text becomes
    // U+FFFD: a line break inside would end the text early and hand over only its first part. A
    // token that could not be read back whole is left out.
    [[nodiscard]] static QByteArray encode(const QString& text, const Activation& activation = {});
    // What the bytes received so far amount to; `ended` when the sender hung up after them.
    // Nothing after the second line end is looked at. White space around the text is dropped; a
    // token line other than one of the two variables with a token of printable ASCII is ignored.
    [[nodiscard]] static InstanceMessage read(QByteArrayView received, bool ended = false);

    State state = State::incomplete;
    QString text;
    Activation activation;
};

} // namespace Selvor
