# Sources of the account subsystem, relative to Selvor/. C++ in SELVOR_CXX, views in SELVOR_QML.
list(APPEND SELVOR_CXX
    account/AccountText.hpp account/AccountText.cpp
    account/AccountViewModel.hpp account/AccountViewModel.cpp
    account/DeviceRow.hpp account/DeviceRow.cpp
    account/SessionListModel.hpp account/SessionListModel.cpp
    account/StatCard.hpp account/StatCard.cpp
    account/DashboardViewModel.hpp account/DashboardViewModel.cpp
    account/IdentityViewModel.hpp account/IdentityViewModel.cpp
    account/HistoryViewModel.hpp account/HistoryViewModel.cpp
    account/DevicesViewModel.hpp account/DevicesViewModel.cpp
    account/SecurityViewModel.hpp account/SecurityViewModel.cpp
    account/OrganizationsViewModel.hpp account/OrganizationsViewModel.cpp
)
list(APPEND SELVOR_QML
    account/AccountPage.qml
    account/AccountLoadNotice.qml
    account/AccountPanel.qml
    account/AccountDivider.qml
    account/AccountInitials.qml
    account/AccountSymbolTile.qml
    account/AccountStatCard.qml
    account/AccountActivityLine.qml
    account/DashboardView.qml
    account/IdentityView.qml
    account/HistoryView.qml
    account/DevicesView.qml
    account/SecurityView.qml
    account/ChildrenView.qml
    account/OrganizationsView.qml
    account/OrgListContent.qml
    account/OrgRegisterContent.qml
    account/OrgDetailContent.qml
    account/OrgBadge.qml
    account/OrgBackButton.qml
    account/OrgErrorLine.qml
)
# QML type registration includes headers by file name.
include_directories(${CMAKE_CURRENT_LIST_DIR})
