// The update feed parser and the release-notes cleaner over arbitrary bytes. The only acceptable
// failure is an AppcastError; every item kept keeps the feed's promises, the newest update is
// newer than the current version and than every other item, and cleaned notes are trimmed lines
// with single spaces and at most one blank line in a row.
#include "shell/updates/AppVersion.hpp"
#include "shell/updates/Appcast.hpp"

#include <cstddef>
#include <cstdint>

namespace {

void check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

bool isWebUrl(const QUrl& url) {
    return (url.scheme() == u"https" || url.scheme() == u"http") && !url.host().isEmpty();
}

void checkItem(const Selvor::AppcastItem& item) {
    check(Selvor::compareVersions(item.version, item.version).has_value());
    check(!item.shortVersion.isEmpty());
    check(isWebUrl(item.enclosureUrl));
    check(item.releaseNotesLink.isEmpty() || isWebUrl(item.releaseNotesLink));
    check(item.length > 0);
    check(item.edSignature.size() == 64);
}

void checkPlainText(const QString& text) {
    if (text.isEmpty()) {
        return;
    }
    check(!text.front().isSpace() && !text.back().isSpace());
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i].isSpace() && text[i + 1].isSpace()) {
            // Only a single blank line between two lines of text.
            check(text[i] == u'\n' && text[i + 1] == u'\n');
            check(i + 2 < text.size() && !text[i + 2].isSpace());
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const std::vector<Selvor::AppcastItem> items = Selvor::parseAppcast(bytes);
        for (const Selvor::AppcastItem& item : items) {
            checkItem(item);
            checkPlainText(item.releaseNotes);
        }
        const QStringView current = u"1.0.0";
        if (const auto newest = Selvor::newestUpdate(items, current)) {
            check(Selvor::compareVersions(newest->version, current) ==
                  std::strong_ordering::greater);
            for (const Selvor::AppcastItem& item : items) {
                check(Selvor::compareVersions(item.version, newest->version) !=
                      std::strong_ordering::greater);
            }
        }
    } catch (const Selvor::AppcastError&) {
    }
    checkPlainText(Selvor::plainTextFromHtml(QString::fromUtf8(bytes)));
    return 0;
}
