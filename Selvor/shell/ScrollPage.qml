import QtQuick
import QtQuick.Controls
import Selvor

// A screen's vertical scroll view that the keyboard reaches too: Tab gives it the focus (shown
// as a ring), then the arrows, Page Up/Down, Home and End scroll it.
ScrollView {
    id: page

    readonly property real lineStep: 40

    activeFocusOnTab: true
    Accessible.role: Accessible.Pane

    function scrollTo(y) {
        const flickable = page.contentItem
        flickable.contentY = Math.max(0, Math.min(y, flickable.contentHeight - flickable.height))
    }

    Keys.onPressed: event => {
        const y = page.contentItem.contentY
        switch (event.key) {
        case Qt.Key_Down: scrollTo(y + lineStep); break
        case Qt.Key_Up: scrollTo(y - lineStep); break
        case Qt.Key_PageDown: scrollTo(y + page.availableHeight * 0.9); break
        case Qt.Key_PageUp: scrollTo(y - page.availableHeight * 0.9); break
        case Qt.Key_Home: scrollTo(0); break
        case Qt.Key_End: scrollTo(page.contentItem.contentHeight); break
        default: return
        }
        event.accepted = true
    }

    Rectangle {
        objectName: "scrollPageFocusRing"
        parent: page
        anchors.fill: parent
        z: 1
        visible: page.activeFocus
        color: "transparent"
        border.width: 2
        border.color: Theme.brandBlue
    }
}
