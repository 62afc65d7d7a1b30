import QtQuick
import QtQuick.Controls
import Selvor
import "../session"

// Shows the sign-in screen or the main view, from appState.screen, cross-fading in 0.3 s.
Item {
    id: root

    required property AppState appState
    required property TokenManager tokenManager
    required property UpdateStatus updateStatus

    StackView {
        id: stack
        objectName: "rootStack"
        anchors.fill: parent
        initialItem: root.appState.screen === AppState.Main ? mainComponent : loginComponent

        replaceEnter: Transition {
            NumberAnimation { property: "opacity"; from: 0; to: 1; duration: 300; easing.type: Easing.InOutQuad }
        }
        replaceExit: Transition {
            NumberAnimation { property: "opacity"; from: 1; to: 0; duration: 300; easing.type: Easing.InOutQuad }
        }
    }

    Connections {
        target: root.appState
        function onScreenChanged() {
            stack.replace(root.appState.screen === AppState.Main ? mainComponent : loginComponent)
        }
    }

    Component {
        id: loginComponent
        LoginView { appState: root.appState }
    }

    Component {
        id: mainComponent
        MainView {
            appState: root.appState
            tokenManager: root.tokenManager
            updateStatus: root.updateStatus
        }
    }
}
