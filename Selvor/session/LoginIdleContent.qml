import QtQuick
import QtQuick.Layouts
import Selvor
import "../shell"

// The sign-in choices: method picker, error line, register-number form or QR code, web sign-in.
ColumnLayout {
    id: idle

    required property LoginViewModel viewModel

    spacing: 16

    SegmentedPicker {
        objectName: "methodPicker"
        Layout.fillWidth: true
        options: ["Регистрийн дугаар", "QR код"]
        optionNames: ["methodRegisterNumber", "methodQrCode"]
        selectedIndex: idle.viewModel.method === LoginViewModel.QrCode ? 1 : 0
        onActivated: index => idle.viewModel.method = index === 1 ? LoginViewModel.QrCode
                                                                   : LoginViewModel.RegisterNumber
    }

    // Made when there is something to say, like the QR code below when it is chosen: a start
    // builds only what the sign-in screen shows.
    Loader {
        objectName: "errorLine"
        visible: idle.viewModel.errorMessage !== ""
        active: visible
        Layout.fillWidth: true
        sourceComponent: RowLayout {
            spacing: 6
            Icon {
                Layout.alignment: Qt.AlignTop
                symbol: "exclamationmark.triangle.fill"
                size: 13
                color: Theme.dangerRed
            }
            SelectableText {
                objectName: "errorMessage"
                textFormat: Text.PlainText
                Layout.fillWidth: true
                text: idle.viewModel.errorMessage
                wrapMode: Text.Wrap
                font: Theme.captionFont
                color: Theme.dangerRed
            }
        }
    }

    ColumnLayout {
        objectName: "registerNumberForm"
        visible: idle.viewModel.method === LoginViewModel.RegisterNumber
        Layout.fillWidth: true
        spacing: 8

        Text {
            objectName: "registerNumberLabel"
            textFormat: Text.PlainText
            text: "Регистрийн дугаар"
            font: Theme.subheadingFont
            color: Theme.textPrimary
        }
        LineField {
            objectName: "registerNumberField"
            Layout.fillWidth: true
            focus: true
            placeholderText: "УБ99112233"
            Accessible.name: "Регистрийн дугаар"
            font.family: Theme.monospaceFamily
            font.pixelSize: 15
            text: idle.viewModel.registerNumberText
            onTextEdited: idle.viewModel.registerNumberText = text
            onAccepted: idle.viewModel.startPush()
        }
        PushButton {
            objectName: "signInButton"
            Layout.fillWidth: true
            Layout.preferredHeight: 36
            primary: true
            text: "Нэвтрэх"
            font.pixelSize: 13
            font.weight: Font.DemiBold
            enabled: idle.viewModel.canStartPush
            onClicked: idle.viewModel.startPush()
        }
    }

    Loader {
        objectName: "qrSection"
        visible: idle.viewModel.method === LoginViewModel.QrCode
        active: visible
        Layout.fillWidth: true
        Layout.preferredWidth: idle.width
        sourceComponent: ColumnLayout {
            spacing: 10

            // The 200-point code inside its white frame, clear of the rounded corners.
            Item {
                Layout.alignment: Qt.AlignHCenter
                Layout.preferredWidth: 224
                Layout.preferredHeight: 224

                // Once a failure is shown no code is being made: the error line says why.
                ColumnLayout {
                    objectName: "qrProgress"
                    anchors.centerIn: parent
                    visible: !idle.viewModel.hasQrImage
                             && !(idle.viewModel.phase === LoginViewModel.Failed
                                  && idle.viewModel.errorMessage !== "")
                    Spinner {
                        Layout.alignment: Qt.AlignHCenter
                    }
                    Text {
                        textFormat: Text.PlainText
                        text: "QR код үүсгэж байна..."
                        font: Theme.bodyFont
                        color: Theme.textSecondary
                    }
                }

                Rectangle {
                    objectName: "qrFrame"
                    anchors.fill: parent
                    visible: idle.viewModel.hasQrImage
                    color: "white"
                    radius: 12
                    border.width: 1
                    border.color: "#D1D5DB"

                    QRImageItem {
                        objectName: "qrImage"
                        anchors.centerIn: parent
                        width: 200
                        height: 200
                        image: idle.viewModel.qrImage
                    }
                }
            }
            Text {
                objectName: "qrHint"
                textFormat: Text.PlainText
                visible: idle.viewModel.hasQrImage
                Layout.alignment: Qt.AlignHCenter
                text: "Selvor аппаар QR кодыг скан хийнэ үү"
                font: Theme.bodyFont
                color: Theme.textPrimary
            }
            WaitingLine {
                objectName: "qrWaiting"
                visible: idle.viewModel.hasQrImage
                Layout.alignment: Qt.AlignHCenter
            }
        }
    }

    PushButton {
        objectName: "webSignInButton"
        Layout.fillWidth: true
        Layout.preferredHeight: 40
        text: "Вэб хөтчөөр нэвтрэх"
        symbol: "globe"
        onClicked: idle.viewModel.startWebSignIn()
    }
}
