import QtQuick

// A soft shadow (black, about 10 % at its core) under a rounded card: a few widening,
// fading outlines stand in for a blur.
Item {
    id: shadow

    required property Item target

    x: target.x
    y: target.y + 2
    width: target.width
    height: target.height
    z: target.z - 1

    Repeater {
        model: 6
        Rectangle {
            required property int index
            anchors.fill: parent
            anchors.margins: -index - 1
            radius: (shadow.target.radius ?? 0) + index + 1
            color: "transparent"
            border.width: 1
            border.color: Qt.rgba(0, 0, 0, 0.10 * (1 - index / 6) * 0.6)
        }
    }
    Rectangle {
        anchors.fill: parent
        radius: shadow.target.radius ?? 0
        color: Qt.rgba(0, 0, 0, 0.10)
    }
}
