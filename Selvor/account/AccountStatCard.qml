import QtQuick
import Selvor
import "../shell"

// One stat card of the home screen, drawn from a card value (title, colour, icon, value,
// subtitle); `colour` names a Theme colour.
Rectangle {
    id: card

    required property var card

    implicitHeight: content.implicitHeight + 32
    color: Theme.cardBackground
    radius: 10
    border.color: Qt.rgba(Theme.textSecondary.r, Theme.textSecondary.g, Theme.textSecondary.b, 0.25)

    Column {
        id: content

        x: 16
        y: 16
        width: card.width - 32
        spacing: 6

        Item {
            width: parent.width
            height: Math.max(title.implicitHeight, tile.height)

            ElidedText {
                id: title

                objectName: "cardTitle"
                textFormat: Text.PlainText
                anchors.left: parent.left
                anchors.right: tile.left
                anchors.rightMargin: 6
                anchors.verticalCenter: parent.verticalCenter
                text: card.card.title
                wrapMode: Text.WordWrap
                maximumLineCount: 2
                font.pixelSize: Theme.captionFont.pixelSize
                font.weight: Font.Medium
                font.capitalization: Font.AllUppercase
                color: Theme.textSecondary
                elide: Text.ElideRight
            }
            AccountSymbolTile {
                id: tile

                anchors.right: parent.right
                symbol: card.card.icon
                tint: Theme[card.card.colour]
                side: 28
            }
        }
        Text {
            objectName: "cardValue"
            textFormat: Text.PlainText
            width: parent.width
            text: card.card.value
            font.pixelSize: 22
            font.weight: Font.Bold
            color: Theme.textPrimary
            // A long value (the last login's date and time) shrinks to fit a narrow card.
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: 13
            height: 30
            verticalAlignment: Text.AlignVCenter
        }
        ElidedText {
            objectName: "cardSubtitle"
            textFormat: Text.PlainText
            width: parent.width
            visible: card.card.hasSubtitle
            text: card.card.subtitle
            font: Theme.captionFont
            color: Theme.textSecondary
            elide: Text.ElideRight
        }
    }
}
