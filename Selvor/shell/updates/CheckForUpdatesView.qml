import QtQuick
import Selvor
import "../"

// The menu's "Шинэчлэлт шалгах...": disabled while the updater cannot start a check.
AppMenuItem {
    id: item

    required property Updater updater

    objectName: "checkForUpdatesMenuItem"
    text: "Шинэчлэлт шалгах..."
    enabled: model.canCheckForUpdates
    onTriggered: model.checkForUpdates()

    CheckForUpdatesViewModel {
        id: model
        updater: item.updater
    }
}
