import QtQuick

// The usual Cut/Copy/Paste menu of a text field or selectable text, on a right click. Put it
// inside the editor. The menu, and the controls' module with it, is loaded when first asked for,
// not with every field.
Item {
    id: handler

    property Item editor: parent

    anchors.fill: parent

    TapHandler {
        acceptedButtons: Qt.RightButton
        onTapped: {
            if (menu.status === Loader.Null)
                menu.setSource("TextEditMenu.qml", { editor: handler.editor })
            menu.item.popup()
        }
    }

    Loader {
        id: menu
    }

    // Typing goes on in the editor once the menu closes.
    Connections {
        target: menu.item
        function onAboutToHide() {
            handler.editor.forceActiveFocus()
        }
    }
}
