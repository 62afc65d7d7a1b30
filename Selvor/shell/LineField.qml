import QtQuick
import Selvor

// A one-line text field drawn like the controls' own, built on TextInput alone so that a screen
// shown at start needs no controls' module: frame, placeholder, I-beam and the edit menu.
TextInput {
    id: field

    property string placeholderText

    padding: 4
    activeFocusOnTab: true
    selectByMouse: true
    clip: true
    verticalAlignment: TextInput.AlignVCenter
    color: Theme.textPrimary
    selectionColor: Theme.brandBlue
    selectedTextColor: "white"

    FramePalette {
        id: frame
    }

    Rectangle {
        z: -1
        anchors.fill: parent
        radius: 2
        color: Theme.cardBackground
        border.color: field.activeFocus ? frame.highlightedOutline : frame.outline

        Rectangle {
            x: 1
            y: 1
            width: parent.width - 2
            height: parent.height - 2
            visible: field.activeFocus
            radius: 1.7
            color: "transparent"
            border.color: Qt.rgba(frame.highlightedOutline.r, frame.highlightedOutline.g,
                                  frame.highlightedOutline.b, 40 / 255)
        }
        Rectangle {
            x: 2
            y: 1
            width: parent.width - 4
            height: 1
            color: Qt.rgba(0, 0, 0, 18 / 255)
        }
    }

    Text {
        x: field.leftPadding
        y: field.topPadding
        width: field.width - field.leftPadding - field.rightPadding
        height: field.height - field.topPadding - field.bottomPadding
        visible: !field.length && !field.preeditText
        textFormat: Text.PlainText
        text: field.placeholderText
        font: field.font
        color: Theme.textSecondary
        verticalAlignment: field.verticalAlignment
        elide: Text.ElideRight
    }

    HoverHandler {
        cursorShape: Qt.IBeamCursor
    }

    TextContextMenu {}
}
