import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Selvor
import "../shell"

// One company: its header, its members, and the line that adds a member.
Column {
    id: detail

    required property OrganizationsViewModel viewModel

    spacing: 20

    OrgBackButton {
        onClicked: detail.viewModel.back()
    }

    RowLayout {
        width: parent.width
        spacing: 14
        AccountSymbolTile {
            symbol: "building.2"
            tint: Theme.brandBlue
            side: 48
        }
        Column {
            Layout.fillWidth: true
            spacing: 4
            Text {
                objectName: "organizationTitle"
                width: parent.width
                wrapMode: Text.Wrap
                textFormat: Text.PlainText
                text: detail.viewModel.selected.name ?? ""
                font: Theme.titleFont
                color: Theme.textPrimary
            }
            Row {
                spacing: 10
                Text {
                    textFormat: Text.PlainText
                    text: "Регистр: " + (detail.viewModel.selected.regNumber ?? "")
                    font: Theme.captionFont
                    color: Theme.textSecondary
                    anchors.verticalCenter: parent.verticalCenter
                }
                OrgBadge {
                    objectName: "organizationStatus"
                    text: detail.viewModel.selected.badge ?? ""
                    tint: detail.viewModel.selected.active ? Theme.successGreen
                                                           : Theme.warningOrange
                }
            }
        }
    }

    OrgErrorLine {
        objectName: "detailError"
        width: parent.width
        text: detail.viewModel.errorMessage
    }

    SectionBox {
        title: "Гишүүд"
        font: Theme.bodyFont
        width: parent.width

        Column {
            width: parent.width
            spacing: 0

            Text {
                objectName: "noMembers"
                visible: detail.viewModel.members.length === 0
                textFormat: Text.PlainText
                text: "Гишүүд байхгүй"
                font: Theme.captionFont
                color: Theme.textSecondary
                bottomPadding: 8
            }

            Repeater {
                model: detail.viewModel.members

                Column {
                    id: member
                    required property var modelData
                    required property int index

                    width: parent.width
                    objectName: "memberRow"

                    Rectangle {
                        visible: member.index > 0
                        width: parent.width
                        height: 1
                        color: detail.palette.mid
                    }
                    RowLayout {
                        width: parent.width
                        height: 52
                        spacing: 10

                        Rectangle {
                            objectName: "roleMark"
                            width: 8
                            height: 8
                            radius: 4
                            color: member.modelData.admin ? Theme.brandGold : Theme.brandBlue
                        }
                        Column {
                            Layout.fillWidth: true
                            spacing: 2
                            ElidedText {
                                objectName: "memberName"
                                width: parent.width
                                elide: Text.ElideRight
                                textFormat: Text.PlainText
                                text: member.modelData.userName
                                font: Theme.bodyFont
                                color: Theme.textPrimary
                            }
                            Text {
                                objectName: "memberLine"
                                textFormat: Text.PlainText
                                text: member.modelData.nationalId + " · " + member.modelData.role
                                font: Theme.captionFont
                                color: Theme.textSecondary
                            }
                        }
                        OrgBadge {
                            objectName: "memberStatus"
                            text: member.modelData.status
                            tint: member.modelData.statusKind === "active" ? Theme.successGreen
                                : member.modelData.statusKind === "pending" ? Theme.warningOrange
                                : Theme.textSecondary
                        }
                        BorderedButton {
                            objectName: "removeMemberButton"
                            symbol: "trash"
                            symbolColor: Theme.dangerRed
                            Accessible.name: "Хасах"
                            onClicked: detail.viewModel.removeMember(member.index)
                        }
                    }
                }
            }

            Rectangle {
                width: parent.width
                height: 1
                color: detail.palette.mid
            }

            Flow {
                width: parent.width
                spacing: 10
                topPadding: 12

                TextField {
                    TextContextMenu {}
                    id: newMember
                    objectName: "newMemberField"
                    width: 180
                    placeholderText: "РД оруулах"
                    Accessible.name: "Шинэ гишүүний регистрийн дугаар"
                    font: Theme.bodyFont
                    Keys.onReturnPressed: detail.viewModel.addMember(text)
                    Keys.onEnterPressed: detail.viewModel.addMember(text)
                }
                ComboBox {
                    objectName: "roleBox"
                    Accessible.name: "Үүрэг"
                    width: 160
                    font: Theme.bodyFont
                    textRole: "text"
                    valueRole: "value"
                    model: [{ text: "Гарын үсэг зурагч", value: "SIGNER" },
                            { text: "Админ", value: "ADMIN" }]
                    currentIndex: detail.viewModel.newMemberRole === "ADMIN" ? 1 : 0
                    onActivated: detail.viewModel.newMemberRole = currentValue
                }
                BorderedButton {
                    objectName: "addMemberButton"
                    text: "Нэмэх"
                    prominent: true
                    busy: detail.viewModel.isAdding
                    enabled: newMember.text.trim() !== "" && !detail.viewModel.isAdding
                    onClicked: detail.viewModel.addMember(newMember.text)
                }
            }
        }
    }

    Connections {
        target: detail.viewModel
        function onMemberAdded() { newMember.clear() }
    }
}
