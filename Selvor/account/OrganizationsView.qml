import QtQuick
import QtQuick.Controls
import Selvor
import "../shell"

// The organisations section: the person's companies, registering one, and a company's members.
// It asks for the list afresh each time it is shown.
ScrollPage {
    id: root

    required property AppState appState
    readonly property OrganizationsViewModel viewModel: model

    objectName: "organizationsView"
    contentWidth: availableWidth
    contentHeight: page.implicitHeight + 64
    background: Rectangle {
        color: Theme.appBackground
    }

    OrganizationsViewModel {
        id: model
        objectName: "organizationsViewModel"
        appState: root.appState
    }

    onVisibleChanged: if (visible) model.load()
    Component.onCompleted: if (visible) model.load()

    Shortcut {
        sequence: "Escape"
        enabled: root.visible && model.mode !== OrganizationsViewModel.List
        onActivated: model.back()
    }

    Loader {
        id: page
        x: 32
        y: 32
        width: root.availableWidth - 64
        sourceComponent: model.mode === OrganizationsViewModel.Register ? registerPage
                       : model.mode === OrganizationsViewModel.Detail ? detailPage : listPage
    }

    Component {
        id: listPage
        OrgListContent { viewModel: model }
    }
    Component {
        id: registerPage
        OrgRegisterContent { viewModel: model }
    }
    Component {
        id: detailPage
        OrgDetailContent { viewModel: model }
    }
}
