import QtQuick
import Selvor

// Read-only text a user may want to copy (a register number, an id, an error line): selectable
// by mouse, copied with Ctrl+C or the context menu, and always plain text.
TextEdit {
    readOnly: true
    selectByMouse: true
    textFormat: TextEdit.PlainText
    wrapMode: TextEdit.Wrap
    font: Theme.bodyFont
    color: Theme.textPrimary
    selectionColor: Theme.brandBlue
    selectedTextColor: "white"
    Accessible.role: Accessible.StaticText
    Accessible.name: text

    TextContextMenu {}
}
