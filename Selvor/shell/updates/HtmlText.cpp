// Release notes from the feed's HTML as plain text, read here by hand so that nothing is ever
// fetched or run.
#include "Appcast.hpp"

#include <algorithm>
#include <array>
#include <cstdint>

namespace Selvor {

namespace {

constexpr char32_t replacementCharacter = 0xFFFD;
// Any larger value is as invalid as this one; saturating keeps long digit runs from overflowing.
constexpr std::uint32_t beyondUnicode = 0x110000;

struct NamedEntity {
    QStringView name;
    char16_t character;
};

// A non-breaking space becomes a plain one: the text is laid out again anyway.
constexpr std::array<NamedEntity, 6> namedEntities{{
    {u"amp", u'&'},
    {u"lt", u'<'},
    {u"gt", u'>'},
    {u"quot", u'"'},
    {u"apos", u'\''},
    {u"nbsp", u' '},
}};

bool sameName(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool isHeading(QStringView tag) {
    return tag.size() == 2 && (tag[0] == u'h' || tag[0] == u'H') && tag[1] >= u'1' &&
           tag[1] <= u'6';
}

// Elements that stand on lines of their own.
bool isBlock(QStringView tag) {
    static constexpr std::array<QStringView, 9> blocks{
        u"p", u"div", u"ul", u"ol", u"tr", u"table", u"blockquote", u"pre", u"hr"};
    return isHeading(tag) ||
           std::any_of(blocks.begin(), blocks.end(), [tag](auto b) { return sameName(tag, b); });
}

// Elements whose content is code, never text.
bool isHidden(QStringView tag) {
    return sameName(tag, u"script") || sameName(tag, u"style");
}

bool isAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isAsciiAlphanumeric(QChar c) {
    return isAsciiLetter(c) || (c >= u'0' && c <= u'9');
}

// Plain text keeps its own line breaks; in markup they are spaces like any other.
bool hasMarkup(QStringView html) {
    for (qsizetype i = 0; i + 1 < html.size(); ++i) {
        const QChar next = html[i + 1];
        if (html[i] == u'<' && (isAsciiLetter(next) || next == u'/' || next == u'!')) {
            return true;
        }
    }
    return false;
}

int digitValue(QChar c, int base) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (base == 16 && u >= u'a' && u <= u'f') {
        return u - u'a' + 10;
    }
    if (base == 16 && u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    return -1;
}

char32_t validCodePoint(std::uint32_t value) {
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    return value == 0 || surrogate || value >= beyondUnicode ? replacementCharacter
                                                             : static_cast<char32_t>(value);
}

// Gathers lines: whitespace collapsed and trimmed on each, at most one blank line in a row and
// none at either end.
class LineWriter {
public:
    explicit LineWriter(bool keepLineBreaks) : m_keepLineBreaks(keepLineBreaks) {}

    void add(QChar c) {
        if (c == u'\n' && m_keepLineBreaks) {
            breakLine();
        } else if (c.isSpace()) {
            m_space = true;
        } else {
            if (m_space && !m_line.isEmpty()) {
                m_line += u' ';
            }
            m_space = false;
            m_line += c;
        }
    }

    void add(char32_t codePoint) {
        for (const QChar c : QChar::fromUcs4(codePoint)) {
            add(c);
        }
    }

    // A line break as written: repeated, it leaves a blank line.
    void breakLine() {
        if (m_line.isEmpty()) {
            m_blank = !m_text.isEmpty();
        } else {
            if (!m_text.isEmpty()) {
                m_text += m_blank ? u"\n\n" : u"\n";
            }
            m_text += m_line;
            m_line.clear();
            m_blank = false;
        }
        m_space = false;
    }

    void startBlock() {
        if (!m_line.isEmpty()) {
            breakLine();
        }
        m_space = false;
    }

    void startListItem() {
        startBlock();
        m_line = QStringLiteral("•");
        m_space = true;
    }

    QString finish() {
        breakLine();
        return m_text;
    }

private:
    bool m_keepLineBreaks;
    QString m_text;
    QString m_line;
    bool m_space = false;
    bool m_blank = false;
};

// The index after the '>' closing the tag that starts before `from`; quotes opened after '='
// may hold a '>'. An unterminated tag runs to the end, as in a browser.
qsizetype tagEnd(QStringView html, qsizetype from) {
    QChar quote;
    QChar previous;
    for (qsizetype i = from; i < html.size(); ++i) {
        const QChar c = html[i];
        if (!quote.isNull()) {
            quote = c == quote ? QChar() : quote;
        } else if ((c == u'"' || c == u'\'') && previous == u'=') {
            quote = c;
        } else if (c == u'>') {
            return i + 1;
        }
        if (!c.isSpace()) {
            previous = c;
        }
    }
    return html.size();
}

qsizetype afterOrEnd(QStringView html, QStringView marker, qsizetype from) {
    const qsizetype at = html.indexOf(marker, from, Qt::CaseInsensitive);
    return at < 0 ? html.size() : at + marker.size();
}

// Reads the markup at `at` (a '<') into the writer; returns where the text goes on.
qsizetype readMarkup(QStringView html, qsizetype at, LineWriter& writer) {
    if (html.sliced(at).startsWith(u"<!--")) {
        return afterOrEnd(html, u"-->", at + 4);
    }
    qsizetype nameStart = at + 1;
    if (nameStart < html.size() && (html[nameStart] == u'!' || html[nameStart] == u'?')) {
        return afterOrEnd(html, u">", nameStart);
    }
    const bool closing = nameStart < html.size() && html[nameStart] == u'/';
    nameStart += closing ? 1 : 0;
    if (nameStart >= html.size() || !isAsciiLetter(html[nameStart])) {
        writer.add(QChar(u'<'));
        return at + 1;
    }
    qsizetype nameEnd = nameStart;
    while (nameEnd < html.size() && isAsciiAlphanumeric(html[nameEnd])) {
        ++nameEnd;
    }
    const QStringView name = html.sliced(nameStart, nameEnd - nameStart);
    const qsizetype end = tagEnd(html, nameEnd);
    if (sameName(name, u"br")) {
        writer.breakLine();
    } else if (sameName(name, u"li")) {
        closing ? writer.startBlock() : writer.startListItem();
    } else if (isBlock(name)) {
        writer.startBlock();
    } else if (!closing && isHidden(name)) {
        // Skip to the closing tag, which is then read like any other.
        const QString closingMarker = QStringLiteral("</").append(name);
        const qsizetype closingTag = html.indexOf(closingMarker, end, Qt::CaseInsensitive);
        return closingTag < 0 ? html.size() : closingTag;
    }
    return end;
}

// Reads the character reference at `at` (a '&') into the writer; returns where the text goes
// on. Anything that is not a complete reference is text, the '&' included.
qsizetype readEntity(QStringView html, qsizetype at, LineWriter& writer) {
    qsizetype i = at + 1;
    if (i < html.size() && html[i] == u'#') {
        ++i;
        const bool hex = i < html.size() && (html[i] == u'x' || html[i] == u'X');
        const int base = hex ? 16 : 10;
        i += hex ? 1 : 0;
        const qsizetype digitsStart = i;
        std::uint32_t value = 0;
        for (; i < html.size() && digitValue(html[i], base) >= 0; ++i) {
            value = std::min(value * base + digitValue(html[i], base), beyondUnicode);
        }
        if (i > digitsStart && i < html.size() && html[i] == u';') {
            writer.add(validCodePoint(value));
            return i + 1;
        }
    } else {
        for (const NamedEntity& entity : namedEntities) {
            const QStringView candidate = html.sliced(i);
            if (candidate.startsWith(entity.name) &&
                candidate.sliced(entity.name.size()).startsWith(u';')) {
                writer.add(QChar(entity.character));
                return i + entity.name.size() + 1;
            }
        }
    }
    writer.add(QChar(u'&'));
    return at + 1;
}

} // namespace

QString plainTextFromHtml(QStringView html) {
    LineWriter writer(!hasMarkup(html));
    qsizetype i = 0;
    while (i < html.size()) {
        if (html[i] == u'<') {
            i = readMarkup(html, i, writer);
        } else if (html[i] == u'&') {
            i = readEntity(html, i, writer);
        } else {
            writer.add(html[i]);
            ++i;
        }
    }
    return writer.finish();
}

} // namespace Selvor
