import QtQuick
import QtQuick.Layouts
import Selvor
import "../shell"

// Stands where the account's figures would be when they could not be loaded, so that no zero
// or empty list reads as the person's own: the failure, and a way to try again.
AccountPanel {
    id: notice

    required property AppState account
    readonly property bool needed: account !== null && !account.hasDashboardData
                                   && account.dashboardError !== ""

    objectName: "loadNotice"
    visible: needed

    RowLayout {
        width: notice.contentWidth
        spacing: 12

        Icon {
            symbol: "exclamationmark.triangle.fill"
            size: 18
            color: Theme.dangerRed
        }
        Text {
            objectName: "loadNoticeText"
            textFormat: Text.PlainText
            Layout.fillWidth: true
            text: notice.account ? notice.account.dashboardError : ""
            font: Theme.bodyFont
            color: Theme.textPrimary
            wrapMode: Text.Wrap
        }
        BorderedButton {
            objectName: "retryLoadButton"
            text: "Дахин оролдох"
            symbol: "arrow.clockwise"
            busy: notice.account ? notice.account.isDashboardLoading : false
            enabled: !busy
            onClicked: notice.account.loadDashboard()
        }
    }
}
