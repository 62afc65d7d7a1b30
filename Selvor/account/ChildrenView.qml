import QtQuick
import Selvor
// Icon lives in the shell folder of this module.
import "../shell"

// Children: a placeholder until child accounts can be managed here.
Rectangle {
    objectName: "childrenView"
    color: Theme.appBackground

    Column {
        anchors.centerIn: parent
        width: Math.min(parent.width - 64, 480)
        spacing: 12

        Icon {
            anchors.horizontalCenter: parent.horizontalCenter
            symbol: "person.2"
            size: 64
            color: Theme.textSecondary
        }
        Text {
            objectName: "heading"
            textFormat: Text.PlainText
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: "Хүүхдийн бүртгэл"
            font: Theme.headingFont
            color: Theme.textPrimary
        }
        Text {
            objectName: "description"
            textFormat: Text.PlainText
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            text: "Хүүхдийн цахим гарын үсгийн бүртгэл удирдах."
            font: Theme.bodyFont
            color: Theme.textSecondary
        }
    }
}
