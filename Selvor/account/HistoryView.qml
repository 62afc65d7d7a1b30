import QtQuick
import QtQuick.Controls
import Selvor
// Icon lives in the shell folder of this module.
import "../shell"

// Every login and signature in the order received. The rows are a virtualised list, so only
// the visible ones exist however long the history is; together they draw one framed panel.
Rectangle {
    id: view

    required property AppState appState
    readonly property int inset: 32
    readonly property int padding: 16
    readonly property color frameColour: Qt.rgba(Theme.textSecondary.r, Theme.textSecondary.g,
                                                  Theme.textSecondary.b, 0.25)

    objectName: "historyView"
    color: Theme.appBackground

    HistoryViewModel {
        id: viewModel

        appState: view.appState
    }

    ListView {
        id: list

        objectName: "sessionList"
        Accessible.role: Accessible.List
        Accessible.name: "Нэвтрэлт / гарын үсгийн түүх"
        anchors.fill: parent
        topMargin: view.inset
        bottomMargin: view.inset
        leftMargin: view.inset
        rightMargin: view.inset
        model: viewModel.sessions
        reuseItems: true
        // The keys scroll the rows: arrows by one, Page Up/Down by a page, the row in hand ringed.
        activeFocusOnTab: true
        keyNavigationEnabled: true
        highlightMoveDuration: 0
        highlight: Rectangle {
            color: "transparent"
            radius: 4
            border.width: list.activeFocus ? 2 : 0
            border.color: Theme.brandBlue
        }
        Keys.onPressed: event => {
            if (event.key === Qt.Key_PageDown || event.key === Qt.Key_PageUp) {
                const page = Math.max(1, Math.floor(height / (currentItem ? currentItem.height : 40)))
                currentIndex = Math.max(0, Math.min(count - 1, currentIndex
                                        + (event.key === Qt.Key_PageDown ? page : -page)))
                event.accepted = true
            }
        }
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}

        header: Column {
            width: list.width - 2 * view.inset
            spacing: 20
            bottomPadding: 20

            Text {
                objectName: "title"
                textFormat: Text.PlainText
                width: parent.width
                text: "Нэвтрэлт / гарын үсгийн түүх"
                font: Theme.titleFont
                color: Theme.textPrimary
                wrapMode: Text.Wrap
            }
            AccountLoadNotice {
                id: notice

                width: parent.width
                account: view.appState
            }
            Text {
                objectName: "noHistory"
                textFormat: Text.PlainText
                visible: !viewModel.hasSessions && !notice.visible
                text: "Түүх байхгүй"
                font: Theme.bodyFont
                color: Theme.textSecondary
            }
        }

        delegate: Item {
            id: row

            required property int index
            required property string icon
            required property string rpName
            required property string moment
            required property string action
            required property string result
            required property string resultColour
            readonly property bool first: index === 0
            readonly property bool last: index === list.count - 1

            objectName: "sessionRow"
            width: list.width - 2 * view.inset
            height: 44 + (first ? view.padding / 2 : 0) + (last ? view.padding / 2 : 0)

            // The panel's frame: a rounded rectangle clipped to this row, reaching past the
            // row's edges except at the panel's first and last rows, so only those are rounded.
            Item {
                anchors.fill: parent
                clip: true

                Rectangle {
                    x: 0
                    y: row.first ? 0 : -20
                    width: parent.width
                    height: parent.height + (row.first ? 0 : 20) + (row.last ? 0 : 20)
                    radius: 10
                    color: Theme.cardBackground
                    border.color: view.frameColour
                }
            }
            Rectangle {
                visible: !row.first
                x: view.padding
                width: parent.width - 2 * view.padding
                height: 1
                color: Qt.rgba(Theme.textSecondary.r, Theme.textSecondary.g, Theme.textSecondary.b, 0.2)
            }
            Item {
                x: view.padding
                y: row.first ? view.padding / 2 : 0
                width: parent.width - 2 * view.padding
                height: 44

                Icon {
                    id: icon

                    anchors.verticalCenter: parent.verticalCenter
                    width: 20
                    symbol: row.icon
                    size: 16
                    color: Theme.brandBlue
                }
                Column {
                    anchors.left: icon.right
                    anchors.leftMargin: 10
                    anchors.right: kind.left
                    anchors.rightMargin: 12
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: 1

                    ElidedText {
                        objectName: "rpName"
                        textFormat: Text.PlainText
                        width: parent.width
                        text: row.rpName
                        font: Theme.bodyFont
                        color: Theme.textPrimary
                        elide: Text.ElideRight
                    }
                    Text {
                        objectName: "moment"
                        textFormat: Text.PlainText
                        text: row.moment
                        font: Theme.captionFont
                        color: Theme.textSecondary
                    }
                }
                Text {
                    id: kind

                    objectName: "kind"
                    textFormat: Text.PlainText
                    width: 80
                    anchors.right: resultText.left
                    anchors.rightMargin: 16
                    anchors.verticalCenter: parent.verticalCenter
                    text: row.action
                    font: Theme.captionFont
                    color: Theme.textSecondary
                }
                ElidedText {
                    id: resultText

                    objectName: "result"
                    textFormat: Text.PlainText
                    width: 120
                    horizontalAlignment: Text.AlignRight
                    elide: Text.ElideRight
                    anchors.right: parent.right
                    anchors.verticalCenter: parent.verticalCenter
                    text: row.result
                    font: Theme.bodyFont
                    color: Theme[row.resultColour]
                }
            }
        }
    }
}
