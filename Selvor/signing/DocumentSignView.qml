import QtCore
import QtQuick
import QtQuick.Controls
import QtQuick.Dialogs
import QtQuick.Layouts
import Selvor
import "../shell"

// Signs a document's SHA-256 digest with the key on the USB token.
Rectangle {
    id: root

    required property TokenManager tokenManager
    readonly property DocumentSignViewModel viewModel: model

    objectName: "documentSignView"
    color: Theme.subtleBackground
    implicitWidth: content.implicitWidth + 64
    implicitHeight: content.implicitHeight + 64

    DocumentSignViewModel {
        id: model
        objectName: "documentSignViewModel"
        tokenManager: root.tokenManager
    }

    FileDialog {
        id: fileDialog
        objectName: "fileDialog"
        // The window the view is in when the panel opens, not when the view was created.
        parentWindow: root.Window.window
        title: "Гарын үсэг зурах файл сонгоно уу"
        fileMode: FileDialog.OpenFile
        // Home, not wherever the app was started from; later opens stay where the user went.
        currentFolder: StandardPaths.standardLocations(StandardPaths.HomeLocation)[0]
        nameFilters: ["Бүх файл (*)"]
        acceptLabel: "Нээх"
        rejectLabel: "Цуцлах"
        onAccepted: model.chooseFile(selectedFile)
    }

    Shortcut {
        sequences: ["Ctrl+Return", "Ctrl+Enter"]
        enabled: model.canSign && root.visible
        onActivated: model.startSigning()
    }

    ColumnLayout {
        id: content
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.margins: 32
        spacing: 24

        ColumnLayout {
            spacing: 4
            Label {
                textFormat: Text.PlainText
                text: "Тоон гарын үсэг"
                font: Theme.titleFont
                color: Theme.textPrimary
            }
            Label {
                textFormat: Text.PlainText
                text: "USB токеноор баримт бичигт тоон гарын үсэг зурна."
                font: Theme.bodyFont
                color: Theme.textSecondary
            }
        }

        SectionBox {
            title: "Токен"
            font: Theme.bodyFont
            Layout.fillWidth: true

            RowLayout {
                spacing: 8
                Rectangle {
                    objectName: "tokenDot"
                    width: 8
                    height: 8
                    radius: 4
                    color: root.tokenManager.isTokenPresent ? Theme.successGreen : Theme.dangerRed
                }
                Label {
                    objectName: "tokenLabel"
                    textFormat: Text.PlainText
                    text: root.tokenManager.tokenInfo ? root.tokenManager.tokenInfo.label
                                                      : "Холбогдоогүй"
                    font: Theme.bodyFont
                    color: Theme.textPrimary
                }
            }
        }

        SectionBox {
            title: "Баримт бичиг"
            font: Theme.bodyFont
            Layout.fillWidth: true

            GridLayout {
                anchors.left: parent.left
                anchors.right: parent.right
                columns: 2
                columnSpacing: 12
                rowSpacing: 10

                Label {
                    textFormat: Text.PlainText
                    text: "Регистрийн дугаар:"
                    font: Theme.bodyFont
                    color: Theme.textPrimary
                }
                TextField {
                    TextContextMenu {}
                    objectName: "registerNumberField"
                    text: model.registerNumber
                    onTextEdited: model.registerNumber = text
                    placeholderText: "АБ12345678"
                    Accessible.name: "Регистрийн дугаар"
                    font: Theme.bodyFont
                    Layout.fillWidth: true
                    Layout.maximumWidth: 240
                }

                Label {
                    textFormat: Text.PlainText
                    text: "Баримтын нэр:"
                    font: Theme.bodyFont
                    color: Theme.textPrimary
                }
                TextField {
                    TextContextMenu {}
                    objectName: "documentNameField"
                    text: model.documentName
                    onTextEdited: model.documentName = text
                    placeholderText: "Гэрээ.pdf"
                    Accessible.name: "Баримтын нэр"
                    font: Theme.bodyFont
                    Layout.fillWidth: true
                    Layout.maximumWidth: 240
                }

                Label {
                    textFormat: Text.PlainText
                    text: "Document hash (SHA-256):"
                    font: Theme.bodyFont
                    color: Theme.textPrimary
                }
                TextField {
                    TextContextMenu {}
                    objectName: "documentHashField"
                    text: model.documentHash
                    readOnly: model.isHashing
                    onTextEdited: model.documentHash = text
                    // A digest filled in from a file reads from its first digit.
                    onTextChanged: if (!activeFocus) cursorPosition = 0
                    placeholderText: "Файлын SHA-256 hash утга"
                    Accessible.name: "Document hash (SHA-256)"
                    font.family: Theme.monospaceFamily
                    font.pixelSize: 12
                    Layout.fillWidth: true
                }

                Item {
                    width: 1
                    height: 1
                }
                RowLayout {
                    spacing: 8
                    BorderedButton {
                        objectName: "chooseFileButton"
                        text: "Файл сонгох..."
                        enabled: !model.isHashing
                        onClicked: fileDialog.open()
                    }
                    BusyIndicator {
                        objectName: "hashingIndicator"
                        visible: model.isHashing
                        running: model.isHashing
                        padding: 0
                        Layout.preferredWidth: 18
                        Layout.preferredHeight: 18
                    }
                }
            }
        }

        BorderedButton {
            objectName: "signButton"
            text: "Гарын үсэг зурах"
            prominent: true
            busy: model.isSigning
            enabled: model.canSign
            onClicked: model.startSigning()
        }

        SectionBox {
            objectName: "errorBox"
            visible: model.errorMessage !== ""
            Layout.fillWidth: true

            RowLayout {
                anchors.left: parent.left
                anchors.right: parent.right
                spacing: 8
                Icon {
                    symbol: "exclamationmark.triangle"
                    color: Theme.dangerRed
                }
                SelectableText {
                    objectName: "errorText"
                    textFormat: Text.PlainText
                    text: model.errorMessage
                    font: Theme.bodyFont
                    color: Theme.dangerRed
                    wrapMode: Text.Wrap
                    Layout.fillWidth: true
                }
            }
        }

        SectionBox {
            objectName: "signatureBox"
            title: "Гарын үсэг"
            font: Theme.bodyFont
            visible: model.signatureHex !== ""
            Layout.fillWidth: true

            ColumnLayout {
                anchors.left: parent.left
                anchors.right: parent.right
                spacing: 10

                RowLayout {
                    spacing: 6
                    Icon {
                        symbol: "checkmark.seal.fill"
                        color: Theme.successGreen
                    }
                    Label {
                        textFormat: Text.PlainText
                        text: "Амжилттай"
                        font: Theme.bodyFont
                        color: Theme.successGreen
                    }
                }
                Rectangle {
                    radius: 6
                    color: Theme.subtleBackground
                    border.color: root.palette.mid
                    Layout.fillWidth: true
                    implicitHeight: signatureText.implicitHeight + 16

                    TextEdit {
                        id: signatureText
                        objectName: "signatureText"
                        anchors.fill: parent
                        anchors.margins: 8
                        text: model.signatureHex
                        readOnly: true
                        selectByMouse: true
                        wrapMode: TextEdit.WrapAnywhere
                        font.family: Theme.monospaceFamily
                        font.pixelSize: 11
                        color: Theme.textPrimary
                        selectionColor: Theme.brandBlue
                        selectedTextColor: "white"
                    }
                }
                BorderedButton {
                    objectName: "copyButton"
                    text: "Хуулах"
                    onClicked: model.copySignature()
                }
            }
        }
    }
}
