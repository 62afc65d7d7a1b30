import QtQuick
import QtQuick.Layouts
import Selvor
import "../shell"

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

    // The status pill stands at the right end while the greeting beside it needs at most two
    // lines; a longer name moves it under the heading, so the greeting keeps the width.
    readonly property real headingBesidePill: columnWidth - avatar.width - 16 - 16 - pill.width
    readonly property bool pillBeside: greetingProbe.lineCount <= 2

    Text {
        id: greetingProbe

        visible: false
        textFormat: Text.PlainText
        width: view.headingBesidePill
        text: viewModel.greeting
        font: Theme.titleFont
        wrapMode: Text.Wrap
    }

    Item {
        width: parent.width
        height: view.pillBeside ? Math.max(avatar.height, heading.implicitHeight, pill.height)
                                : Math.max(avatar.height, heading.implicitHeight + 8 + pill.height)

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
            anchors.right: view.pillBeside ? pill.left : parent.right
            anchors.rightMargin: view.pillBeside ? 16 : 0
            anchors.verticalCenter: view.pillBeside ? parent.verticalCenter : undefined
            anchors.top: view.pillBeside ? undefined : parent.top
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

            anchors.right: view.pillBeside ? parent.right : undefined
            anchors.verticalCenter: view.pillBeside ? parent.verticalCenter : undefined
            anchors.left: view.pillBeside ? undefined : heading.left
            anchors.top: view.pillBeside ? undefined : heading.bottom
            anchors.topMargin: 8
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

    AccountLoadNotice {
        id: notice

        width: parent.width
        account: view.appState
    }

    // Four cards across while every title word fits its card beside the icon, else two: a
    // title breaks only between words.
    FontMetrics {
        id: titleMetrics

        font.pixelSize: Theme.captionFont.pixelSize
        font.weight: Font.Medium
    }
    readonly property real widestTitleWord: {
        let widest = 0
        for (const card of viewModel.statCards) {
            for (const word of card.title.toUpperCase().split(" "))
                widest = Math.max(widest, titleMetrics.advanceWidth(word))
        }
        return widest
    }

    GridLayout {
        id: cards

        visible: !notice.visible
        width: parent.width
        // A card's title has its width less the card's padding (2 × 16) and the icon beside it
        // (28 + 6).
        columns: (width - 3 * 12) / 4 - 66 >= view.widestTitleWord ? 4 : 2
        columnSpacing: 12
        rowSpacing: 12

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
        visible: !notice.visible
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

                        ElidedText {
                            objectName: "deviceSummary"
                            textFormat: Text.PlainText
                            width: parent.width
                            text: deviceRow.modelData.summary
                            font: Theme.bodyFont
                            color: Theme.textPrimary
                            elide: Text.ElideRight
                        }
                        ElidedText {
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
        visible: !notice.visible
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
