import QtQuick
import Selvor

// The settings window, which shows the About screen; a fixed 420 by 200.
ThemedWindow {
    id: settings

    objectName: "settingsWindow"
    title: "Тохиргоо"
    flags: Qt.Dialog
    width: 420
    height: 200
    minimumWidth: 420
    maximumWidth: 420
    minimumHeight: 200
    maximumHeight: 200

    Shortcut {
        sequence: "Escape"
        onActivated: settings.close()
    }

    AboutView {
        objectName: "aboutView"
        anchors.fill: parent
    }
}
