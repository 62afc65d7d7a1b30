import QtQuick
import Selvor

// A system-symbol name drawn as a glyph of the icon font; tinted like text.
Text {
    textFormat: Text.PlainText
    required property string symbol
    property real size: 16

    text: SymbolTable.glyph(symbol)
    font.family: SymbolTable.fontFamily
    font.pixelSize: size
    color: Theme.textSecondary
    horizontalAlignment: Text.AlignHCenter
    verticalAlignment: Text.AlignVCenter
    renderType: Text.QtRendering
}
