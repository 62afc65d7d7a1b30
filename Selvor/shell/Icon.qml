import QtQuick
import Selvor

// A system-symbol name drawn as a glyph of the icon font; tinted like text.
Text {
    textFormat: Text.PlainText
    required property string symbol
    // A glyph of the icon font: nothing for a screen reader to read.
    Accessible.ignored: true
    property real size: 16

    text: SymbolTable.glyph(symbol)
    font.family: SymbolTable.fontFamily
    font.pixelSize: size
    color: Theme.textSecondary
    horizontalAlignment: Text.AlignHCenter
    verticalAlignment: Text.AlignVCenter
    renderType: Text.QtRendering
}
