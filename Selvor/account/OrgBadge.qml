import QtQuick
import Selvor

// A status in its colour on a pill of the same colour at 12 % opacity.
Rectangle {
    id: badge

    required property string text
    required property color tint

    implicitWidth: label.implicitWidth + 16
    implicitHeight: label.implicitHeight + 6
    radius: height / 2
    color: Qt.rgba(tint.r, tint.g, tint.b, 0.12)

    Text {
        id: label
        objectName: badge.objectName + "Text"
        anchors.centerIn: parent
        textFormat: Text.PlainText
        text: badge.text
        font: Theme.captionFont
        color: badge.tint
    }
}
