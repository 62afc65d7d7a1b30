import QtQuick
import Selvor

// A framed panel (group box) with an optional title; children stack vertically inside.
Rectangle {
    id: panel

    property string title
    default property alias content: body.data
    readonly property int padding: 16
    readonly property real contentWidth: width - 2 * padding

    implicitHeight: layout.implicitHeight + 2 * padding
    color: Theme.cardBackground
    radius: 10
    border.color: Qt.rgba(Theme.textSecondary.r, Theme.textSecondary.g, Theme.textSecondary.b, 0.25)

    Column {
        id: layout

        x: panel.padding
        y: panel.padding
        width: panel.contentWidth
        spacing: 12

        Text {
            objectName: "panelTitle"
            textFormat: Text.PlainText
            visible: panel.title !== ""
            text: panel.title
            font: Theme.subheadingFont
            color: Theme.textPrimary
        }
        Column {
            id: body

            width: parent.width
            spacing: 0
        }
    }
}
