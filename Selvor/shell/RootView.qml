import QtQuick
import Selvor
import "../session"

// Shows the sign-in screen or the main view, from appState.screen, cross-fading in 0.3 s. The
// main view is made from its file when it is first shown, so that a start loads the sign-in
// screen alone. A screen is told it is shown (activate()) once it is in full view, and takes the
// keyboard's focus then.
FocusScope {
    id: root

    required property AppState appState
    required property TokenManager tokenManager
    required property UpdateStatus updateStatus

    property Item screen: null

    function show(animated) {
        const main = root.appState.screen === AppState.Main
        const component = main ? Qt.createComponent("MainView.qml") : loginComponent
        const properties = main ? {
            appState: root.appState,
            tokenManager: root.tokenManager,
            updateStatus: root.updateStatus
        } : {}
        if (fade.running) {
            fade.stop()
            finishFade()
        }
        const entering = component.createObject(root, properties)
        entering.anchors.fill = root
        entering.focus = true
        fade.leaving = root.screen
        fade.entering = entering
        root.screen = entering
        if (animated && fade.leaving) {
            entering.opacity = 0
            fade.start()
        } else {
            finishFade()
        }
    }

    function finishFade() {
        if (fade.leaving)
            fade.leaving.destroy()
        fade.leaving = null
        fade.entering.opacity = 1
        fade.entering.activate()
    }

    Component.onCompleted: show(false)

    Connections {
        target: root.appState
        function onScreenChanged() {
            root.show(true)
        }
    }

    ParallelAnimation {
        id: fade

        property Item leaving: null
        property Item entering: null

        NumberAnimation { target: fade.entering; property: "opacity"; from: 0; to: 1; duration: 300; easing.type: Easing.InOutQuad }
        NumberAnimation { target: fade.leaving; property: "opacity"; from: 1; to: 0; duration: 300; easing.type: Easing.InOutQuad }
        onFinished: root.finishFade()
    }

    Component {
        id: loginComponent
        LoginView { appState: root.appState }
    }
}
