// What a later start sends the running one, as arbitrary bytes: a text line, then a token line.
// A message is complete only once both lines have ended within the limit (or, from an older
// sender, when it hung up right after the text line), and then its text is non-empty, trimmed,
// free of control characters and exactly what the bytes before the first line end say, and its
// token is empty or one of the two variables with a token of printable ASCII; bytes after the
// message change nothing. Cutting a message off before its last line end leaves it incomplete; a
// refusal stays one whatever follows. Every text and token sent arrives whole, control
// characters in the text replaced, unless the text is blank or too long; a token that cannot
// travel is left out. Each input is read again behind filler that brings it to the limit.
#include "shell/input/InstanceMessage.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

using Selvor::InstanceMessage;
using State = InstanceMessage::State;

void check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

bool isControl(QChar c) {
    return c.category() == QChar::Other_Control;
}

bool isCleanToken(const QByteArray& token) {
    return !token.isEmpty() &&
           std::all_of(token.begin(), token.end(), [](char c) { return c > ' ' && c < '\x7F'; });
}

void checkActivation(const InstanceMessage::Activation& activation) {
    check(activation.isEmpty() == activation.variable.isEmpty());
    if (!activation.isEmpty()) {
        check(activation.variable == "XDG_ACTIVATION_TOKEN" ||
              activation.variable == "DESKTOP_STARTUP_ID");
        check(isCleanToken(activation.token));
    }
}

void checkReceived(const QByteArray& received) {
    const InstanceMessage message = InstanceMessage::read(received);
    const qsizetype textEnd = received.indexOf('\n');
    const qsizetype tokenEnd = textEnd < 0 ? -1 : received.indexOf('\n', textEnd + 1);
    switch (message.state) {
    case State::incomplete: {
        check(tokenEnd < 0 && received.size() <= InstanceMessage::maximumBytes + 1);
        check(InstanceMessage::read(received + "\n\n").state != State::incomplete);
        const InstanceMessage ended = InstanceMessage::read(received, true);
        check((ended.state == State::complete) == (textEnd >= 0 && textEnd == received.size() - 1));
        break;
    }
    case State::refused:
        check(InstanceMessage::read(received + '\n').state == State::refused);
        check(InstanceMessage::read(received + "x\n\n").state == State::refused);
        check(InstanceMessage::read(received, true).state == State::refused);
        break;
    case State::complete: {
        check(tokenEnd >= 0 && tokenEnd <= InstanceMessage::maximumBytes + 1);
        check(!message.text.isEmpty() && message.text == message.text.trimmed());
        check(std::none_of(message.text.cbegin(), message.text.cend(), isControl));
        check(received.first(textEnd).contains(message.text.toUtf8()));
        checkActivation(message.activation);
        check(InstanceMessage::read(received.first(tokenEnd)).state == State::incomplete);
        const InstanceMessage whole = InstanceMessage::read(received.first(tokenEnd + 1));
        check(whole.state == State::complete && whole.text == message.text &&
              whole.activation == message.activation);
        const InstanceMessage older = InstanceMessage::read(received.first(textEnd + 1), true);
        check(older.state == State::complete && older.text == message.text &&
              older.activation.isEmpty());
        break;
    }
    }
}

void checkSent(const QString& text, const QByteArray& token) {
    QString expected = text;
    std::replace_if(expected.begin(), expected.end(), isControl,
                    QChar(QChar::ReplacementCharacter));
    expected = expected.trimmed();
    const InstanceMessage::Activation activation{"DESKTOP_STARTUP_ID", token};
    const QByteArray encoded = InstanceMessage::encode(text, activation);
    const InstanceMessage message = InstanceMessage::read(encoded);
    const qsizetype textBytes = encoded.indexOf('\n');
    if (expected.isEmpty() || textBytes > InstanceMessage::maximumBytes) {
        check(message.state == State::refused);
        return;
    }
    check(message.state == State::complete && message.text == expected);
    const bool travels = isCleanToken(token) &&
                         textBytes + qsizetype(sizeof "DESKTOP_STARTUP_ID=") - 1 + token.size() <=
                             InstanceMessage::maximumBytes;
    check(travels ? message.activation == activation : message.activation.isEmpty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    checkReceived(bytes);
    checkReceived(QByteArray(InstanceMessage::maximumBytes - 64, 'a') + bytes);
    // The input's first half as the text, the rest as the token.
    checkSent(QString::fromUtf8(bytes.first(bytes.size() / 2)), bytes.sliced(bytes.size() / 2));
    return 0;
}
