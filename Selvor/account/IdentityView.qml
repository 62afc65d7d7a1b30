import QtQuick
import QtQuick.Controls
import Selvor
import "../shell"

// The identity card: the person's header and a grid of captioned facts; a progress indicator
// until the account data has arrived.
AccountPage {
    id: view

    required property AppState appState

    account: appState

    objectName: "identityView"
    title: "Цахим иргэний үнэмлэх"

    IdentityViewModel {
        id: viewModel

        appState: view.appState
    }

    BusyIndicator {
        objectName: "progress"
        visible: !viewModel.hasData
        running: visible
    }

    AccountPanel {
        objectName: "identityPanel"
        visible: viewModel.hasData
        width: parent.width

        Item {
            width: parent.width
            height: Math.max(avatar.height, person.implicitHeight)

            AccountInitials {
                id: avatar

                anchors.verticalCenter: parent.verticalCenter
                initials: viewModel.initials
                diameter: 64
            }
            Column {
                id: person

                anchors.left: avatar.right
                anchors.leftMargin: 16
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                spacing: 4

                Text {
                    objectName: "fullName"
                    textFormat: Text.PlainText
                    width: parent.width
                    text: viewModel.fullName
                    font: Theme.headingFont
                    color: Theme.textPrimary
                    wrapMode: Text.Wrap
                }
                SelectableText {
                    objectName: "nationalId"
                    textFormat: Text.PlainText
                    text: viewModel.nationalId
                    font.pixelSize: 13
                    color: Theme.textSecondary
                }
            }
        }
        Item {
            width: parent.width
            height: 16
        }
        AccountDivider {}
        Item {
            width: parent.width
            height: 16
        }
        // A positioner, not a Qt Quick Layout: the cells are rebuilt whenever the data changes,
        // and a layout must not see its delegates destroyed under it.
        Grid {
            id: cellGrid

            width: parent.width
            columns: 2
            rowSpacing: 16
            columnSpacing: 16

            Repeater {
                model: viewModel.cells

                Column {
                    id: cell

                    required property var modelData

                    objectName: "cell"
                    width: (cellGrid.width - cellGrid.columnSpacing) / 2
                    spacing: 4

                    ElidedText {
                        objectName: "caption"
                        textFormat: Text.PlainText
                        width: parent.width
                        text: cell.modelData.caption
                        font.pixelSize: Theme.captionFont.pixelSize
                        font.weight: Font.Medium
                        font.capitalization: Font.AllUppercase
                        color: Theme.textSecondary
                        elide: Text.ElideRight
                    }
                    SelectableText {
                        objectName: "value"
                        textFormat: Text.PlainText
                        width: parent.width
                        text: cell.modelData.value
                        font.pixelSize: Theme.bodyFont.pixelSize
                        font.weight: Font.DemiBold
                        color: Theme[cell.modelData.colour]
                        wrapMode: Text.Wrap
                    }
                }
            }
        }
    }
}
