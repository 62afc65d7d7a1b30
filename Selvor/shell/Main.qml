import QtQuick
import Selvor

// The one main window: sign-in or the signed-in main view, from appState.screen.
ThemedWindow {
    id: window

    required property AppState appState
    required property TokenManager tokenManager

    width: 860
    height: 620
    minimumWidth: 680
    minimumHeight: 520
    visible: true
    title: "Selvor"

    // Spelled out: the platform's standard Quit key is empty where its theme follows Windows
    // conventions (the offscreen and some minimal platforms), and Ctrl+Q is the Linux custom.
    Shortcut {
        sequence: "Ctrl+Q"
        onActivated: Qt.quit()
    }

    RootView {
        objectName: "rootView"
        anchors.fill: parent
        appState: window.appState
        tokenManager: window.tokenManager
    }
}
