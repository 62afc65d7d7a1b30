#include "Appcast.hpp"

#include "AppVersion.hpp"

#include <QXmlStreamReader>

namespace Selvor {

namespace {

// A feed lists a handful of releases; anything near these bounds is not a feed worth reading.
constexpr qsizetype maxFeedBytes = 4 * 1024 * 1024;
constexpr std::size_t maxItems = 1000;
// Eighteen digits always fit in a qint64.
constexpr qsizetype maxLengthDigits = 18;
constexpr qsizetype signatureSize = 64;

constexpr QLatin1StringView sparkleNamespace("http://www.andymatuschak.org/xml-namespaces/sparkle");

// What one <item> says, before any of it is checked.
struct FeedEntry {
    QString title;
    QString description;
    QString version;
    QString shortVersion;
    QString releaseNotesLink;
    bool hasEnclosure = false;
    QString enclosureUrl;
    QString enclosureLength;
    QString enclosureSignature;
    QString enclosureVersion;
    QString enclosureShortVersion;
};

QString errorText(const QXmlStreamReader& reader) {
    return QStringLiteral("line %1, column %2: %3")
        .arg(reader.lineNumber())
        .arg(reader.columnNumber())
        .arg(reader.errorString());
}

bool isVersion(QStringView text) {
    return compareVersions(text, text).has_value();
}

// Only web addresses with a host: never a local file, a script or a relative path.
QUrl webUrl(const QString& text) {
    const QUrl url(text.trimmed());
    const bool web = url.scheme() == u"https" || url.scheme() == u"http";
    return url.isValid() && web && !url.host().isEmpty() ? url : QUrl();
}

// Zero for anything but a positive decimal number.
qint64 positiveLength(QStringView text) {
    if (text.isEmpty() || text.size() > maxLengthDigits) {
        return 0;
    }
    qint64 value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9') {
            return 0;
        }
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

QByteArray signatureBytes(const QString& text) {
    const auto result = QByteArray::fromBase64Encoding(text.trimmed().toLatin1(),
                                                       QByteArray::AbortOnBase64DecodingErrors);
    return result && result.decoded.size() == signatureSize ? result.decoded : QByteArray();
}

std::optional<AppcastItem> checkedItem(const FeedEntry& entry) {
    AppcastItem item;
    item.version = (entry.version.isEmpty() ? entry.enclosureVersion : entry.version).trimmed();
    item.enclosureUrl = webUrl(entry.enclosureUrl);
    item.length = positiveLength(entry.enclosureLength);
    item.edSignature = signatureBytes(entry.enclosureSignature);
    if (!isVersion(item.version) || item.enclosureUrl.isEmpty() || item.length == 0 ||
        item.edSignature.isEmpty()) {
        return std::nullopt;
    }
    item.title = entry.title.simplified();
    item.shortVersion = entry.shortVersion.simplified();
    if (item.shortVersion.isEmpty()) {
        item.shortVersion = entry.enclosureShortVersion.simplified();
    }
    if (item.shortVersion.isEmpty()) {
        item.shortVersion = item.version;
    }
    item.releaseNotes = plainTextFromHtml(entry.description);
    item.releaseNotesLink = webUrl(entry.releaseNotesLink);
    return item;
}

bool isPlainElement(const QXmlStreamReader& reader, QStringView name) {
    return reader.namespaceUri().isEmpty() && reader.name() == name;
}

bool isSparkleElement(const QXmlStreamReader& reader, QStringView name) {
    return reader.namespaceUri() == sparkleNamespace && reader.name() == name;
}

QString elementText(QXmlStreamReader& reader) {
    return reader.readElementText(QXmlStreamReader::IncludeChildElements);
}

// The first enclosure counts; Sparkle puts the versions on it in older feeds.
void readEnclosure(QXmlStreamReader& reader, FeedEntry& entry) {
    if (!entry.hasEnclosure) {
        const QXmlStreamAttributes attributes = reader.attributes();
        const auto plain = [&attributes](const char* name) {
            return attributes.value(QLatin1StringView(), QLatin1StringView(name)).toString();
        };
        const auto sparkle = [&attributes](const char* name) {
            return attributes.value(sparkleNamespace, QLatin1StringView(name)).toString();
        };
        entry.hasEnclosure = true;
        entry.enclosureUrl = plain("url");
        entry.enclosureLength = plain("length");
        entry.enclosureSignature = sparkle("edSignature");
        entry.enclosureVersion = sparkle("version");
        entry.enclosureShortVersion = sparkle("shortVersionString");
    }
    reader.skipCurrentElement();
}

FeedEntry readItem(QXmlStreamReader& reader) {
    FeedEntry entry;
    while (reader.readNextStartElement()) {
        if (isPlainElement(reader, u"title")) {
            entry.title = elementText(reader);
        } else if (isPlainElement(reader, u"description")) {
            entry.description = elementText(reader);
        } else if (isPlainElement(reader, u"enclosure")) {
            readEnclosure(reader, entry);
        } else if (isSparkleElement(reader, u"version")) {
            entry.version = elementText(reader);
        } else if (isSparkleElement(reader, u"shortVersionString")) {
            entry.shortVersion = elementText(reader);
        } else if (isSparkleElement(reader, u"releaseNotesLink")) {
            entry.releaseNotesLink = elementText(reader);
        } else {
            reader.skipCurrentElement();
        }
    }
    return entry;
}

void readChannel(QXmlStreamReader& reader, std::vector<AppcastItem>& items) {
    while (reader.readNextStartElement()) {
        if (!isPlainElement(reader, u"item")) {
            reader.skipCurrentElement();
            continue;
        }
        std::optional<AppcastItem> item = checkedItem(readItem(reader));
        if (item && items.size() < maxItems) {
            items.push_back(std::move(*item));
        }
    }
}

// Moves to the root element. A document type could declare entities that expand without
// bound, and no feed needs one, so it is refused outright.
void enterRss(QXmlStreamReader& reader) {
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::DTD) {
            throw AppcastError("the feed declares a document type");
        }
        if (token == QXmlStreamReader::StartElement) {
            if (!isPlainElement(reader, u"rss")) {
                throw AppcastError("the feed's root element is not rss");
            }
            return;
        }
    }
    throw AppcastError(errorText(reader).toStdString());
}

} // namespace

std::vector<AppcastItem> parseAppcast(const QByteArray& xml) {
    if (xml.size() > maxFeedBytes) {
        throw AppcastError("the feed is larger than 4 MiB");
    }
    QXmlStreamReader reader(xml);
    enterRss(reader);
    std::vector<AppcastItem> items;
    while (reader.readNextStartElement()) {
        if (isPlainElement(reader, u"channel")) {
            readChannel(reader, items);
        } else {
            reader.skipCurrentElement();
        }
    }
    // Whatever follows the root must still be well-formed.
    while (!reader.atEnd()) {
        reader.readNext();
    }
    if (reader.hasError()) {
        throw AppcastError(errorText(reader).toStdString());
    }
    return items;
}

std::optional<AppcastItem> newestUpdate(const std::vector<AppcastItem>& items,
                                        QStringView currentVersion) {
    const AppcastItem* newest = nullptr;
    for (const AppcastItem& item : items) {
        const QStringView floor = newest ? QStringView(newest->version) : currentVersion;
        if (compareVersions(item.version, floor) == std::strong_ordering::greater) {
            newest = &item;
        }
    }
    return newest ? std::optional<AppcastItem>(*newest) : std::nullopt;
}

} // namespace Selvor
