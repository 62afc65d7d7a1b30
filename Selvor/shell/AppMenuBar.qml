import QtQuick
import Selvor

// The window's menu bar, drawn like the controls' own. Its one menu, and the controls' module
// with it, is made when first opened: by a click on "Selvor" or by F10.
Rectangle {
    id: bar

    required property Updater updater
    property QtObject menu: null
    // Typing goes on where it was once the menu closes.
    property Item focusBeforeMenu: null

    signal settingsRequested()

    function toggleMenu() {
        if (!menu) {
            menu = Qt.createComponent("AppMenu.qml").createObject(title, { updater: bar.updater })
            menu.settingsRequested.connect(bar.settingsRequested)
        }
        if (menu.visible) {
            menu.close()
        } else {
            focusBeforeMenu = bar.Window.activeFocusItem
            menu.popup(title, 0, title.height)
        }
    }

    objectName: "menuBar"
    implicitHeight: Math.max(20, title.implicitHeight)
    color: Theme.appBackground

    Rectangle {
        y: parent.height - height
        width: parent.width
        height: 1
        color: Qt.tint(Qt.darker(Theme.appBackground, 1.2),
                       Qt.rgba(divider.r, divider.g, divider.b, 0.4))
        readonly property color divider: Qt.lighter(Qt.darker(Theme.appBackground, 1.4), 1.4)
    }

    Rectangle {
        id: title

        readonly property bool highlighted: mouse.pressed || (bar.menu !== null && bar.menu.visible)

        objectName: "menuBarItem_Selvor"
        implicitWidth: label.implicitWidth + 12
        implicitHeight: label.implicitHeight + 12
        height: parent.height
        color: highlighted ? Theme.brandBlue : "transparent"
        Accessible.role: Accessible.MenuItem
        Accessible.name: label.text
        Accessible.onPressAction: bar.toggleMenu()

        Text {
            id: label
            x: 6
            anchors.verticalCenter: parent.verticalCenter
            textFormat: Text.PlainText
            text: "Selvor"
            color: title.highlighted ? "white" : Theme.textPrimary
        }
        MouseArea {
            id: mouse
            anchors.fill: parent
            onClicked: bar.toggleMenu()
        }
    }

    Shortcut {
        sequence: "F10"
        onActivated: bar.toggleMenu()
    }

    Connections {
        target: bar.menu
        function onAboutToHide() {
            if (bar.focusBeforeMenu)
                bar.focusBeforeMenu.forceActiveFocus()
            bar.focusBeforeMenu = null
        }
    }
}
