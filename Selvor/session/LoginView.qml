import QtQuick
import Selvor
import "../shell"

// The sign-in screen: register number with a phone confirmation, QR code, or the web portal.
Rectangle {
    id: view

    required property AppState appState
    // Tests hand in a view-model pointed at their service; the app uses the default one.
    property LoginViewModel viewModel: LoginViewModel { appState: view.appState }

    // Shown (at start or after sign-out), the screen is ready for typing.
    function activate() {
        phaseContent.forceActiveFocus()
    }

    color: Theme.appBackground

    Flickable {
        anchors.fill: parent
        contentWidth: width
        contentHeight: Math.max(height, card.height + 2 * 24 + copyright.height + 16)
        boundsBehavior: Flickable.StopAtBounds
        clip: true

        CardShadow {
            target: card
        }

        Rectangle {
            id: card
            objectName: "loginCard"
            width: 420
            height: cardColumn.implicitHeight + 2 * 32
            anchors.horizontalCenter: parent.horizontalCenter
            y: Math.max(24, (parent.height - copyright.height - 16 - height) / 2)
            radius: 12
            color: Theme.cardBackground

            Column {
                id: cardColumn
                anchors.fill: parent
                anchors.margins: 32
                spacing: 24

                Column {
                    anchors.horizontalCenter: parent.horizontalCenter
                    spacing: 6
                    Icon {
                        objectName: "headerIcon"
                        anchors.horizontalCenter: parent.horizontalCenter
                        symbol: "shield.checkered"
                        size: 40
                        color: Theme.brandBlue
                    }
                    Text {
                        objectName: "headerTitle"
                        textFormat: Text.PlainText
                        anchors.horizontalCenter: parent.horizontalCenter
                        text: "Selvor"
                        font: Theme.titleFont
                        color: Theme.textPrimary
                    }
                    Text {
                        objectName: "headerSubtitle"
                        textFormat: Text.PlainText
                        anchors.horizontalCenter: parent.horizontalCenter
                        text: "Тоон гарын үсгийн систем"
                        font: Theme.bodyFont
                        color: Theme.textSecondary
                    }
                }

                Rectangle {
                    width: parent.width
                    height: 1
                    color: Qt.rgba(Theme.textSecondary.r, Theme.textSecondary.g, Theme.textSecondary.b, 0.25)
                }

                Loader {
                    id: phaseContent

                    objectName: "phaseContent"
                    width: parent.width
                    focus: true
                    sourceComponent: {
                        switch (view.viewModel.phase) {
                        case LoginViewModel.Sending: return sendingContent
                        case LoginViewModel.Waiting: return waitingContent
                        case LoginViewModel.Success: return successContent
                        }
                        return idleContent
                    }
                }
            }
        }

        Text {
            id: copyright
            objectName: "copyright"
            textFormat: Text.PlainText
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 16
            text: "© 2026 Selvor. Бүх эрх хуулиар хамгаалагдсан."
            font.pixelSize: 10
            color: Theme.textSecondary
        }
    }

    Component {
        id: idleContent
        LoginIdleContent { viewModel: view.viewModel }
    }

    Component {
        id: sendingContent
        Column {
            spacing: 12
            Spinner {
                objectName: "sendingIndicator"
                anchors.horizontalCenter: parent.horizontalCenter
            }
            Text {
                objectName: "sendingLabel"
                textFormat: Text.PlainText
                anchors.horizontalCenter: parent.horizontalCenter
                text: "Илгээж байна..."
                font: Theme.bodyFont
                color: Theme.textSecondary
            }
        }
    }

    // By its file, so that a start does not load the waiting screen and the types it uses.
    Component {
        id: waitingContent
        Loader {
            focus: true
            Component.onCompleted: setSource("LoginWaitingContent.qml", { viewModel: view.viewModel })
        }
    }

    Component {
        id: successContent
        Column {
            spacing: 12
            Icon {
                objectName: "successIcon"
                anchors.horizontalCenter: parent.horizontalCenter
                symbol: "checkmark.circle.fill"
                size: 40
                color: Theme.successGreen
            }
            Text {
                objectName: "successText"
                textFormat: Text.PlainText
                anchors.horizontalCenter: parent.horizontalCenter
                text: "Амжилттай нэвтэрлээ!"
                font: Theme.headingFont
                color: Theme.textPrimary
            }
        }
    }
}
