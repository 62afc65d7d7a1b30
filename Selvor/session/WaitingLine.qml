import QtQuick
import Selvor
import "../shell"

// A small progress indicator with "Хүлээж байна...".
Row {
    spacing: 6
    Spinner {
        width: 18
        height: 18
        anchors.verticalCenter: parent.verticalCenter
    }
    Text {
        anchors.verticalCenter: parent.verticalCenter
        textFormat: Text.PlainText
        text: "Хүлээж байна..."
        font: Theme.captionFont
        color: Theme.textSecondary
    }
}
