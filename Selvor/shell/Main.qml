import QtQuick
import Selvor

// The one main window: sign-in or the signed-in main view, from appState.screen; the
// application menu, the update dialog and the settings window. Nothing here needs the controls'
// module, so that the sign-in screen is painted without loading it.
ThemedWindow {
    id: window

    required property AppState appState
    required property TokenManager tokenManager
    required property Updater updater
    required property UpdateStatus updateStatus

    // Both made when first wanted, not at start.
    property Window settingsWindow: null
    property QtObject updateDialog: null

    width: 860
    height: 620
    minimumWidth: 680
    minimumHeight: 520
    visible: true
    title: "Selvor"

    // Made afresh each time it opens, so that it reads the environment anew.
    function showSettings() {
        if (!settingsWindow) {
            settingsWindow = Qt.createComponent("SettingsWindow.qml").createObject(window, {
                transientParent: window
            })
            settingsWindow.closing.connect(function () {
                const closed = window.settingsWindow
                window.settingsWindow = null
                closed.destroy()
                window.requestActivate()
            })
        }
        // Over the main window, where a window manager does not place it itself.
        settingsWindow.x = window.x + (window.width - settingsWindow.width) / 2
        settingsWindow.y = window.y + (window.height - settingsWindow.height) / 3
        settingsWindow.show()
        settingsWindow.raise()
        settingsWindow.requestActivate()
    }

    AppMenuBar {
        id: menuBar
        width: parent.width
        updater: window.updater
        onSettingsRequested: window.showSettings()
    }

    Shortcut {
        sequence: "Ctrl+,"
        onActivated: window.showSettings()
    }
    // Spelled out: the platform's standard Quit key is empty where its theme follows Windows
    // conventions (the offscreen and some minimal platforms), and Ctrl+Q is the Linux custom.
    Shortcut {
        sequence: "Ctrl+Q"
        onActivated: Qt.quit()
    }

    RootView {
        objectName: "rootView"
        anchors.fill: parent
        anchors.topMargin: menuBar.height
        focus: true
        appState: window.appState
        tokenManager: window.tokenManager
        updateStatus: window.updateStatus
    }

    // The update dialog, once a check first has something to say.
    Connections {
        target: window.updater
        enabled: !window.updateDialog
        function onPhaseChanged() {
            window.updateDialog = Qt.createComponent("updates/UpdateDialog.qml").createObject(window, {
                updater: window.updater
            })
        }
    }
}
