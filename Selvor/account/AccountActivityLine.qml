import QtQuick
import Selvor
import "../shell"

// One line of the home screen's activity table: date, action, platform (the column that takes
// the free width) and a right-aligned result. As the header it shows the column titles.
Item {
    id: line

    property string date
    property string action
    property string platform
    property string result
    property color resultColour: Theme.textSecondary
    property bool header: false

    readonly property int dateWidth: 130
    readonly property int actionWidth: 80
    readonly property int resultWidth: 90
    readonly property color textColour: header ? Theme.textSecondary : Theme.textPrimary

    width: parent ? parent.width : 0
    height: dateText.implicitHeight + 16

    component Cell: ElidedText {
        textFormat: Text.PlainText
        anchors.verticalCenter: parent.verticalCenter
        font.pixelSize: line.header ? Theme.captionFont.pixelSize : Theme.bodyFont.pixelSize
        font.weight: line.header ? Font.Medium : Font.Normal
        font.capitalization: line.header ? Font.AllUppercase : Font.MixedCase
        color: line.textColour
        elide: Text.ElideRight
    }

    Cell {
        id: dateText

        objectName: "activityDate"
        width: line.dateWidth
        text: line.date
    }
    Cell {
        objectName: "activityAction"
        x: line.dateWidth
        width: line.actionWidth
        text: line.action
    }
    Cell {
        objectName: "activityPlatform"
        x: line.dateWidth + line.actionWidth
        width: line.width - x - line.resultWidth
        text: line.platform
    }
    Cell {
        objectName: "activityResult"
        x: line.width - line.resultWidth
        width: line.resultWidth
        horizontalAlignment: Text.AlignRight
        text: line.result
        color: line.header ? line.textColour : line.resultColour
    }
}
