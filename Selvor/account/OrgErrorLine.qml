import QtQuick
import Selvor
import "../shell"

// The screen's failure text with its warning symbol; hidden while there is none.
Row {
    id: line

    property string text

    visible: text !== ""
    spacing: 6

    Icon {
        symbol: "exclamationmark.triangle.fill"
        color: Theme.dangerRed
        size: 14
    }
    Text {
        objectName: line.objectName + "Text"
        width: line.width - 20
        wrapMode: Text.Wrap
        textFormat: Text.PlainText
        text: line.text
        font: Theme.captionFont
        color: Theme.dangerRed
    }
}
