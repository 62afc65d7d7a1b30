import QtQuick
import Selvor
// Icon lives in the shell folder of this module.
import "../shell"

// Security: the active certificate count and the person's KYC level.
AccountPage {
    id: view

    required property AppState appState

    account: appState

    objectName: "securityView"
    title: "Аюулгүй байдал"

    SecurityViewModel {
        id: viewModel

        appState: view.appState
    }

    component Fact: AccountPanel {
        id: fact

        property string symbol
        property color tint
        property string text
        property string textName

        width: parent ? parent.width : 0

        Row {
            spacing: 10

            Icon {
                anchors.verticalCenter: parent.verticalCenter
                symbol: fact.symbol
                size: 20
                color: fact.tint
            }
            Text {
                objectName: fact.textName
                textFormat: Text.PlainText
                anchors.verticalCenter: parent.verticalCenter
                text: fact.text
                font: Theme.bodyFont
                color: Theme.textPrimary
            }
        }
    }

    Fact {
        title: "Сертификат"
        symbol: "checkmark.seal.fill"
        tint: Theme.successGreen
        text: viewModel.certificateText
        textName: "certificates"
    }
    Fact {
        title: "KYC түвшин"
        symbol: "shield.checkered"
        tint: Theme.brandBlue
        text: viewModel.kycText
        textName: "kycLevel"
    }
}
