import QtQuick
import Selvor

// A hairline between rows of a panel.
Rectangle {
    width: parent ? parent.width : 0
    height: 1
    color: Qt.rgba(Theme.textSecondary.r, Theme.textSecondary.g, Theme.textSecondary.b, 0.2)
}
