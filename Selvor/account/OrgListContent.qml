import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Selvor
import "../shell"

// The person's companies, or the invitation to register the first one.
Column {
    id: list

    required property OrganizationsViewModel viewModel

    spacing: 20

    RowLayout {
        width: parent.width
        spacing: 12

        Column {
            Layout.fillWidth: true
            spacing: 4
            Text {
                textFormat: Text.PlainText
                text: "Байгууллага"
                font: Theme.titleFont
                color: Theme.textPrimary
            }
            Text {
                textFormat: Text.PlainText
                text: "Байгууллагын тоон гарын үсэг удирдах"
                font: Theme.bodyFont
                color: Theme.textSecondary
            }
        }
        BorderedButton {
            objectName: "registerOrganizationButton"
            text: "Байгууллага бүртгэх"
            symbol: "plus"
            prominent: true
            onClicked: list.viewModel.startRegistration()
        }
    }

    BusyIndicator {
        objectName: "listLoading"
        visible: list.viewModel.isLoading && list.viewModel.organizations.length === 0
        running: visible
        anchors.horizontalCenter: parent.horizontalCenter
    }

    // Only an answer can say there are none: after a failed load the list stays blank.
    Column {
        objectName: "emptyState"
        visible: !list.viewModel.isLoading && list.viewModel.organizations.length === 0
                 && list.viewModel.errorMessage === ""
        width: parent.width
        spacing: 12
        topPadding: 40

        AccountSymbolTile {
            anchors.horizontalCenter: parent.horizontalCenter
            symbol: "building.2"
            tint: Theme.brandBlue
            side: 80
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            textFormat: Text.PlainText
            text: "Байгууллага бүртгэлгүй байна"
            font: Theme.headingFont
            color: Theme.textPrimary
        }
        Text {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            textFormat: Text.PlainText
            text: "Байгууллагаа бүртгүүлж, тоон гарын үсэг зурагч нэмнэ.\nНэг хүн дээд тал нь 3 байгууллагад бүртгэлтэй байж болно."
            font: Theme.bodyFont
            color: Theme.textSecondary
        }
        BorderedButton {
            objectName: "beginButton"
            anchors.horizontalCenter: parent.horizontalCenter
            text: "Эхлэх"
            symbol: "plus"
            prominent: true
            onClicked: list.viewModel.startRegistration()
        }
    }

    Repeater {
        model: list.viewModel.organizations

        Rectangle {
            id: row
            required property var modelData
            required property int index

            objectName: "organizationRow"
            width: list.width
            height: content.implicitHeight + 24
            radius: 8
            color: Theme.cardBackground
            border.color: list.palette.mid

            RowLayout {
                id: content
                anchors.fill: parent
                anchors.margins: 12
                spacing: 12

                AccountSymbolTile {
                    symbol: "building.2"
                    tint: Theme.brandBlue
                }
                Column {
                    Layout.fillWidth: true
                    spacing: 2
                    ElidedText {
                        objectName: "organizationName"
                        width: parent.width
                        textFormat: Text.PlainText
                        text: row.modelData.name
                        font: Theme.subheadingFont
                        color: Theme.textPrimary
                        elide: Text.ElideRight
                    }
                    Text {
                        textFormat: Text.PlainText
                        text: "Регистр: " + row.modelData.regNumber
                        font: Theme.captionFont
                        color: Theme.textSecondary
                    }
                }
                OrgBadge {
                    objectName: "organizationBadge"
                    text: row.modelData.badge
                    tint: row.modelData.active ? Theme.successGreen : Theme.warningOrange
                }
                BorderedButton {
                    objectName: "detailButton"
                    text: "Дэлгэрэнгүй"
                    onClicked: list.viewModel.openOrganization(row.index)
                }
            }
        }
    }
}
