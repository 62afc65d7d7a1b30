#include "account/AccountText.hpp"

#include <QStringList>

namespace Selvor::AccountText {

QString initials(const QString& fullName) {
    const QStringList words = fullName.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QString letters;
    for (qsizetype i = 0; i < words.size() && i < 2; ++i)
        letters += QString::fromStdString(characterPrefix(words[i].toStdString(), 1));
    return letters.toUpper();
}

QString greeting(const QString& fullName) {
    const QString name = fullName.isEmpty() ? QStringLiteral("Хэрэглэгч") : fullName;
    return QStringLiteral("Сайн байна уу, ") + name + QLatin1Char('!');
}

QString truncatedId(std::string_view id, std::size_t count) {
    return QString::fromStdString(characterPrefix(id, count)) + QStringLiteral("...");
}

QString toneColour(LabelTone tone) {
    switch (tone) {
    case LabelTone::success:
        return QStringLiteral("successGreen");
    case LabelTone::danger:
        return QStringLiteral("dangerRed");
    case LabelTone::secondary:
        break;
    }
    return QStringLiteral("textSecondary");
}

} // namespace Selvor::AccountText
