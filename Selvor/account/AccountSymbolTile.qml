import QtQuick
import Selvor
// Icon lives in the shell folder of this module.
import "../shell"

// A symbol on a rounded square of its own colour at 10 % opacity.
Rectangle {
    id: tile

    required property string symbol
    required property color tint
    property int side: 40

    width: side
    height: side
    radius: side / 4
    color: Qt.rgba(tint.r, tint.g, tint.b, 0.1)

    Icon {
        anchors.centerIn: parent
        symbol: tile.symbol
        size: tile.side * 0.55
        color: tile.tint
    }
}
