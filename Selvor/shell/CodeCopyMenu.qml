import QtQuick
import QtQuick.Controls

// The verification code's menu: copy it whole.
Menu {
    required property Item boxes

    MenuItem {
        objectName: "copyCodeMenuItem"
        text: "Хуулах"
        onTriggered: boxes.copyCode()
    }
}
