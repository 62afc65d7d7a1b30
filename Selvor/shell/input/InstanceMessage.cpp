#include "InstanceMessage.hpp"

#include <QStringDecoder>

#include <algorithm>

namespace Selvor {
namespace {

bool isControl(QChar c) {
    return c.category() == QChar::Other_Control;
}

} // namespace

QByteArray InstanceMessage::encode(const QString& text) {
    QString line = text;
    std::replace_if(line.begin(), line.end(), isControl, QChar(QChar::ReplacementCharacter));
    return line.toUtf8() + '\n';
}

InstanceMessage InstanceMessage::read(QByteArrayView received) {
    const qsizetype end = received.indexOf('\n');
    if (end < 0)
        return {received.size() > maximumBytes ? State::refused : State::incomplete, {}};
    if (end > maximumBytes)
        return {State::refused, {}};
    // Stateless: a sequence cut off at the line end is an error, not something to wait for. A
    // leading byte order mark stays, so that the text is exactly what was sent.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    const QString text = QString(decoder(received.first(end))).trimmed();
    if (decoder.hasError() || text.isEmpty() || std::any_of(text.cbegin(), text.cend(), isControl))
        return {State::refused, {}};
    return {State::complete, text};
}

} // namespace Selvor
