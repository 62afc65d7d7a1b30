// The web-login callback over arbitrary text, as it comes from a link or a later start. An
// accepted URL is a strict "selvorlogin" URL of host "auth" as written, at most 4096 characters,
// naming a non-empty number; number and name carry no control characters, the name no format
// controls and at most 200 characters. Each input is read again with a long tail, which reaches
// the length limit and the cut of a long name.
#include "shell/input/WebLoginIdentity.hpp"

#include <QRegularExpression>
#include <QUrl>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace {

constexpr qsizetype maximumURLLength = 4096;

void check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

bool isClean(const QString& text) {
    return std::none_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.category() == QChar::Other_Control || c == QChar::ReplacementCharacter;
    });
}

// The host exactly as written, told apart from user info, port, path, query and fragment.
QString writtenHost(const QString& text) {
    static const QRegularExpression authorityEnd(QStringLiteral("[/?#]"));
    return text.mid(QStringView(u"selvorlogin://").size())
        .section(authorityEnd, 0, 0)
        .section(u'@', -1)
        .section(u':', 0, 0);
}

void checkURL(const QString& text) {
    const std::optional<Selvor::WebLoginIdentity> identity = Selvor::readWebLoginCallback(text);
    if (!identity) {
        return;
    }
    const QUrl url(text, QUrl::StrictMode);
    check(text.size() <= maximumURLLength && text.startsWith(u"selvorlogin://"));
    check(url.isValid() && url.scheme() == u"selvorlogin" && url.host() == u"auth");
    check(writtenHost(text) == u"auth");
    check(!identity->nationalID.isEmpty() && isClean(identity->nationalID));
    check(isClean(identity->fullName));
    const QList<uint> name = identity->fullName.toUcs4();
    check(name.size() <= 200);
    check(std::none_of(name.cbegin(), name.cend(), [](uint c) {
        return QChar::category(static_cast<char32_t>(c)) == QChar::Other_Format;
    }));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    checkURL(text);
    checkURL(text + QString(maximumURLLength - 64, u'б'));
    return 0;
}
