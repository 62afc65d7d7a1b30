import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Selvor
import "../"

// The foot of the sidebar: the version, or that an update is known, as a button that checks;
// below it, when the user last checked from here.
ColumnLayout {
    id: foot

    required property UpdateStatus status

    spacing: 2

    AbstractButton {
        id: button
        objectName: "updateStatusButton"
        Layout.topMargin: 4
        focusPolicy: Qt.StrongFocus
        padding: 2
        Accessible.role: Accessible.Button
        Accessible.name: (foot.status.updateAvailable ? "Шинэчлэлт байна!" : "v" + foot.status.appVersion)
                         + ". Шинэчлэлт шалгах"
        Accessible.description: foot.status.lastCheckDate !== "" ? "Шалгасан: " + foot.status.lastCheckDate : ""
        onClicked: foot.status.checkForUpdates()
        Keys.onReturnPressed: clicked()
        Keys.onEnterPressed: clicked()

        background: Rectangle {
            radius: 4
            color: button.hovered ? Qt.rgba(Theme.textSecondary.r, Theme.textSecondary.g, Theme.textSecondary.b, 0.10) : "transparent"
            border.width: button.visualFocus ? 2 : 0
            border.color: Theme.brandBlue
        }

        contentItem: RowLayout {
            spacing: 4
            Icon {
                objectName: "updateStatusIcon"
                symbol: foot.status.updateAvailable ? "arrow.down.circle.fill" : "info.circle"
                size: foot.status.updateAvailable ? 13 : 11
                color: foot.status.updateAvailable ? Theme.brandBlue : Theme.textSecondary
            }
            Text {
                objectName: "updateStatusText"
                textFormat: Text.PlainText
                text: foot.status.updateAvailable ? "Шинэчлэлт байна!" : "v" + foot.status.appVersion
                font.pixelSize: foot.status.updateAvailable ? 12 : 10
                font.weight: foot.status.updateAvailable ? Font.DemiBold : Font.Normal
                color: foot.status.updateAvailable ? Theme.brandBlue : Theme.textSecondary
            }
        }
    }

    Text {
        objectName: "lastCheckText"
        textFormat: Text.PlainText
        visible: foot.status.lastCheckDate !== ""
        Layout.leftMargin: 2
        Layout.bottomMargin: 4
        text: "Шалгасан: " + foot.status.lastCheckDate
        font.pixelSize: 9
        color: Qt.rgba(Theme.textSecondary.r, Theme.textSecondary.g, Theme.textSecondary.b, 0.7)
    }
}
