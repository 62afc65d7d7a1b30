#include "InstanceMessage.hpp"

#include <QStringDecoder>

#include <algorithm>

namespace Selvor {
namespace {

// The variables a desktop hands a started program its activation token in.
constexpr const char* tokenVariables[] = {"XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID"};

bool isControl(QChar c) {
    return c.category() == QChar::Other_Control;
}

bool isTokenVariable(QByteArrayView name) {
    return std::any_of(std::begin(tokenVariables), std::end(tokenVariables),
                       [name](const char* variable) { return name == variable; });
}

// Printable ASCII without spaces, what the tokens of both kinds are made of: nothing that could
// end a line or hide in the environment.
bool isCleanToken(QByteArrayView token) {
    return !token.isEmpty() &&
           std::all_of(token.begin(), token.end(), [](char c) { return c > ' ' && c < '\x7F'; });
}

InstanceMessage::Activation readActivation(QByteArrayView line) {
    const qsizetype equals = line.indexOf('=');
    if (equals < 0 || !isTokenVariable(line.first(equals)) ||
        !isCleanToken(line.sliced(equals + 1)))
        return {};
    return {line.first(equals).toByteArray(), line.sliced(equals + 1).toByteArray()};
}

} // namespace

InstanceMessage::Activation InstanceMessage::Activation::fromEnvironment() {
    for (const char* variable : tokenVariables) {
        if (const QByteArray token = qgetenv(variable); !token.isEmpty())
            return {variable, token};
    }
    return {};
}

void InstanceMessage::Activation::lendTo(const std::function<void()>& activate) const {
    if (!isEmpty())
        qputenv(variable.constData(), token);
    activate();
    if (!isEmpty())
        qunsetenv(variable.constData());
}

QByteArray InstanceMessage::encode(const QString& text, const Activation& activation) {
    QString line = text;
    std::replace_if(line.begin(), line.end(), isControl, QChar(QChar::ReplacementCharacter));
    QByteArray bytes = line.toUtf8() + '\n';
    const QByteArray tokenLine = activation.variable + '=' + activation.token;
    if (isTokenVariable(activation.variable) && isCleanToken(activation.token) &&
        bytes.size() - 1 + tokenLine.size() <= maximumBytes)
        bytes += tokenLine;
    return bytes + '\n';
}

InstanceMessage InstanceMessage::read(QByteArrayView received, bool ended) {
    const qsizetype textEnd = received.indexOf('\n');
    if (textEnd < 0)
        return {received.size() > maximumBytes ? State::refused : State::incomplete, {}, {}};
    if (textEnd > maximumBytes)
        return {State::refused, {}, {}};
    // Stateless: a sequence cut off at the line end is an error, not something to wait for. A
    // leading byte order mark stays, so that the text is exactly what was sent.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    const QString text = QString(decoder(received.first(textEnd))).trimmed();
    if (decoder.hasError() || text.isEmpty() || std::any_of(text.cbegin(), text.cend(), isControl))
        return {State::refused, {}, {}};

    // The limit counts text and token together, without their line ends.
    const qsizetype tokenEnd = received.indexOf('\n', textEnd + 1);
    if (tokenEnd < 0 || tokenEnd > maximumBytes + 1) {
        if (ended && received.size() == textEnd + 1)
            return {State::complete, text, {}};
        return {received.size() > maximumBytes + 1 ? State::refused : State::incomplete, {}, {}};
    }
    return {State::complete, text,
            readActivation(received.sliced(textEnd + 1, tokenEnd - textEnd - 1))};
}

} // namespace Selvor
