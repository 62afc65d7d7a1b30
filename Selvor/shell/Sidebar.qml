import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Selvor
import "updates"

// The sections in their groups, bound both ways to appState.selectedTab, and sign-out.
// Arrow keys move the selection; Tab reaches the update status, then "Гарах".
Rectangle {
    id: sidebar

    required property AppState appState
    required property UpdateStatus updateStatus
    property bool tokenPresent: false

    color: Theme.subtleBackground

    ListModel {
        id: sections
        ListElement { group: "Үндсэн"; tab: AppState.Home; raw: "home"; title: "Нүүр"; symbol: "house" }
        ListElement { group: "Үндсэн"; tab: AppState.Id; raw: "id"; title: "Цахим үнэмлэх"; symbol: "person.text.rectangle" }
        ListElement { group: "Үндсэн"; tab: AppState.Logs; raw: "logs"; title: "Түүх"; symbol: "clock.arrow.circlepath" }
        ListElement { group: "Үндсэн"; tab: AppState.Devices; raw: "devices"; title: "Төхөөрөмжүүд"; symbol: "iphone" }
        ListElement { group: "Үндсэн"; tab: AppState.Security; raw: "security"; title: "Аюулгүй байдал"; symbol: "shield.checkered" }
        ListElement { group: "Үндсэн"; tab: AppState.Children; raw: "children"; title: "Хүүхэд"; symbol: "person.2" }
        ListElement { group: "Үндсэн"; tab: AppState.Sign; raw: "sign"; title: "Гарын үсэг"; symbol: "signature" }
        ListElement { group: "Байгууллага"; tab: AppState.Org; raw: "org"; title: "Байгууллага"; symbol: "building.2" }
        ListElement { group: "USB Токен"; tab: AppState.Token; raw: "token"; title: "USB Токен"; symbol: "externaldrive.connected.to.line.below" }
    }

    Connections {
        target: sidebar.appState
        function onSelectedTabChanged() {
            list.currentIndex = sidebar.indexOfTab(sidebar.appState.selectedTab)
        }
    }

    // The arrow keys move through the sections from here.
    function focusSections() {
        list.forceActiveFocus()
    }

    function indexOfTab(tab) {
        for (let i = 0; i < sections.count; ++i) {
            if (sections.get(i).tab === tab)
                return i
        }
        return -1
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        Text {
            objectName: "sidebarTitle"
            textFormat: Text.PlainText
            Layout.leftMargin: 16
            Layout.topMargin: 16
            Layout.bottomMargin: 4
            text: "Selvor"
            font: Theme.headingFont
            color: Theme.textPrimary
        }

        ListView {
            id: list
            objectName: "sidebarList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            focus: true
            activeFocusOnTab: true
            keyNavigationEnabled: true
            Accessible.role: Accessible.List
            Accessible.name: "Хэсгүүд"
            boundsBehavior: Flickable.StopAtBounds
            model: sections
            // Keys and clicks move currentIndex; the selection follows appState both ways. The
            // list makes its first row current while it fills, which must not overwrite the
            // section appState already holds.
            property bool followsAppState: false
            Component.onCompleted: {
                currentIndex = sidebar.indexOfTab(sidebar.appState.selectedTab)
                followsAppState = true
            }
            highlightMoveDuration: 0
            onCurrentIndexChanged: {
                if (followsAppState && currentIndex >= 0)
                    sidebar.appState.selectedTab = sections.get(currentIndex).tab
            }

            section.property: "group"
            section.delegate: Text {
                required property string section
                objectName: "sidebarGroup_" + section
                width: ListView.view.width
                leftPadding: 16
                topPadding: 14
                bottomPadding: 4
                text: section
                font.pixelSize: 11
                font.weight: Font.DemiBold
                color: Theme.textSecondary
            }

            delegate: ItemDelegate {
                id: row
                required property int index
                required property string raw
                required property string title
                required property string symbol

                objectName: "sidebarRow_" + raw
                width: ListView.view.width
                height: 32
                leftPadding: 12
                rightPadding: 12
                focusPolicy: Qt.NoFocus
                highlighted: ListView.isCurrentItem
                onClicked: list.currentIndex = index
                Accessible.name: raw === "token" ? title + ", " + (sidebar.tokenPresent ? "Токен холбогдсон"
                                                                                        : "Токен холбогдоогүй")
                                                 : title

                background: Rectangle {
                    anchors.fill: parent
                    anchors.leftMargin: 8
                    anchors.rightMargin: 8
                    radius: 6
                    color: row.highlighted ? Qt.rgba(Theme.brandBlue.r, Theme.brandBlue.g, Theme.brandBlue.b, list.activeFocus ? 0.22 : 0.14)
                                           : row.hovered ? Qt.rgba(Theme.textSecondary.r, Theme.textSecondary.g, Theme.textSecondary.b, 0.10) : "transparent"
                    // The keys' place shows as a ring, as on every other control.
                    border.width: row.highlighted && list.activeFocus ? 2 : 0
                    border.color: Theme.brandBlue
                }

                contentItem: RowLayout {
                    spacing: 8
                    Icon {
                        Layout.preferredWidth: 20
                        symbol: row.symbol
                        size: 17
                        color: row.highlighted ? Theme.brandBlue : Theme.textSecondary
                    }
                    ElidedText {
                        objectName: "sidebarRowTitle_" + row.raw
                        textFormat: Text.PlainText
                        Layout.fillWidth: true
                        text: row.title
                        elide: Text.ElideRight
                        font: Theme.bodyFont
                        color: Theme.textPrimary
                    }
                    Rectangle {
                        objectName: "tokenPresenceDot"
                        readonly property string stateText: sidebar.tokenPresent ? "Токен холбогдсон"
                                                                                 : "Токен холбогдоогүй"
                        visible: row.raw === "token"
                        Layout.preferredWidth: 7
                        Layout.preferredHeight: 7
                        radius: 3.5
                        color: sidebar.tokenPresent ? Theme.successGreen : Qt.rgba(Theme.textSecondary.r, Theme.textSecondary.g, Theme.textSecondary.b, 0.3)
                        // Never by colour alone.
                        Accessible.role: Accessible.Indicator
                        Accessible.name: stateText
                        ToolTip.text: stateText
                        ToolTip.visible: dotHover.hovered
                        ToolTip.delay: 500
                        HoverHandler {
                            id: dotHover
                            margin: 6
                        }
                    }
                }
            }
        }

        UpdateStatusView {
            objectName: "updateStatusView"
            Layout.leftMargin: 12
            Layout.rightMargin: 12
            status: sidebar.updateStatus
        }

        Button {
            id: signOut
            objectName: "signOutButton"
            Layout.fillWidth: true
            Layout.margins: 8
            flat: true
            text: "Гарах"
            Accessible.name: text
            onClicked: sidebar.appState.signOut()
            Keys.onReturnPressed: clicked()
            Keys.onEnterPressed: clicked()
            contentItem: Text {
                text: signOut.text
                font: Theme.bodyFont
                color: Theme.dangerRed
                horizontalAlignment: Text.AlignLeft
                verticalAlignment: Text.AlignVCenter
                leftPadding: 4
            }
        }
    }
}
