import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Selvor
import "../shell"

// A file being read, fetched, saved or sent: what happens, how far, and a way to stop it.
RowLayout {
    id: status

    property string title
    // From 0 to 1, or below 0 while the whole size is unknown.
    property real fraction: -1
    property string detail
    signal cancelRequested

    spacing: 12

    Label {
        objectName: "transferTitle"
        textFormat: Text.PlainText
        text: status.title
        Layout.minimumWidth: implicitWidth
        font: Theme.bodyFont
        color: Theme.textPrimary
    }
    // Drawn here rather than with the style's ProgressBar, whose indeterminate image leaks.
    Rectangle {
        id: track
        objectName: "transferBar"
        readonly property bool indeterminate: status.fraction < 0

        implicitHeight: 6
        radius: 3
        color: Theme.subtleBackground
        border.color: palette.mid
        clip: true
        Layout.fillWidth: true
        Layout.maximumWidth: 320

        Rectangle {
            id: fill
            height: parent.height
            radius: 3
            color: Theme.brandBlue
            width: track.indeterminate ? track.width / 4
                                       : track.width * Math.min(status.fraction, 1)

            // An unknown size: a block runs along the track while the transfer lasts.
            NumberAnimation on x {
                running: track.indeterminate && track.visible
                from: -fill.width
                to: track.width
                duration: 1200
                loops: Animation.Infinite
            }
            Binding on x {
                when: !track.indeterminate
                value: 0
            }
        }
    }
    Label {
        objectName: "transferText"
        textFormat: Text.PlainText
        text: status.detail
        Layout.minimumWidth: implicitWidth
        font: Theme.captionFont
        color: Theme.textSecondary
    }
    BorderedButton {
        objectName: "cancelTransferButton"
        text: "Болих"
        onClicked: status.cancelRequested()
    }
}
