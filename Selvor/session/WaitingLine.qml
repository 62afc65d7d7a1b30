import QtQuick
import QtQuick.Layouts
import Selvor
import "../shell"

// A small progress indicator with "Хүлээж байна...".
RowLayout {
    spacing: 6
    Spinner {
        Layout.preferredWidth: 18
        Layout.preferredHeight: 18
    }
    Text {
        textFormat: Text.PlainText
        text: "Хүлээж байна..."
        font: Theme.captionFont
        color: Theme.textSecondary
    }
}
