# Sources of the shell subsystem, relative to Selvor/. C++ in SELVOR_CXX, views in SELVOR_QML.
list(APPEND SELVOR_CXX
    shell/HexColor.hpp shell/HexColor.cpp
    shell/Theme.hpp shell/Theme.cpp
    shell/FontFamily.hpp shell/FontFamily.cpp
    shell/PortalColorScheme.hpp shell/PortalColorScheme.cpp
    shell/DesktopPortal.hpp shell/DesktopPortal.cpp
    shell/CommandLine.hpp shell/CommandLine.cpp
    shell/SymbolTable.hpp shell/SymbolTable.cpp
    shell/WebLoginCallback.hpp shell/WebLoginCallback.cpp
    shell/SingleInstance.hpp shell/SingleInstance.cpp
    shell/Application.hpp shell/Application.cpp
    shell/SelvorApp.hpp shell/SelvorApp.cpp
    shell/X11Activation.hpp shell/X11Activation.cpp
    shell/FirstFrameReport.hpp shell/FirstFrameReport.cpp
    shell/RendererChoice.hpp shell/RendererChoice.cpp
    shell/NetworkRefusal.hpp shell/NetworkRefusal.cpp
    shell/AboutViewModel.hpp shell/AboutViewModel.cpp
    shell/updates/Updater.hpp shell/updates/Updater.cpp
    shell/updates/UpdateStatus.hpp shell/updates/UpdateStatus.cpp
    shell/updates/CheckForUpdatesViewModel.hpp shell/updates/CheckForUpdatesViewModel.cpp
)
list(APPEND SELVOR_QML
    shell/Main.qml
    shell/ThemedWindow.qml
    shell/RootView.qml
    shell/MainView.qml
    shell/Sidebar.qml
    shell/SegmentedPicker.qml
    shell/CardShadow.qml
    shell/Icon.qml
    shell/BorderedButton.qml
    shell/SectionBox.qml
    shell/AppMenuItem.qml
    shell/AppMenu.qml
    shell/AppMenuBar.qml
    shell/FramePalette.qml
    shell/LineField.qml
    shell/PushButton.qml
    shell/Spinner.qml
    shell/SpinnerIndicator.qml
    shell/TextEditMenu.qml
    shell/CodeCopyMenu.qml
    shell/VerificationCodeBoxes.qml
    shell/SelectableText.qml
    shell/ElidedText.qml
    shell/ScrollPage.qml
    shell/TextContextMenu.qml
    shell/AboutView.qml
    shell/SettingsWindow.qml
    shell/updates/UpdateStatusView.qml
    shell/updates/CheckForUpdatesView.qml
    shell/updates/UpdateDialog.qml
)
# QML type registration includes headers by file name.
include_directories(${CMAKE_CURRENT_LIST_DIR} ${CMAKE_CURRENT_LIST_DIR}/updates)
