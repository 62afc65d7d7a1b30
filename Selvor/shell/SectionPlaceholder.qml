import QtQuick
import Selvor

// A section whose screen is not here yet: its title on the window background.
Rectangle {
    required property string title

    color: Theme.appBackground

    Text {
        objectName: "sectionTitle"
        textFormat: Text.PlainText
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.margins: 24
        text: parent.title
        font: Theme.titleFont
        color: Theme.textPrimary
    }
}
