import QtQuick
import QtQuick.Controls
import Selvor
import "../account"
import "../signing"
import "../token"

// The signed-in window: the sidebar and the selected section's screen.
Item {
    id: mainView

    required property AppState appState
    required property TokenManager tokenManager
    required property UpdateStatus updateStatus

    // Opened by the keyboard as much as by the mouse: the sections take the keys at once.
    StackView.onActivated: sidebar.focusSections()

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
            sourceComponent: {
                switch (mainView.appState.selectedTab) {
                case AppState.Home: return homeSection
                case AppState.Id: return identitySection
                case AppState.Logs: return historySection
                case AppState.Devices: return devicesSection
                case AppState.Security: return securitySection
                case AppState.Children: return childrenSection
                case AppState.Sign: return signSection
                case AppState.Org: return orgSection
                case AppState.Token: return tokenSection
                }
                return homeSection
            }
        }
    }

    Component { id: homeSection; DashboardView { appState: mainView.appState } }
    Component { id: identitySection; IdentityView { appState: mainView.appState } }
    Component { id: historySection; HistoryView { appState: mainView.appState } }
    Component { id: devicesSection; DevicesView { appState: mainView.appState } }
    Component { id: securitySection; SecurityView { appState: mainView.appState } }
    Component { id: childrenSection; ChildrenView {} }
    Component { id: signSection; CloudSignView { appState: mainView.appState } }
    Component { id: orgSection; OrganizationsView { appState: mainView.appState } }
    Component { id: tokenSection; TokenScreen { tokenManager: mainView.tokenManager } }
}
