import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Selvor

// A bordered button: an optional symbol or, while busy, a small spinner before its title;
// `prominent` fills it with the brand colour.
Button {
    id: button

    property string symbol: ""
    property color symbolColor: foreground
    property bool busy: false
    property bool prominent: false

    readonly property color foreground: prominent ? "white" : Theme.textPrimary

    font: Theme.bodyFont
    padding: 8
    leftPadding: 12
    rightPadding: 12
    opacity: enabled ? 1 : 0.5
    Accessible.name: text
    // Return and Enter press a focused button as Space does.
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()

    background: Rectangle {
        implicitHeight: 30
        radius: 6
        color: button.prominent ? (button.down ? Qt.darker(Theme.brandBlue, 1.2) : Theme.brandBlue)
                                : (button.down ? Theme.subtleBackground : Theme.cardBackground)
        border.width: button.visualFocus ? 2 : 1
        border.color: button.visualFocus ? Theme.brandBlue
                                         : (button.prominent ? Qt.darker(Theme.brandBlue, 1.15)
                                                             : button.palette.mid)
    }

    contentItem: RowLayout {
        spacing: 6

        BusyIndicator {
            objectName: button.objectName + "Spinner"
            visible: button.busy
            running: button.busy
            padding: 0
            Layout.preferredWidth: 14
            Layout.preferredHeight: 14
        }
        Loader {
            active: button.symbol !== "" && !button.busy
            visible: active
            sourceComponent: Icon {
                symbol: button.symbol
                size: 15
                color: button.symbolColor
            }
        }
        Label {
            textFormat: Text.PlainText
            text: button.text
            font: button.font
            color: button.foreground
            horizontalAlignment: Text.AlignHCenter
            Layout.fillWidth: true
        }
    }
}
