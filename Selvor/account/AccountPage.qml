import QtQuick
import QtQuick.Controls
import Selvor

// The frame of an account screen: a vertical scroll view on the window background with a
// title and, below it, the screen's panels in a column inset from the edges.
ScrollView {
    id: page

    required property string title
    default property alias content: column.data
    readonly property int inset: 32
    readonly property real columnWidth: availableWidth - 2 * inset

    contentWidth: availableWidth
    contentHeight: column.implicitHeight + 2 * inset
    background: Rectangle {
        color: Theme.appBackground
    }

    Column {
        id: column

        x: page.inset
        y: page.inset
        width: page.columnWidth
        spacing: 20

        Text {
            objectName: "title"
            textFormat: Text.PlainText
            visible: page.title !== ""
            width: parent.width
            text: page.title
            font: Theme.titleFont
            color: Theme.textPrimary
            wrapMode: Text.Wrap
        }
    }
}
