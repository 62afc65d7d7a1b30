import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Selvor
import "../shell"

// The file being read, fetched, saved or sent: what happens, how far, and a way to stop it.
RowLayout {
    required property CloudSignViewModel viewModel

    spacing: 12

    Label {
        objectName: "transferTitle"
        textFormat: Text.PlainText
        text: viewModel.transferTitle
        font: Theme.bodyFont
        color: Theme.textPrimary
    }
    ProgressBar {
        objectName: "transferBar"
        from: 0
        to: 1
        value: Math.max(viewModel.transferFraction, 0)
        indeterminate: viewModel.transferFraction < 0
        Layout.fillWidth: true
        Layout.maximumWidth: 320
    }
    Label {
        objectName: "transferText"
        textFormat: Text.PlainText
        text: viewModel.transferText
        font: Theme.captionFont
        color: Theme.textSecondary
    }
    BorderedButton {
        objectName: "cancelTransferButton"
        text: "Болих"
        onClicked: viewModel.cancelTransfer()
    }
}
