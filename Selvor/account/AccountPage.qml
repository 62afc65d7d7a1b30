import QtQuick
import QtQuick.Controls
import Selvor
import "../shell"

// The frame of an account screen: a vertical scroll view on the window background with a
// title and, below it, the screen's panels in a column inset from the edges. Given the account
// whose figures it shows, a failed load stands in place of the panels.
ScrollPage {
    id: page

    required property string title
    property AppState account: null
    default property alias content: figures.data
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
        Loader {
            id: notice

            readonly property bool shown: item !== null && item.needed

            active: page.account !== null
            visible: shown
            width: parent.width
            sourceComponent: AccountLoadNotice {
                width: notice.width
                account: page.account
            }
        }
        Column {
            id: figures

            visible: !notice.shown
            width: parent.width
            spacing: column.spacing
        }
    }
}
