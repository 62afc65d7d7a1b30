import QtQuick
import QtQuick.Controls

// One line of plain text that shows its whole text as a tooltip when it had to be cut short.
Text {
    id: line

    textFormat: Text.PlainText
    elide: Text.ElideRight
    ToolTip.text: text
    ToolTip.visible: truncated && hover.hovered
    ToolTip.delay: 500

    HoverHandler {
        id: hover
    }
}
