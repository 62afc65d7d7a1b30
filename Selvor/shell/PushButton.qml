import QtQuick
import Selvor

// A push button drawn like the controls' own (or filled with the brand colour when primary),
// built without their module so that a screen shown at start needs none of it. A click, Space,
// Return or Enter presses it; the keyboard's focus shows as the highlighted outline.
Item {
    id: button

    property string text
    // An icon before the text, from the symbol font.
    property string symbol
    property bool primary: false
    property font font: Theme.bodyFont
    readonly property bool down: mouse.pressed && mouse.containsMouse
    readonly property bool hovered: mouse.containsMouse

    signal clicked()

    implicitWidth: Math.max(80, label.implicitWidth + 16)
    implicitHeight: Math.max(24, label.implicitHeight + 8)
    activeFocusOnTab: true
    Accessible.role: Accessible.Button
    Accessible.name: text
    Accessible.onPressAction: button.clicked()

    Keys.onPressed: event => {
        if ([Qt.Key_Space, Qt.Key_Return, Qt.Key_Enter].includes(event.key) && !event.isAutoRepeat) {
            button.clicked()
            event.accepted = true
        }
    }

    FramePalette {
        id: frame
    }

    Rectangle {
        anchors.fill: parent
        visible: !button.primary
        radius: 2
        color: frame.buttonFace(button.hovered, button.down)
        gradient: button.down ? null : faceGradient
        border.color: frame.buttonOutline(button.activeFocus, button.enabled)

        Gradient {
            id: faceGradient
            GradientStop { position: 0; color: Qt.lighter(frame.buttonFace(button.hovered, false), 1.24) }
            GradientStop { position: 1; color: Qt.lighter(frame.buttonFace(button.hovered, false), 1.02) }
        }
        Rectangle {
            x: 1
            y: 1
            width: parent.width - 2
            height: parent.height - 2
            radius: 2
            color: "transparent"
            border.color: Qt.rgba(1, 1, 1, 30 / 255)
        }
    }

    // Disabled, it gives up the brand colour: a dimmed blue still reads as a button to press on
    // a dark window.
    Rectangle {
        anchors.fill: parent
        visible: button.primary
        radius: 6
        color: button.enabled ? Theme.brandBlue : Theme.subtleBackground
        opacity: button.down ? 0.8 : 1
        border.width: button.activeFocus ? 2 : 0
        border.color: Theme.textPrimary
    }

    Row {
        id: label
        anchors.centerIn: parent
        spacing: 8
        opacity: button.enabled || button.primary ? 1 : 0.5

        Loader {
            anchors.verticalCenter: parent.verticalCenter
            active: button.symbol !== ""
            sourceComponent: Icon {
                symbol: button.symbol
                size: 16
                color: Theme.textPrimary
            }
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            textFormat: Text.PlainText
            text: button.text
            font: button.font
            color: !button.primary ? Theme.textPrimary : button.enabled ? "white" : Theme.textSecondary
        }
    }

    MouseArea {
        id: mouse
        anchors.fill: parent
        hoverEnabled: true
        onClicked: button.clicked()
    }
}
