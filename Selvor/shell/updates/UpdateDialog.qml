import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Selvor
import "../"
import "../../signing"

// Where a check the user started ends: the offer of a newer version with its notes, the
// download and its check, that this version is current, or why it failed. Escape closes it and
// stops what runs.
Dialog {
    id: dialog

    required property Updater updater

    readonly property int phase: updater.phase

    // Return and Enter press the focused one, as on every bordered button.
    component ActionButton: BorderedButton {}

    objectName: "updateDialog"
    parent: Overlay.overlay
    anchors.centerIn: parent
    modal: true
    focus: true
    closePolicy: Popup.CloseOnEscape
    width: Math.min(460, parent ? parent.width - 48 : 460)
    padding: 16
    topPadding: 8

    onPhaseChanged: {
        if (phase === Updater.Idle) {
            close()
            return
        }
        open()
        // Once the buttons have followed the phase.
        Qt.callLater(focusPrimary)
    }
    onOpened: focusPrimary()
    // Made by the window when a check first leaves Idle: open with what it has to say.
    Component.onCompleted: {
        if (phase !== Updater.Idle)
            open()
    }

    // Return acts on the button that moves on; while something runs, Escape stops it.
    function focusPrimary() {
        if (primary.visible)
            primary.forceActiveFocus()
    }
    onClosed: {
        if (updater.phase !== Updater.Idle)
            updater.dismiss()
    }

    background: Rectangle {
        radius: 8
        color: Theme.cardBackground
        border.color: dialog.palette.mid
    }

    header: Label {
        objectName: "updateDialogTitle"
        textFormat: Text.PlainText
        font: Theme.headingFont
        color: Theme.textPrimary
        wrapMode: Text.Wrap
        padding: 16
        bottomPadding: 0
        text: {
            switch (dialog.phase) {
            case Updater.Checking: return "Шинэчлэлт шалгаж байна"
            case Updater.UpdateAvailable: return "Шинэ хувилбар гарлаа"
            case Updater.Downloading: return "Шинэчлэлт татаж байна"
            case Updater.ReadyToInstall: return "Шинэчлэлт суулгахад бэлэн"
            case Updater.UpToDate: return "Та хамгийн сүүлийн хувилбартай байна"
            case Updater.CheckFailed: return "Шинэчлэлт шалгаж чадсангүй"
            case Updater.DownloadFailed: return "Шинэчлэлт татаж чадсангүй"
            }
            return ""
        }
    }

    contentItem: ColumnLayout {
        spacing: 10

        Label {
            objectName: "updateDialogMessage"
            textFormat: Text.PlainText
            visible: text !== ""
            Layout.fillWidth: true
            wrapMode: Text.Wrap
            font: Theme.bodyFont
            color: Theme.textPrimary
            text: {
                switch (dialog.phase) {
                case Updater.UpdateAvailable:
                    return "Selvor " + dialog.updater.foundVersion + " гарсан байна. Таны хувилбар: "
                           + dialog.updater.currentVersion + "."
                case Updater.ReadyToInstall:
                    return "Selvor " + dialog.updater.foundVersion
                           + " татагдаж, хэмжээ болон гарын үсэг нь шалгагдлаа. Суулгагчийг нээж суулгана уу."
                case Updater.UpToDate:
                    return "Selvor " + dialog.updater.currentVersion + " бол хамгийн сүүлийн хувилбар."
                }
                return ""
            }
        }

        ScrollView {
            objectName: "releaseNotes"
            visible: dialog.phase === Updater.UpdateAvailable && dialog.updater.releaseNotes !== ""
            Layout.fillWidth: true
            Layout.preferredHeight: Math.min(notes.implicitHeight, 180)
            clip: true

            background: Rectangle {
                radius: 6
                color: Theme.subtleBackground
                border.color: dialog.palette.mid
            }

            Label {
                id: notes
                objectName: "releaseNotesText"
                textFormat: Text.PlainText
                width: dialog.availableWidth - 16
                padding: 8
                wrapMode: Text.Wrap
                text: dialog.updater.releaseNotes
                font: Theme.bodyFont
                color: Theme.textPrimary
            }
        }

        TransferStatus {
            objectName: "updateTransfer"
            visible: dialog.phase === Updater.Checking || dialog.phase === Updater.Downloading
            Layout.fillWidth: true
            title: dialog.phase === Updater.Checking ? "Шалгаж байна…" : "Татаж байна…"
            fraction: dialog.phase === Updater.Checking ? -1 : dialog.updater.progressFraction
            onCancelRequested: dialog.updater.cancel()
        }
        // On a line of its own: beside the bar, the dialog's width leaves it no room.
        Label {
            objectName: "updateProgressText"
            textFormat: Text.PlainText
            visible: dialog.phase === Updater.Downloading
            Layout.fillWidth: true
            text: dialog.updater.progressText
            font: Theme.captionFont
            color: Theme.textSecondary
        }

        Label {
            objectName: "updateDialogError"
            textFormat: Text.PlainText
            visible: text !== ""
            Layout.fillWidth: true
            wrapMode: Text.Wrap
            text: dialog.updater.errorText
            font: Theme.bodyFont
            color: Theme.dangerRed
        }
    }

    footer: Item {
        implicitHeight: buttons.visible ? buttons.implicitHeight + 28 : 12

        RowLayout {
            id: buttons
            visible: dialog.phase !== Updater.Checking && dialog.phase !== Updater.Downloading
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            anchors.margins: 16
            spacing: 8

            ActionButton {
                objectName: "releaseNotesLinkButton"
                visible: dialog.phase === Updater.UpdateAvailable && dialog.updater.releaseNotesLink.toString() !== ""
                text: "Дэлгэрэнгүй"
                onClicked: Qt.openUrlExternally(dialog.updater.releaseNotesLink)
            }
            ActionButton {
                objectName: "updateLaterButton"
                visible: dialog.phase === Updater.UpdateAvailable || dialog.phase === Updater.ReadyToInstall
                         || dialog.phase === Updater.DownloadFailed
                text: dialog.phase === Updater.DownloadFailed ? "Хаах" : "Дараа"
                onClicked: dialog.updater.dismiss()
            }
            ActionButton {
                id: primary
                objectName: "updatePrimaryButton"
                prominent: dialog.phase === Updater.UpdateAvailable || dialog.phase === Updater.ReadyToInstall
                           || dialog.phase === Updater.DownloadFailed
                text: {
                    switch (dialog.phase) {
                    case Updater.UpdateAvailable: return "Татах"
                    case Updater.ReadyToInstall: return "Суулгах"
                    case Updater.DownloadFailed: return "Дахин татах"
                    }
                    return "За"
                }
                onClicked: {
                    switch (dialog.phase) {
                    case Updater.UpdateAvailable:
                    case Updater.DownloadFailed:
                        dialog.updater.downloadUpdate()
                        return
                    case Updater.ReadyToInstall:
                        dialog.updater.installUpdate()
                        return
                    }
                    dialog.updater.dismiss()
                }
            }
        }
    }
}
