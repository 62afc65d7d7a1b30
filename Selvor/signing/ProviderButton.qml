import QtQuick
import Selvor
import "../shell"

// A storage provider's button: its link, with the account's e-mail, or the offer to link it.
BorderedButton {
    required property string provider
    required property string displayName
    required property bool linked
    required property string email

    text: linked ? displayName + " (" + email + ")" : displayName + " холбох"
    symbol: linked ? "checkmark.icloud.fill" : "icloud"
    symbolColor: linked ? Theme.successGreen : Theme.textSecondary
}
