import QtQuick
import QtQuick.Controls
import Selvor
import "updates"

// The application menu: about, the update check, settings and quit.
Menu {
    id: menu

    required property Updater updater

    signal settingsRequested()

    objectName: "appMenu"
    title: "Selvor"
    // A click on its title in the bar closes the open menu, instead of closing and reopening it.
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutsideParent

    AppMenuItem {
        objectName: "aboutMenuItem"
        text: "Selvor-ийн тухай"
        onTriggered: menu.settingsRequested()
    }
    CheckForUpdatesView {
        updater: menu.updater
    }
    MenuSeparator {}
    AppMenuItem {
        objectName: "settingsMenuItem"
        text: "Тохиргоо..."
        shortcutText: "Ctrl+,"
        onTriggered: menu.settingsRequested()
    }
    MenuSeparator {}
    AppMenuItem {
        objectName: "quitMenuItem"
        text: "Програмаас гарах"
        shortcutText: "Ctrl+Q"
        onTriggered: Qt.quit()
    }
}
