import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Selvor

// A menu item that also shows its key; the key itself is a Shortcut of the window.
MenuItem {
    id: item

    property string shortcutText: ""

    font: Theme.bodyFont
    Accessible.name: text
    // No check mark and no submenu arrow: never shown here, their images would be the only ones
    // the window loads at start, and the first image loads every image format plugin.
    indicator: null
    arrow: null
    Accessible.description: shortcutText

    contentItem: RowLayout {
        spacing: 24
        opacity: item.enabled ? 1 : 0.45
        Label {
            textFormat: Text.PlainText
            text: item.text
            font: item.font
            color: item.highlighted ? "white" : Theme.textPrimary
            Layout.fillWidth: true
        }
        Label {
            textFormat: Text.PlainText
            visible: item.shortcutText !== ""
            text: item.shortcutText
            font: Theme.captionFont
            color: item.highlighted ? "white" : Theme.textSecondary
        }
    }
}
