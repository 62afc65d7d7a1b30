import QtQuick
import QtQuick.Controls

// The usual Cut/Copy/Paste menu of a text field or selectable text, on a right click. Put it
// inside the editor; the menu is made when first asked for, not with every field.
Item {
    id: handler

    property Item editor: parent
    readonly property bool secret: editor.echoMode !== undefined && editor.echoMode !== TextInput.Normal

    anchors.fill: parent

    TapHandler {
        acceptedButtons: Qt.RightButton
        onTapped: {
            menu.active = true
            menu.item.popup()
        }
    }

    Loader {
        id: menu
        active: false
        sourceComponent: Menu {
            MenuItem {
                objectName: "cutMenuItem"
                text: "Хайчлах"
                enabled: !handler.editor.readOnly && !handler.secret && handler.editor.selectedText !== ""
                onTriggered: handler.editor.cut()
            }
            MenuItem {
                objectName: "copyMenuItem"
                text: "Хуулах"
                enabled: !handler.secret && handler.editor.selectedText !== ""
                onTriggered: handler.editor.copy()
            }
            MenuItem {
                objectName: "pasteMenuItem"
                text: "Буулгах"
                enabled: !handler.editor.readOnly && handler.editor.canPaste
                onTriggered: handler.editor.paste()
            }
            MenuItem {
                objectName: "selectAllMenuItem"
                text: "Бүгдийг сонгох"
                enabled: handler.editor.length > 0
                onTriggered: handler.editor.selectAll()
            }
        }
    }
}
