import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Selvor
import "../shell"

// A failure as the screen shows it: a warning symbol and the text, wrapped.
RowLayout {
    property alias text: message.text

    spacing: 8

    Icon {
        symbol: "exclamationmark.triangle"
        color: Theme.dangerRed
        Layout.alignment: Qt.AlignTop
    }
    Label {
        id: message
        objectName: parent.objectName + "Text"
        textFormat: Text.PlainText
        font: Theme.bodyFont
        color: Theme.dangerRed
        wrapMode: Text.WrapAtWordBoundaryOrAnywhere
        Layout.fillWidth: true
    }
}
