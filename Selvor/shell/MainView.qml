import QtQuick
import QtQuick.Controls
import Selvor

// The signed-in window: the sidebar and the selected section's screen.
Item {
    id: mainView

    required property AppState appState
    required property TokenManager tokenManager
    required property UpdateStatus updateStatus

    // Opened by the keyboard as much as by the mouse: the sections take the keys at once.
    function activate() {
        sidebar.focusSections()
        preloadSections()
    }

    SplitView {
        anchors.fill: parent
        orientation: Qt.Horizontal

        Sidebar {
            id: sidebar

            objectName: "sidebar"
            SplitView.preferredWidth: 220
            SplitView.minimumWidth: 200
            SplitView.maximumWidth: 320
            appState: mainView.appState
            tokenPresent: mainView.tokenManager.isTokenPresent
            updateStatus: mainView.updateStatus
        }

        Loader {
            id: detail
            objectName: "detail"
            SplitView.fillWidth: true
        }
    }

    // Each section's screen, by its file. The screen is made from its file each time its section
    // is shown, so that it starts afresh, and no file is loaded before the main view is.
    readonly property var sectionFiles: ({
        [AppState.Home]: "../account/DashboardView.qml",
        [AppState.Id]: "../account/IdentityView.qml",
        [AppState.Logs]: "../account/HistoryView.qml",
        [AppState.Devices]: "../account/DevicesView.qml",
        [AppState.Security]: "../account/SecurityView.qml",
        [AppState.Children]: "../account/ChildrenView.qml",
        [AppState.Sign]: "../signing/CloudSignView.qml",
        [AppState.Org]: "../account/OrganizationsView.qml",
        [AppState.Token]: "../token/TokenScreen.qml"
    })
    property list<Component> preloaded

    function showSection() {
        const tab = mainView.appState.selectedTab
        const file = sectionFiles[tab] ?? sectionFiles[AppState.Home]
        if (tab === AppState.Token)
            detail.setSource(file, { tokenManager: mainView.tokenManager })
        else if (tab === AppState.Children)
            detail.setSource(file, {})
        else
            detail.setSource(file, { appState: mainView.appState })
    }

    // Reads and compiles every section's file off the GUI thread (the signing screen brings the
    // file dialogs' module), so that showing a section for the first time only makes its screen.
    function preloadSections() {
        if (preloaded.length === 0)
            preloaded = Object.values(sectionFiles).map(file => Qt.createComponent(file, Component.Asynchronous))
    }
    Component.onCompleted: showSection()

    Connections {
        target: mainView.appState
        function onSelectedTabChanged() {
            mainView.showSection()
        }
    }
}
