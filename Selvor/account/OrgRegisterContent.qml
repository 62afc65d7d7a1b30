import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Selvor
import "../shell"

// Registering a company: its register number, the company found, and the director's approval.
Column {
    id: form

    required property OrganizationsViewModel viewModel
    readonly property bool found: viewModel.lookupResult.name !== undefined

    spacing: 20

    OrgBackButton {
        onClicked: form.viewModel.back()
    }

    Column {
        spacing: 4
        Text {
            textFormat: Text.PlainText
            text: "Байгууллага бүртгэх"
            font: Theme.titleFont
            color: Theme.textPrimary
        }
        Text {
            textFormat: Text.PlainText
            text: "ААН-ийн регистрийн дугаар оруулна уу."
            font: Theme.bodyFont
            color: Theme.textSecondary
        }
    }

    Rectangle {
        width: form.width
        height: panel.implicitHeight + 32
        radius: 8
        color: Theme.cardBackground
        border.color: form.palette.mid

        Column {
            id: panel
            x: 16
            y: 16
            width: parent.width - 32
            spacing: 14

            Text {
                textFormat: Text.PlainText
                text: "ААН-ийн регистр"
                font: Theme.captionFont
                color: Theme.textSecondary
            }
            Row {
                spacing: 8
                TextField {
                    TextContextMenu {}
                    id: numberField
                    objectName: "registerNumberField"
                    width: 200
                    placeholderText: "2012345"
                    Accessible.name: "Байгууллагын регистрийн дугаар"
                    font: Theme.bodyFont
                    readOnly: form.viewModel.isRegistering || form.viewModel.isWaitingForDirector
                    inputMethodHints: Qt.ImhDigitsOnly
                    Component.onCompleted: forceActiveFocus()
                    onTextEdited: {
                        const kept = form.viewModel.editRegisterNumber(text)
                        if (kept !== text)
                            text = kept
                    }
                    Keys.onReturnPressed: form.viewModel.registerCompany()
                    Keys.onEnterPressed: form.viewModel.registerCompany()
                }
                BusyIndicator {
                    objectName: "lookupIndicator"
                    visible: form.viewModel.isLookingUp
                    running: visible
                    width: 22
                    height: 22
                    padding: 0
                    anchors.verticalCenter: numberField.verticalCenter
                }
            }

            Rectangle {
                objectName: "lookupCard"
                visible: form.found
                width: parent.width
                height: found.implicitHeight + 24
                radius: 8
                color: Qt.rgba(Theme.successGreen.r, Theme.successGreen.g, Theme.successGreen.b, 0.05)

                RowLayout {
                    id: found
                    anchors.fill: parent
                    anchors.margins: 12
                    spacing: 10
                    Icon {
                        symbol: "checkmark.circle.fill"
                        color: Theme.successGreen
                        size: 22
                        Layout.alignment: Qt.AlignTop
                    }
                    Column {
                        Layout.fillWidth: true
                        spacing: 2
                        Text {
                            objectName: "lookupName"
                            width: parent.width
                            wrapMode: Text.Wrap
                            textFormat: Text.PlainText
                            text: form.viewModel.lookupResult.name ?? ""
                            font: Theme.subheadingFont
                            color: Theme.textPrimary
                        }
                        Text {
                            objectName: "lookupDirector"
                            visible: (form.viewModel.lookupResult.ceo ?? "") !== ""
                            textFormat: Text.PlainText
                            text: "Захирал: " + (form.viewModel.lookupResult.ceo ?? "")
                            font: Theme.captionFont
                            color: Theme.textSecondary
                        }
                        Text {
                            objectName: "lookupPhone"
                            visible: (form.viewModel.lookupResult.phone ?? "") !== ""
                            textFormat: Text.PlainText
                            text: "Утас: " + (form.viewModel.lookupResult.phone ?? "")
                            font: Theme.captionFont
                            color: Theme.textSecondary
                        }
                    }
                }
            }

            OrgErrorLine {
                objectName: "registerError"
                width: parent.width
                text: form.viewModel.errorMessage
            }

            Rectangle {
                objectName: "directorCard"
                visible: form.viewModel.isWaitingForDirector
                width: parent.width
                height: waiting.implicitHeight + 28
                radius: 8
                color: Qt.rgba(Theme.brandBlue.r, Theme.brandBlue.g, Theme.brandBlue.b, 0.03)
                border.color: Qt.rgba(Theme.brandBlue.r, Theme.brandBlue.g, Theme.brandBlue.b, 0.2)

                Column {
                    id: waiting
                    anchors.centerIn: parent
                    width: parent.width - 28
                    spacing: 10
                    Text {
                        width: parent.width
                        horizontalAlignment: Text.AlignHCenter
                        wrapMode: Text.Wrap
                        textFormat: Text.PlainText
                        text: "Утсан дээрх Selvor апп-д баталгаажуулах хүсэлт илгээгдлээ"
                        font: Theme.bodyFont
                        color: Theme.textSecondary
                    }
                    Text {
                        anchors.horizontalCenter: parent.horizontalCenter
                        textFormat: Text.PlainText
                        text: "Баталгаажуулах код"
                        font.pixelSize: Theme.captionFont.pixelSize
                        font.weight: Font.Medium
                        font.capitalization: Font.AllUppercase
                        color: Theme.textSecondary
                    }
                    VerificationCodeBoxes {
                        anchors.horizontalCenter: parent.horizontalCenter
                        code: form.viewModel.verificationCode
                        boxWidth: 40
                        boxHeight: 48
                        boxRadius: 8
                        digitSize: 24
                        frameColour: form.palette.mid
                    }
                    Row {
                        anchors.horizontalCenter: parent.horizontalCenter
                        spacing: 6
                        BusyIndicator {
                            running: form.viewModel.isWaitingForDirector
                            width: 16
                            height: 16
                            padding: 0
                        }
                        Text {
                            textFormat: Text.PlainText
                            text: "Хүлээж байна..."
                            font: Theme.captionFont
                            color: Theme.textSecondary
                        }
                    }
                }
            }

            BorderedButton {
                objectName: "registerButton"
                visible: !form.viewModel.isWaitingForDirector && !form.viewModel.isRegistering
                text: "Бүртгэх"
                prominent: true
                enabled: form.found
                onClicked: form.viewModel.registerCompany()
            }
            Row {
                objectName: "registeringIndicator"
                visible: form.viewModel.isRegistering && !form.viewModel.isWaitingForDirector
                spacing: 6
                BusyIndicator {
                    running: parent.visible
                    width: 16
                    height: 16
                    padding: 0
                }
                Text {
                    textFormat: Text.PlainText
                    text: "Шалгаж байна..."
                    font: Theme.captionFont
                    color: Theme.textSecondary
                }
            }
        }
    }
}
