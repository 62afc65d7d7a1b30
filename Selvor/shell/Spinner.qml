import QtQuick

// A busy indicator that costs nothing until it is shown: the indicator, and the controls' module
// with it, is loaded off the GUI thread when it first becomes visible, so a screen can hold one
// that may never run, and the first one shown does not hold up the window.
Item {
    id: spinner

    property bool running: true

    implicitWidth: 40
    implicitHeight: 40

    Loader {
        anchors.fill: parent
        active: spinner.visible
        asynchronous: true
        source: "SpinnerIndicator.qml"
        onLoaded: item.running = Qt.binding(() => spinner.running && spinner.visible)
    }
}
