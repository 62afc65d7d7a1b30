import QtQuick
import Selvor
import "../shell"

// The trusted devices: one panel per device, in the order the service sent them.
AccountPage {
    id: view

    required property AppState appState

    account: appState

    objectName: "devicesView"
    title: "Итгэмжлэгдсэн төхөөрөмжүүд"

    DevicesViewModel {
        id: viewModel

        appState: view.appState
    }

    Text {
        objectName: "noDevices"
        textFormat: Text.PlainText
        visible: viewModel.devices.length === 0
        text: "Төхөөрөмж байхгүй"
        font: Theme.bodyFont
        color: Theme.textSecondary
    }

    Repeater {
        model: viewModel.devices

        AccountPanel {
            id: panel

            required property var modelData

            objectName: "devicePanel"
            width: view.columnWidth

            Item {
                width: parent.width
                height: Math.max(tile.height, lines.implicitHeight)

                AccountSymbolTile {
                    id: tile

                    anchors.verticalCenter: parent.verticalCenter
                    symbol: panel.modelData.icon
                    tint: Theme[panel.modelData.iconColour]
                    side: 40
                }
                Column {
                    id: lines

                    anchors.left: tile.right
                    anchors.leftMargin: 12
                    anchors.right: status.left
                    anchors.rightMargin: 12
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: 2

                    ElidedText {
                        objectName: "platform"
                        textFormat: Text.PlainText
                        width: parent.width
                        text: panel.modelData.platform
                        font: Theme.subheadingFont
                        color: Theme.textPrimary
                        elide: Text.ElideRight
                    }
                    SelectableText {
                        objectName: "deviceId"
                        textFormat: Text.PlainText
                        width: parent.width
                        text: panel.modelData.idLine
                        font: Theme.captionFont
                        color: Theme.textSecondary
                    }
                    ElidedText {
                        objectName: "lastSeen"
                        textFormat: Text.PlainText
                        width: parent.width
                        text: panel.modelData.lastSeen
                        font: Theme.captionFont
                        color: Theme.textSecondary
                        elide: Text.ElideRight
                    }
                }
                Text {
                    id: status

                    objectName: "status"
                    textFormat: Text.PlainText
                    anchors.right: parent.right
                    anchors.verticalCenter: parent.verticalCenter
                    text: panel.modelData.status
                    font: Theme.bodyFont
                    color: Theme[panel.modelData.statusColour]
                }
            }
        }
    }
}
