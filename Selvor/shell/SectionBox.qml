import QtQuick
import QtQuick.Controls
import Selvor

// A titled panel of a screen: a group box raised on the card colour with a visible frame, in
// light and dark appearance alike.
GroupBox {
    id: box

    background: Rectangle {
        y: box.topPadding - box.bottomPadding
        width: box.width
        height: box.height - box.topPadding + box.bottomPadding
        radius: 6
        color: Theme.cardBackground
        border.color: box.palette.mid
    }
}
