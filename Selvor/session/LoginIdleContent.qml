import QtQuick
import Selvor
import "../shell"

// The sign-in choices: method picker, error line, register-number form or QR code, web sign-in.
Column {
    id: idle

    required property LoginViewModel viewModel

    spacing: 16

    SegmentedPicker {
        objectName: "methodPicker"
        width: parent.width
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
        width: parent.width
        sourceComponent: Row {
            spacing: 6
            Icon {
                id: warningIcon
                symbol: "exclamationmark.triangle.fill"
                size: 13
                color: Theme.dangerRed
            }
            SelectableText {
                objectName: "errorMessage"
                textFormat: Text.PlainText
                width: parent.width - warningIcon.width - parent.spacing
                text: idle.viewModel.errorMessage
                wrapMode: Text.Wrap
                font: Theme.captionFont
                color: Theme.dangerRed
            }
        }
    }

    Column {
        objectName: "registerNumberForm"
        visible: idle.viewModel.method === LoginViewModel.RegisterNumber
        width: parent.width
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
            width: parent.width
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
            width: parent.width
            height: 36
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
        width: parent.width
        sourceComponent: Column {
            spacing: 10

            // The 200-point code inside its white frame, clear of the rounded corners.
            Item {
                anchors.horizontalCenter: parent.horizontalCenter
                width: 224
                height: 224

                // Once a failure is shown no code is being made: the error line says why.
                Column {
                    objectName: "qrProgress"
                    anchors.centerIn: parent
                    visible: !idle.viewModel.hasQrImage
                             && !(idle.viewModel.phase === LoginViewModel.Failed
                                  && idle.viewModel.errorMessage !== "")
                    Spinner {
                        anchors.horizontalCenter: parent.horizontalCenter
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
                anchors.horizontalCenter: parent.horizontalCenter
                text: "Selvor аппаар QR кодыг скан хийнэ үү"
                font: Theme.bodyFont
                color: Theme.textPrimary
            }
            WaitingLine {
                objectName: "qrWaiting"
                visible: idle.viewModel.hasQrImage
                anchors.horizontalCenter: parent.horizontalCenter
            }
        }
    }

    PushButton {
        objectName: "webSignInButton"
        width: parent.width
        height: 40
        text: "Вэб хөтчөөр нэвтрэх"
        symbol: "globe"
        onClicked: idle.viewModel.startWebSignIn()
    }
}
