#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

#include <map>

namespace Selvor {

// Maps the symbol names the screens use (system-symbol style, e.g. "shield.checkered") to
// glyphs of the Material Icons font, loaded from the system's font directory on first use.
class SymbolTable : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

    Q_PROPERTY(QString fontFamily READ fontFamily CONSTANT)

public:
    explicit SymbolTable(QObject* parent = nullptr);

    // The glyph for a symbol name; empty (and a warning) for a name the table lacks.
    [[nodiscard]] Q_INVOKABLE static QString glyph(const QString& name);
    // The loaded icon font's family, or empty when the font file could not be loaded.
    [[nodiscard]] static QString fontFamily();
    // Loads the icon font now. Before the first window: a font added while texts exist makes
    // every one of them lay itself out again.
    static void loadFont();

    [[nodiscard]] static const std::map<QString, char16_t>& table();
    static constexpr const char* fontPath =
        "/usr/share/fonts/truetype/material-design-icons-iconfont/MaterialIcons-Regular.ttf";
};

} // namespace Selvor
