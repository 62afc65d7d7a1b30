import QtCore
import QtQuick
import QtQuick.Controls
import QtQuick.Dialogs
import QtQuick.Layouts
import Selvor
import "../shell"

// Signs a file from Google Drive, Dropbox or the disk with a confirmation on the phone, and
// stores its "signed_" copy on the computer or back in the cloud.
Item {
    id: root

    required property AppState appState
    readonly property CloudSignViewModel viewModel: model

    objectName: "cloudSignView"

    CloudSignViewModel {
        id: model
        objectName: "cloudSignViewModel"
        appState: root.appState
        onCloudFilesOffered: cloudFileDialog.open()
    }

    Component.onCompleted: model.loadConnections()

    // One panel for opening and saving: the file's name is proposed when it saves.
    FileDialog {
        id: fileDialog
        objectName: "fileDialog"
        parentWindow: root.Window.window
        currentFolder: StandardPaths.standardLocations(StandardPaths.HomeLocation)[0]
        nameFilters: ["Бүх файл (*)"]
        rejectLabel: "Цуцлах"
        onAccepted: fileMode === FileDialog.SaveFile ? model.saveLocally(selectedFile)
                                                     : model.chooseFile(selectedFile)

        function openFile() {
            title = "Гарын үсэг зурах файл сонгоно уу"
            fileMode = FileDialog.OpenFile
            acceptLabel = "Нээх"
            open()
        }

        function saveCopy() {
            title = "Компьютерт хадгалах"
            fileMode = FileDialog.SaveFile
            acceptLabel = "Хадгалах"
            selectedFile = currentFolder + "/" + encodeURIComponent("signed_" + model.fileName)
            open()
        }
    }

    CloudFileDialog {
        id: cloudFileDialog
        title: model.cloudDialogTitle
        names: model.cloudFileNames
        onChosen: index => model.chooseCloudFile(index)
    }

    Shortcut {
        sequences: ["Ctrl+Return", "Ctrl+Enter"]
        enabled: model.canSign && root.visible
        onActivated: model.requestSignature()
    }

    Shortcut {
        sequence: "Escape"
        enabled: model.isTransferring && root.visible
        onActivated: model.cancelTransfer()
    }

    // Panels and dialogs stay outside the scrolled content, which only holds the page.
    ScrollPage {
        id: scroller
        anchors.fill: parent
        contentWidth: availableWidth
        contentHeight: content.implicitHeight + 64
        background: Rectangle {
            color: Theme.subtleBackground
        }

        ColumnLayout {
            id: content

            x: 32
            y: 32
            width: scroller.availableWidth - 64
            spacing: 24

            ColumnLayout {
                spacing: 4
                Label {
                    textFormat: Text.PlainText
                    text: "Гарын үсэг зурах"
                    font: Theme.titleFont
                    color: Theme.textPrimary
                }
                Label {
                    textFormat: Text.PlainText
                    text: "Cloud storage-оос файл сонгож гарын үсэг зурна."
                    font: Theme.bodyFont
                    color: Theme.textSecondary
                }
            }

            SectionBox {
                objectName: "storageBox"
                title: "Cloud Storage"
                font: Theme.bodyFont
                Layout.fillWidth: true

                Flow {
                    anchors.left: parent.left
                    anchors.right: parent.right
                    spacing: 12

                    ProviderButton {
                        objectName: "googleButton"
                        provider: "google"
                        displayName: "Google Drive"
                        linked: model.googleConnected
                        email: model.googleEmail
                        enabled: !model.isLinking && !model.isTransferring
                        onClicked: model.pressProvider(provider, root.Window.window)
                    }
                    ProviderButton {
                        objectName: "dropboxButton"
                        provider: "dropbox"
                        displayName: "Dropbox"
                        linked: model.dropboxConnected
                        email: model.dropboxEmail
                        enabled: !model.isLinking && !model.isTransferring
                        onClicked: model.pressProvider(provider, root.Window.window)
                    }
                    Row {
                        id: localChoice
                        spacing: 12

                        // Divides the clouds from the disk while both share a line.
                        Rectangle {
                            visible: localChoice.x > 0
                            width: 1
                            height: 30
                            color: root.palette.mid
                        }
                        BorderedButton {
                            objectName: "chooseFileButton"
                            text: "Файл сонгох..."
                            enabled: !model.isTransferring
                            onClicked: fileDialog.openFile()
                        }
                    }
                }
            }

            TransferStatus {
                objectName: "transferStatus"
                title: model.transferTitle
                fraction: model.transferFraction
                detail: model.transferText
                onCancelRequested: model.cancelTransfer()
                visible: model.isTransferring
                Layout.fillWidth: true
            }

            // A failure while no file is shown still needs a place to be read.
            ErrorLine {
                objectName: "storageError"
                visible: !model.hasFile && model.errorMessage !== ""
                text: model.errorMessage
                Layout.fillWidth: true
            }

            SectionBox {
                objectName: "fileBox"
                title: "Файл"
                font: Theme.bodyFont
                visible: model.hasFile
                Layout.fillWidth: true

                ColumnLayout {
                    anchors.left: parent.left
                    anchors.right: parent.right
                    spacing: 10

                    GridLayout {
                        columns: 2
                        columnSpacing: 12
                        rowSpacing: 8
                        Layout.fillWidth: true

                        Label {
                            textFormat: Text.PlainText
                            text: "Нэр:"
                            font: Theme.bodyFont
                            color: Theme.textSecondary
                        }
                        Label {
                            objectName: "fileName"
                            textFormat: Text.PlainText
                            text: model.fileName
                            font: Theme.bodyFont
                            color: Theme.textPrimary
                            wrapMode: Text.WrapAtWordBoundaryOrAnywhere
                            Layout.fillWidth: true
                        }
                        Label {
                            textFormat: Text.PlainText
                            text: "SHA-256:"
                            font: Theme.bodyFont
                            color: Theme.textSecondary
                        }
                        TextEdit {
                            objectName: "fileHash"
                            textFormat: TextEdit.PlainText
                            text: model.hashLine
                            readOnly: true
                            selectByMouse: true
                            font.family: Theme.monospaceFamily
                            font.pixelSize: 11
                            color: Theme.textPrimary
                            selectionColor: Theme.brandBlue
                            selectedTextColor: "white"
                        }
                    }

                    ErrorLine {
                        objectName: "fileError"
                        visible: model.errorMessage !== ""
                        text: model.errorMessage
                        Layout.fillWidth: true
                    }

                    BorderedButton {
                        objectName: "signButton"
                        text: "Гарын үсэг зурах"
                        prominent: true
                        busy: model.isSigning
                        enabled: model.canSign
                        onClicked: model.requestSignature()
                    }
                }
            }

            SectionBox {
                objectName: "successBox"
                title: "Амжилттай"
                font: Theme.bodyFont
                visible: model.signResult !== ""
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
                            text: "Гарын үсэг зурагдлаа"
                            font: Theme.bodyFont
                            color: Theme.successGreen
                        }
                    }
                    Flow {
                        spacing: 8
                        Layout.fillWidth: true

                        BorderedButton {
                            objectName: "saveLocallyButton"
                            text: "Компьютерт хадгалах"
                            enabled: !model.isTransferring
                            onClicked: fileDialog.saveCopy()
                        }
                        BorderedButton {
                            objectName: "uploadGoogleButton"
                            text: "Google Drive"
                            visible: model.googleConnected
                            enabled: !model.isTransferring
                            onClicked: model.uploadSigned("google")
                        }
                        BorderedButton {
                            objectName: "uploadDropboxButton"
                            text: "Dropbox"
                            visible: model.dropboxConnected
                            enabled: !model.isTransferring
                            onClicked: model.uploadSigned("dropbox")
                        }
                    }
                }
            }
        }
    }
}
