import QtQuick
import QtQuick.Layouts
import Selvor

// The home screen: greeting, four stat cards, trusted devices and the latest activities.
// It asks for fresh account data each time it is shown.
AccountPage {
    id: view

    required property AppState appState

    title: ""
    objectName: "dashboardView"

    onVisibleChanged: if (visible) viewModel.reload()
    Component.onCompleted: if (visible) viewModel.reload()

    DashboardViewModel {
        id: viewModel

        appState: view.appState
    }

    Item {
        width: parent.width
        height: Math.max(avatar.height, heading.implicitHeight, pill.height)

        AccountInitials {
            id: avatar

            anchors.verticalCenter: parent.verticalCenter
            initials: viewModel.initials
            diameter: 56
        }
        Column {
            id: heading

            anchors.left: avatar.right
            anchors.leftMargin: 16
            anchors.right: pill.left
            anchors.rightMargin: 16
            anchors.verticalCenter: parent.verticalCenter
            spacing: 4

            Text {
                objectName: "greeting"
                textFormat: Text.PlainText
                width: parent.width
                text: viewModel.greeting
                font: Theme.titleFont
                color: Theme.textPrimary
                wrapMode: Text.Wrap
            }
            Text {
                objectName: "subtitle"
                textFormat: Text.PlainText
                width: parent.width
                text: "Таны цахим иргэний үнэмлэхийн удирдлагын самбар"
                font: Theme.bodyFont
                color: Theme.textSecondary
                wrapMode: Text.Wrap
            }
        }
        Rectangle {
            id: pill

            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            width: pillRow.implicitWidth + 24
            height: pillRow.implicitHeight + 12
            radius: height / 2
            color: Qt.rgba(Theme.successGreen.r, Theme.successGreen.g, Theme.successGreen.b, 0.1)

            Row {
                id: pillRow

                anchors.centerIn: parent
                spacing: 6

                Rectangle {
                    anchors.verticalCenter: parent.verticalCenter
                    width: 6
                    height: 6
                    radius: 3
                    color: Theme.successGreen
                }
                Text {
                    objectName: "systemStatus"
                    textFormat: Text.PlainText
                    text: "Систем хэвийн ажиллаж байна"
                    font.pixelSize: Theme.captionFont.pixelSize
                    font.weight: Font.DemiBold
                    color: Theme.successGreen
                }
            }
        }
    }

    RowLayout {
        id: cards

        width: parent.width
        spacing: 12

        // The cards stay and take new values: a Qt Quick Layout must never see its delegates
        // destroyed and rebuilt, which a new list as the model would do on every change.
        Repeater {
            model: viewModel.statCards.length

            AccountStatCard {
                required property int index

                objectName: "statCard" + index
                card: viewModel.statCards[index]
                Layout.fillWidth: true
                Layout.fillHeight: true
                Layout.preferredWidth: 1
            }
        }
    }

    AccountPanel {
        id: devicesPanel

        objectName: "devicesPanel"
        width: parent.width
        title: "Итгэмжлэгдсэн төхөөрөмжүүд"

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

            Column {
                id: deviceRow

                required property var modelData
                required property int index

                objectName: "deviceRow"
                width: devicesPanel.contentWidth

                AccountDivider {
                    visible: deviceRow.index > 0
                }
                Item {
                    width: parent.width
                    height: Math.max(deviceTile.height, deviceText.implicitHeight) + 16

                    AccountSymbolTile {
                        id: deviceTile

                        anchors.verticalCenter: parent.verticalCenter
                        symbol: deviceRow.modelData.icon
                        tint: Theme[deviceRow.modelData.iconColour]
                        side: 36
                    }
                    Column {
                        id: deviceText

                        anchors.left: deviceTile.right
                        anchors.leftMargin: 12
                        anchors.right: deviceStatus.left
                        anchors.rightMargin: 12
                        anchors.verticalCenter: parent.verticalCenter
                        spacing: 2

                        Text {
                            objectName: "deviceSummary"
                            textFormat: Text.PlainText
                            width: parent.width
                            text: deviceRow.modelData.summary
                            font: Theme.bodyFont
                            color: Theme.textPrimary
                            elide: Text.ElideRight
                        }
                        Text {
                            objectName: "deviceRegistered"
                            textFormat: Text.PlainText
                            width: parent.width
                            text: deviceRow.modelData.registered
                            font: Theme.captionFont
                            color: Theme.textSecondary
                            elide: Text.ElideRight
                        }
                    }
                    Text {
                        id: deviceStatus

                        objectName: "deviceStatus"
                        textFormat: Text.PlainText
                        anchors.right: parent.right
                        anchors.verticalCenter: parent.verticalCenter
                        text: deviceRow.modelData.status
                        font: Theme.bodyFont
                        color: Theme[deviceRow.modelData.statusColour]
                    }
                }
            }
        }
    }

    AccountPanel {
        id: activitiesPanel

        objectName: "activitiesPanel"
        width: parent.width
        title: "Сүүлийн үйлдлүүд"

        AccountActivityLine {
            date: "Огноо"
            action: "Үйлдэл"
            platform: "Платформ"
            result: "Төлөв"
            header: true
        }
        AccountDivider {}
        Text {
            objectName: "noActivities"
            textFormat: Text.PlainText
            visible: !viewModel.hasActivities
            topPadding: 8
            text: "Үйлдэл байхгүй"
            font: Theme.bodyFont
            color: Theme.textSecondary
        }
        Repeater {
            model: viewModel.activities

            Column {
                id: activityRow

                required property int index
                required property string moment
                required property string action
                required property string rpName
                required property string result
                required property string resultColour

                objectName: "activityRow"
                width: activitiesPanel.contentWidth

                AccountDivider {
                    visible: activityRow.index > 0
                }
                AccountActivityLine {
                    date: activityRow.moment
                    action: activityRow.action
                    platform: activityRow.rpName
                    result: activityRow.result
                    resultColour: Theme[activityRow.resultColour]
                }
            }
        }
    }
}
