// What a later start sends the running one, as arbitrary bytes. A message is complete only with
// a line end no further than the limit, and then it is non-empty, trimmed, free of control
// characters and exactly what the bytes before the line end say; bytes after the line end change
// nothing. Cutting a message off before its line end leaves it incomplete; a refusal stays one
// whatever follows. Every text sent arrives whole, its control characters replaced, unless it is
// blank or too long. Each input is read again behind filler that brings it to the limit.
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

void checkReceived(const QByteArray& received) {
    const InstanceMessage message = InstanceMessage::read(received);
    const qsizetype end = received.indexOf('\n');
    switch (message.state) {
    case State::incomplete:
        check(end < 0 && received.size() <= InstanceMessage::maximumBytes);
        check(InstanceMessage::read(received + '\n').state != State::incomplete);
        break;
    case State::refused:
        check(InstanceMessage::read(received + '\n').state == State::refused);
        check(InstanceMessage::read(received + "x\n").state == State::refused);
        break;
    case State::complete: {
        check(end >= 0 && end <= InstanceMessage::maximumBytes);
        check(!message.text.isEmpty() && message.text == message.text.trimmed());
        check(std::none_of(message.text.cbegin(), message.text.cend(), isControl));
        check(received.first(end).contains(message.text.toUtf8()));
        check(InstanceMessage::read(received.first(end)).state == State::incomplete);
        const InstanceMessage whole = InstanceMessage::read(received.first(end + 1));
        check(whole.state == State::complete && whole.text == message.text);
        break;
    }
    }
}

void checkSent(const QString& text) {
    QString expected = text;
    std::replace_if(expected.begin(), expected.end(), isControl,
                    QChar(QChar::ReplacementCharacter));
    expected = expected.trimmed();
    const QByteArray encoded = InstanceMessage::encode(text);
    const InstanceMessage message = InstanceMessage::read(encoded);
    if (expected.isEmpty() || encoded.size() - 1 > InstanceMessage::maximumBytes) {
        check(message.state == State::refused);
    } else {
        check(message.state == State::complete && message.text == expected);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    checkReceived(bytes);
    checkReceived(QByteArray(InstanceMessage::maximumBytes - 64, 'a') + bytes);
    checkSent(QString::fromUtf8(bytes));
    return 0;
}
