import QtQuick
import QtQuick.Controls
import Selvor
import "../shell"

// "Буцах": a plain button in the brand colour.
AbstractButton {
    id: button

    objectName: "backButton"
    implicitWidth: row.implicitWidth + 8
    implicitHeight: row.implicitHeight + 8
    focusPolicy: Qt.StrongFocus
    Accessible.role: Accessible.Button
    Accessible.name: "Буцах"

    contentItem: Item {}
    background: Rectangle {
        color: "transparent"
        radius: 4
        border.width: button.visualFocus ? 2 : 0
        border.color: Theme.brandBlue
    }

    Row {
        id: row
        anchors.centerIn: parent
        spacing: 4
        Icon {
            symbol: "chevron.left"
            color: Theme.brandBlue
        }
        Text {
            textFormat: Text.PlainText
            text: "Буцах"
            font: Theme.bodyFont
            color: Theme.brandBlue
        }
    }
}
