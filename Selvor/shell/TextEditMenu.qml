import QtQuick
import QtQuick.Controls

// The usual Cut/Copy/Paste menu of a text field or selectable text.
Menu {
    required property Item editor
    readonly property bool secret: editor.echoMode !== undefined && editor.echoMode !== TextInput.Normal

    MenuItem {
        objectName: "cutMenuItem"
        text: "Хайчлах"
        enabled: !editor.readOnly && !secret && editor.selectedText !== ""
        onTriggered: editor.cut()
    }
    MenuItem {
        objectName: "copyMenuItem"
        text: "Хуулах"
        enabled: !secret && editor.selectedText !== ""
        onTriggered: editor.copy()
    }
    MenuItem {
        objectName: "pasteMenuItem"
        text: "Буулгах"
        enabled: !editor.readOnly && editor.canPaste
        onTriggered: editor.paste()
    }
    MenuItem {
        objectName: "selectAllMenuItem"
        text: "Бүгдийг сонгох"
        enabled: editor.length > 0
        onTriggered: editor.selectAll()
    }
}
