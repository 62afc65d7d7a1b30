#include "WebLoginCallback.hpp"

#include "session/AppState.hpp"

#include <QUrl>
#include <QUrlQuery>

#include <algorithm>

namespace Selvor {
namespace {

constexpr qsizetype maximumURLLength = 4096;

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

std::optional<WebLogin> parseWebLoginCallback(const QString& text) {
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
    return WebLogin{nationalID, fullName};
}

bool handleWebLoginCallback(const QString& url, AppState& appState) {
    const std::optional<WebLogin> login = parseWebLoginCallback(url);
    if (!login)
        return false;
    appState.completeSignIn(login->nationalID, login->fullName);
    return true;
}

} // namespace Selvor
