#include "ConsentArguments.hpp"

#include <QCommandLineParser>

namespace SelvorConsent {
namespace {

std::optional<QUrl> consentPageUrl(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != u"https" && url.scheme() != u"http") ||
        url.host().isEmpty())
        return std::nullopt;
    return url;
}

} // namespace

std::optional<ConsentArguments> parseConsentArguments(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption title(QStringLiteral("title"), {}, QStringLiteral("text"));
    const QCommandLineOption parentWindow(QStringLiteral("parent-window"), {},
                                          QStringLiteral("window id"));
    parser.addOption(title);
    parser.addOption(parentWindow);
    if (!parser.parse(arguments) || parser.positionalArguments().size() != 1)
        return std::nullopt;

    ConsentArguments result;
    result.title = parser.value(title);
    if (parser.isSet(parentWindow)) {
        bool ok = false;
        const qulonglong id = parser.value(parentWindow).toULongLong(&ok, 10);
        if (!ok || id == 0)
            return std::nullopt;
        result.parentWindow = static_cast<WId>(id);
    }
    const std::optional<QUrl> url = consentPageUrl(parser.positionalArguments().constFirst());
    if (!url)
        return std::nullopt;
    result.url = *url;
    return result;
}

} // namespace SelvorConsent
