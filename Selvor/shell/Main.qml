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

    Shortcut {
        sequences: [StandardKey.Quit]
        onActivated: Qt.quit()
    }

    RootView {
        objectName: "rootView"
        anchors.fill: parent
        appState: window.appState
        tokenManager: window.tokenManager
    }
}
