import QtQuick
import Selvor

// A brand-blue circle holding a person's initials.
Rectangle {
    id: circle

    property alias initials: label.text
    property int diameter: 56

    width: diameter
    height: diameter
    radius: diameter / 2
    color: Theme.brandBlue

    Text {
        id: label

        objectName: "initials"
        textFormat: Text.PlainText
        anchors.centerIn: parent
        font.pixelSize: circle.diameter * 0.38
        font.weight: Font.DemiBold
        color: "white"
    }
}
