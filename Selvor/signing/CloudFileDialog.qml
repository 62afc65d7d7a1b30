import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Selvor
import "../shell"

// The files a provider offered, to pick one: arrows and Return, or a double click, choose it.
Dialog {
    id: dialog

    property var names: []
    signal chosen(int index)

    objectName: "cloudFileDialog"
    parent: Overlay.overlay
    anchors.centerIn: parent
    modal: true
    focus: true
    width: Math.min(460, parent ? parent.width - 48 : 460)
    padding: 16
    topPadding: 12

    function choose() {
        if (list.currentIndex >= 0) {
            dialog.chosen(list.currentIndex)
            dialog.close()
        }
    }

    onOpened: {
        list.currentIndex = names.length > 0 ? 0 : -1
        list.positionViewAtBeginning()
        list.forceActiveFocus()
    }

    background: Rectangle {
        radius: 8
        color: Theme.cardBackground
        border.color: dialog.palette.mid
    }

    header: ElidedText {
        objectName: "cloudFileDialogTitle"
        textFormat: Text.PlainText
        text: dialog.title
        font: Theme.headingFont
        color: Theme.textPrimary
        elide: Text.ElideRight
        padding: 16
        bottomPadding: 0
    }

    contentItem: ListView {
        id: list

        objectName: "cloudFileList"
        Accessible.role: Accessible.List
        Accessible.name: dialog.title
        implicitHeight: Math.min(contentHeight, 320)
        clip: true
        model: dialog.names
        keyNavigationWraps: false
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}
        Keys.onReturnPressed: dialog.choose()
        Keys.onEnterPressed: dialog.choose()

        delegate: ItemDelegate {
            objectName: "cloudFile_" + index
            Accessible.name: modelData
            width: ListView.view.width
            highlighted: ListView.isCurrentItem
            onClicked: list.currentIndex = index
            onDoubleClicked: dialog.choose()
            contentItem: ElidedText {
                text: modelData
                font: Theme.bodyFont
                color: parent.highlighted ? "white" : Theme.textPrimary
                elide: Text.ElideMiddle
            }
            background: Rectangle {
                color: parent.highlighted ? Theme.brandBlue : "transparent"
                radius: 4
            }
        }

        Label {
            anchors.centerIn: parent
            visible: dialog.names.length === 0
            textFormat: Text.PlainText
            text: "Файл алга"
            font: Theme.bodyFont
            color: Theme.textSecondary
        }
    }

    footer: Item {
        implicitHeight: buttons.implicitHeight + 32

        Row {
            id: buttons
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            anchors.rightMargin: 16
            spacing: 8

            BorderedButton {
                objectName: "cloudFileCancelButton"
                text: "Болих"
                onClicked: dialog.close()
            }
            BorderedButton {
                objectName: "cloudFileChooseButton"
                text: "Сонгох"
                prominent: true
                enabled: list.currentIndex >= 0
                onClicked: dialog.choose()
            }
        }
    }
}
