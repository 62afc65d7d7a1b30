import QtQuick
import Selvor

// A verification code, one character to a box; a screen reader reads it as the whole code.
Row {
    id: boxes

    required property string code
    property int boxWidth: 44
    property int boxHeight: 52
    property int boxRadius: 10
    property int digitSize: 28
    property color boxColour: Theme.cardBackground
    property color frameColour: Theme.textSecondary

    objectName: "codeBoxes"
    spacing: 8
    Accessible.role: Accessible.StaticText
    Accessible.name: "Баталгаажуулах код: " + Array.from(code).join(" ")

    Repeater {
        model: Array.from(boxes.code)

        Rectangle {
            required property string modelData

            objectName: "codeBox"
            width: boxes.boxWidth
            height: boxes.boxHeight
            radius: boxes.boxRadius
            color: boxes.boxColour
            border.width: 1
            border.color: boxes.frameColour

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
