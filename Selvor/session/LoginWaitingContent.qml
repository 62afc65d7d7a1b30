import QtQuick
import QtQuick.Layouts
import Selvor
import "../shell"

// Waiting for the phone: the verification code in boxes, the countdown, and cancel.
ColumnLayout {
    id: waiting

    required property LoginViewModel viewModel

    spacing: 14

    Icon {
        objectName: "waitingIcon"
        Layout.alignment: Qt.AlignHCenter
        symbol: "iphone.and.arrow.forward"
        size: 36
        color: Theme.brandBlue
    }
    Text {
        objectName: "waitingTitle"
        textFormat: Text.PlainText
        Layout.alignment: Qt.AlignHCenter
        text: "Утсандаа баталгаажуулна уу"
        font: Theme.headingFont
        color: Theme.textPrimary
    }
    VerificationCodeBoxes {
        Layout.alignment: Qt.AlignHCenter
        code: waiting.viewModel.verificationCode
        boxColour: Qt.rgba(Theme.brandBlue.r, Theme.brandBlue.g, Theme.brandBlue.b, 0.06)
        frameColour: Qt.rgba(Theme.textSecondary.r, Theme.textSecondary.g, Theme.textSecondary.b, 0.35)
    }
    Text {
        objectName: "codeHint"
        textFormat: Text.PlainText
        Layout.alignment: Qt.AlignHCenter
        Layout.fillWidth: true
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
        text: "Энэ кодыг утасны app дээр харуулсан кодтой тулгана уу"
        font: Theme.captionFont
        color: Theme.textSecondary
    }
    // Read out once a minute, not with every second the text shows.
    RowLayout {
        Layout.alignment: Qt.AlignHCenter
        spacing: 4
        Accessible.role: Accessible.StaticText
        Accessible.name: "Хугацаа дуусахад " + (Number(waiting.viewModel.countdownText.split(":")[0]) + 1)
                         + " минутаас бага үлдлээ"
        Icon {
            symbol: "clock"
            size: 14
            color: countdown.color
        }
        Text {
            id: countdown
            objectName: "countdownText"
            textFormat: Text.PlainText
            text: waiting.viewModel.countdownText
            Accessible.ignored: true
            font.pixelSize: 13
            color: waiting.viewModel.countdownUrgent ? Theme.dangerRed : Theme.textSecondary
        }
    }
    WaitingLine {
        Layout.alignment: Qt.AlignHCenter
    }
    PushButton {
        objectName: "cancelButton"
        Layout.alignment: Qt.AlignHCenter
        text: "Цуцлах"
        onClicked: waiting.viewModel.cancel()
    }
    Shortcut {
        sequences: [StandardKey.Cancel]
        enabled: waiting.visible
        onActivated: waiting.viewModel.cancel()
    }
}
