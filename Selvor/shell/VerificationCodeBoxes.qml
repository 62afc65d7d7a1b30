import QtQuick
import Selvor

// A verification code, one character to a box; a screen reader reads it as the whole code, and
// Ctrl+C or the context menu copies it whole.
Row {
    id: boxes

    required property string code
    property int boxWidth: 44
    property int boxHeight: 52
    property int boxRadius: 10
    property int digitSize: 28
    property color boxColour: Theme.cardBackground
    property color frameColour: Theme.textSecondary
    // Made on the first right click, with the controls' module.
    property QtObject copyMenu: null

    objectName: "codeBoxes"
    spacing: 8
    Accessible.role: Accessible.StaticText
    Accessible.name: "Баталгаажуулах код: " + Array.from(code).join(" ")
    activeFocusOnTab: true

    function copyCode() {
        clipboardText.text = boxes.code
        clipboardText.selectAll()
        clipboardText.copy()
    }

    Keys.onPressed: event => {
        if (event.matches(StandardKey.Copy)) {
            copyCode()
            event.accepted = true
        }
    }

    // Only the way to the clipboard: never shown.
    TextEdit {
        id: clipboardText
        visible: false
        textFormat: TextEdit.PlainText
    }

    TapHandler {
        acceptedButtons: Qt.RightButton
        onTapped: {
            if (!boxes.copyMenu)
                boxes.copyMenu = Qt.createComponent("CodeCopyMenu.qml").createObject(boxes, { boxes: boxes })
            boxes.copyMenu.popup()
        }
    }

    Repeater {
        model: Array.from(boxes.code)

        Rectangle {
            required property string modelData

            objectName: "codeBox"
            width: boxes.boxWidth
            height: boxes.boxHeight
            radius: boxes.boxRadius
            color: boxes.boxColour
            border.width: boxes.activeFocus ? 2 : 1
            border.color: boxes.activeFocus ? Theme.brandBlue : boxes.frameColour

            Text {
                anchors.centerIn: parent
                textFormat: Text.PlainText
                text: parent.modelData
                font.pixelSize: boxes.digitSize
                font.bold: true
                color: Theme.textPrimary
                Accessible.ignored: true
            }
        }
    }
}
