import QtQuick
import QtQuick.Controls
import Selvor
import "../session"

// Shows the sign-in screen or the main view, from appState.screen, cross-fading in 0.3 s. The
// main view is made from its file when it is first shown, so that a start loads the sign-in
// screen alone.
Item {
    id: root

    required property AppState appState
    required property TokenManager tokenManager
    required property UpdateStatus updateStatus

    function showMainView(operation) {
        stack.replace(Qt.resolvedUrl("MainView.qml"), {
            appState: root.appState,
            tokenManager: root.tokenManager,
            updateStatus: root.updateStatus
        }, operation)
    }

    StackView {
        id: stack
        objectName: "rootStack"
        anchors.fill: parent
        // As the first item, the stack focuses the screen before it activates it, so that the
        // screen can pass the focus on.
        initialItem: root.appState.screen === AppState.Main ? null : loginComponent
        Component.onCompleted: {
            if (root.appState.screen === AppState.Main)
                root.showMainView(StackView.Immediate)
        }

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
            if (root.appState.screen === AppState.Main)
                root.showMainView(StackView.Transition)
            else
                stack.replace(loginComponent)
        }
    }

    Component {
        id: loginComponent
        LoginView { appState: root.appState }
    }
}
