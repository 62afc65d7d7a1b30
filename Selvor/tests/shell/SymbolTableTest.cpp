#include "shell/SymbolTable.hpp"

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QRawFont>
#include <QRegularExpression>

#include <set>

namespace Selvor {
namespace {

// Symbol names in the views: every lower-case dotted literal in the value of a property whose
// name ends in "symbol" or "Symbol" (e.g. `symbol: ios ? "iphone" : "phone"`).
std::set<QString> symbolNamesUsedInViews() {
    static const QRegularExpression assignment(QStringLiteral(R"re([sS]ymbol\s*:\s*([^;}\n]*))re"));
    static const QRegularExpression literal(
        QStringLiteral(R"re("([a-z][a-z0-9]*(?:\.[a-z0-9]+)*)")re"));
    std::set<QString> names;
    QDirIterator files(QStringLiteral(SELVOR_SOURCE_DIR), {QStringLiteral("*.qml")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        const QString source = QString::fromUtf8(file.readAll());
        for (const auto& match : assignment.globalMatch(source)) {
            for (const auto& name : literal.globalMatch(match.captured(1)))
                names.insert(name.captured(1));
        }
    }
    return names;
}

TEST(SymbolTableTest, everySymbolUsedInViews_hasAGlyph) {
    const std::set<QString> used = symbolNamesUsedInViews();
    EXPECT_FALSE(used.empty()) << "scan found no symbols in the views";
    for (const QString& name : used)
        EXPECT_TRUE(SymbolTable::table().contains(name)) << "no glyph for " << name.toStdString();
}

TEST(SymbolTableTest, everyGlyph_existsInTheIconFont) {
    ASSERT_FALSE(SymbolTable::fontFamily().isEmpty()) << SymbolTable::fontPath;
    const QRawFont font(QString::fromLatin1(SymbolTable::fontPath), 24);
    ASSERT_TRUE(font.isValid());
    for (const auto& [name, codePoint] : SymbolTable::table())
        EXPECT_TRUE(font.supportsCharacter(QChar(codePoint))) << name.toStdString();
}

TEST(SymbolTableTest, glyph_ofUnknownName_isEmpty) {
    EXPECT_EQ(SymbolTable::glyph(QStringLiteral("house")), QString(QChar(0xe88a)));
    EXPECT_TRUE(SymbolTable::glyph(QStringLiteral("House")).isEmpty());
    EXPECT_TRUE(SymbolTable::glyph(QString()).isEmpty());
}

} // namespace
} // namespace Selvor
