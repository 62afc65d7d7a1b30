#include "WebLoginIdentity.hpp"

#include <QUrl>
#include <QUrlQuery>

#include <algorithm>

namespace Selvor {
namespace {

constexpr qsizetype maximumURLLength = 4096;
constexpr qsizetype maximumNameLength = 200;

// The name as it may be shown: without format controls (bidirectional overrides and isolates,
// zero-width characters), which could make it read as another name, and at most 200
// characters, never cutting a character in two.
QString displayableName(const QString& name) {
    QString kept;
    qsizetype characters = 0;
    for (const char32_t c : name.toUcs4()) {
        if (characters == maximumNameLength)
            break;
        if (QChar::category(c) == QChar::Other_Format)
            continue;
        kept += QString::fromUcs4(&c, 1);
        ++characters;
    }
    return kept;
}

bool hasControlCharacter(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.category() == QChar::Other_Control || c == QChar::ReplacementCharacter;
    });
}

// The host as written: QUrl folds case, but the scheme's host must be "auth" exactly.
QStringView writtenHost(QStringView url) {
    const qsizetype start = url.indexOf(u"://");
    if (start < 0)
        return {};
    QStringView authority = url.mid(start + 3);
    const auto end = std::find_if(authority.begin(), authority.end(),
                                  [](QChar c) { return c == u'/' || c == u'?' || c == u'#'; });
    authority = authority.left(end - authority.begin());
    const qsizetype at = authority.lastIndexOf(u'@');
    if (at >= 0)
        authority = authority.mid(at + 1);
    const qsizetype colon = authority.indexOf(u':');
    return colon >= 0 ? authority.left(colon) : authority;
}

} // namespace

std::optional<WebLoginIdentity> readWebLoginCallback(const QString& text) {
    if (text.size() > maximumURLLength || hasControlCharacter(text))
        return std::nullopt;
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || !text.startsWith(u"selvorlogin:") || url.scheme() != u"selvorlogin" ||
        writtenHost(text) != u"auth" || url.host() != u"auth")
        return std::nullopt;

    QString nationalID;
    QString fullName;
    for (const auto& [name, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
        if (name == u"national_id")
            nationalID = value;
        else if (name == u"name")
            fullName = value;
    }
    if (nationalID.isEmpty() || hasControlCharacter(nationalID) || hasControlCharacter(fullName))
        return std::nullopt;
    return WebLoginIdentity{nationalID, displayableName(fullName)};
}

} // namespace Selvor
