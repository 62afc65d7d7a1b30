import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Selvor
import "../shell"
import "../signing"

// The USB token section: connection status, token information, connection test, the
// provisioning form and, while a token is attached, document signing.
Rectangle {
    id: root

    required property TokenManager tokenManager
    readonly property TokenScreenViewModel viewModel: model
    readonly property bool present: tokenManager.isTokenPresent
    readonly property bool serviceAvailable: tokenManager.isServiceAvailable
    readonly property string tokenReader: tokenManager.tokenReaderName

    onTokenReaderChanged: {
        documentSignLoader.active = false
        documentSignLoader.active = Qt.binding(() => root.present)
    }

    objectName: "tokenScreen"
    color: Theme.appBackground

    TokenScreenViewModel {
        id: model
        objectName: "tokenScreenViewModel"
        tokenManager: root.tokenManager
        onStepChanged: if (step === TokenScreenViewModel.PinEntry)
                           pinField.forceActiveFocus()
    }

    Shortcut {
        sequences: [StandardKey.Cancel]
        enabled: root.visible && model.step === TokenScreenViewModel.PinEntry && !model.isBusy
        onActivated: model.reset()
    }

    ScrollPage {
        id: scroll
        anchors.fill: parent
        contentWidth: availableWidth

        ColumnLayout {
            width: scroll.availableWidth
            spacing: 0

            ColumnLayout {
                spacing: 20
                Layout.fillWidth: true
                Layout.margins: 32

                ColumnLayout {
                    spacing: 4
                    Label {
                        textFormat: Text.PlainText
                        text: "USB Токен"
                        font: Theme.titleFont
                        color: Theme.textPrimary
                    }
                    Label {
                        textFormat: Text.PlainText
                        text: "Kaltor2003 USB-C крипто токеноор тоон гарын үсэг зурах."
                        font: Theme.bodyFont
                        color: Theme.textSecondary
                        wrapMode: Text.Wrap
                        Layout.fillWidth: true
                    }
                }

                SectionBox {
                    title: "Төхөөрөмж"
                    font: Theme.subheadingFont
                    Layout.fillWidth: true

                    RowLayout {
                        anchors.left: parent.left
                        anchors.right: parent.right
                        spacing: 10

                        Icon {
                            objectName: "deviceIcon"
                            symbol: root.present ? "checkmark.shield.fill" : "xmark.shield"
                            size: 28
                            color: root.present ? Theme.successGreen : Theme.dangerRed
                        }
                        ColumnLayout {
                            spacing: 2
                            Layout.fillWidth: true
                            Label {
                                objectName: "deviceStatus"
                                textFormat: Text.PlainText
                                Layout.fillWidth: true
                                wrapMode: Text.Wrap
                                text: !root.serviceAvailable
                                      ? "Ухаалаг картын үйлчилгээ ажиллахгүй байна"
                                      : root.present ? "Холбогдсон" : "Холбогдоогүй"
                                font: Theme.bodyFont
                                color: Theme.textPrimary
                            }
                            Label {
                                objectName: "deviceDetail"
                                textFormat: Text.PlainText
                                Layout.fillWidth: true
                                wrapMode: Text.Wrap
                                text: !root.serviceAvailable
                                      ? "Токен ашиглахын тулд pcscd үйлчилгээг эхлүүлнэ үү "
                                        + "(sudo systemctl start pcscd). Эхэлмэгц токен өөрөө олдоно."
                                      : root.present ? "USB токен бэлэн" : "USB токен залгана уу"
                                font: Theme.captionFont
                                color: Theme.textSecondary
                            }
                            ElidedText {
                                objectName: "deviceReader"
                                visible: root.present
                                textFormat: Text.PlainText
                                Layout.fillWidth: true
                                elide: Text.ElideMiddle
                                text: "Уншигч: " + root.tokenManager.tokenReaderName
                                font: Theme.captionFont
                                color: Theme.textSecondary
                            }
                            SelectableText {
                                objectName: "deviceError"
                                visible: root.present && text !== ""
                                textFormat: Text.PlainText
                                Layout.fillWidth: true
                                wrapMode: Text.Wrap
                                text: root.tokenManager.tokenInfoError
                                font: Theme.captionFont
                                color: Theme.dangerRed
                            }
                        }
                        BorderedButton {
                            objectName: "refreshButton"
                            text: "Шинэчлэх"
                            onClicked: root.tokenManager.refresh()
                        }
                    }
                }

                SectionBox {
                    objectName: "infoSection"
                    title: "Мэдээлэл"
                    font: Theme.subheadingFont
                    visible: root.tokenManager.tokenInfo !== undefined
                    Layout.fillWidth: true

                    GridLayout {
                        anchors.left: parent.left
                        anchors.right: parent.right
                        columns: 2
                        columnSpacing: 12
                        rowSpacing: 6

                        Label {
                            textFormat: Text.PlainText
                            text: "Нэр"
                            font: Theme.bodyFont
                            color: Theme.textSecondary
                            Layout.preferredWidth: 80
                        }
                        Label {
                            objectName: "infoLabel"
                            textFormat: Text.PlainText
                            text: root.tokenManager.tokenInfo ? root.tokenManager.tokenInfo.label : ""
                            font: Theme.bodyFont
                            color: Theme.textPrimary
                            Layout.fillWidth: true
                        }
                        Label {
                            textFormat: Text.PlainText
                            text: "FIPS горим"
                            font: Theme.bodyFont
                            color: Theme.textSecondary
                            Layout.preferredWidth: 80
                        }
                        Label {
                            objectName: "infoFips"
                            textFormat: Text.PlainText
                            text: root.tokenManager.tokenInfo && root.tokenManager.tokenInfo.isFIPS
                                  ? "Тийм" : "Үгүй"
                            font: Theme.bodyFont
                            color: Theme.textPrimary
                            Layout.fillWidth: true
                        }
                        Label {
                            textFormat: Text.PlainText
                            text: "ATR"
                            font: Theme.bodyFont
                            color: Theme.textSecondary
                            Layout.preferredWidth: 80
                            Layout.alignment: Qt.AlignTop
                        }
                        TextEdit {
                            objectName: "infoAtr"
                            text: root.tokenManager.tokenInfo ? root.tokenManager.tokenInfo.atrHex : ""
                            readOnly: true
                            selectByMouse: true
                            wrapMode: TextEdit.WrapAnywhere
                            font.family: Theme.monospaceFamily
                            font.pixelSize: 12
                            color: Theme.textPrimary
                            selectionColor: Theme.brandBlue
                            selectedTextColor: "white"
                            Layout.fillWidth: true
                        }
                    }
                }

                RowLayout {
                    objectName: "statusLine"
                    visible: model.statusMessage !== ""
                    spacing: 6
                    Layout.fillWidth: true

                    Icon {
                        objectName: "statusIcon"
                        symbol: model.isError ? "exclamationmark.triangle.fill"
                                              : "checkmark.circle.fill"
                        color: model.isError ? Theme.dangerRed : Theme.successGreen
                    }
                    SelectableText {
                        objectName: "statusText"
                        textFormat: Text.PlainText
                        text: model.statusMessage
                        font: Theme.bodyFont
                        color: model.isError ? Theme.dangerRed : Theme.textPrimary
                        wrapMode: Text.Wrap
                        Layout.fillWidth: true
                    }
                }
                SelectableText {
                    objectName: "statusDetail"
                    visible: model.statusMessage !== "" && text !== ""
                    textFormat: Text.PlainText
                    text: model.statusDetail
                    font: Theme.captionFont
                    color: Theme.textSecondary
                    wrapMode: Text.Wrap
                    Layout.fillWidth: true
                    Layout.topMargin: -14
                    Layout.leftMargin: 22
                }

                BorderedButton {
                    objectName: "testConnectionButton"
                    text: "Холболт тест"
                    symbol: "antenna.radiowaves.left.and.right"
                    enabled: !model.isBusy
                    onClicked: model.testConnection()
                }

                SectionBox {
                    objectName: "setupSection"
                    title: "Токен тохируулах"
                    font: Theme.subheadingFont
                    visible: root.present
                    Layout.fillWidth: true

                    ColumnLayout {
                        anchors.left: parent.left
                        anchors.right: parent.right
                        spacing: 10

                        // Step 0: introduction.
                        ColumnLayout {
                            objectName: "introductionStep"
                            visible: model.step === TokenScreenViewModel.Introduction
                            spacing: 10
                            Layout.fillWidth: true

                            Label {
                                textFormat: Text.PlainText
                                text: "Шинэ токен тохируулах — SM mutual auth, PIN/PUK тогтоох, түлхүүр хос үүсгэх."
                                font: Theme.bodyFont
                                color: Theme.textSecondary
                                wrapMode: Text.Wrap
                                Layout.fillWidth: true
                            }
                            BorderedButton {
                                objectName: "beginSetupButton"
                                text: "Токен тохируулах"
                                symbol: "lock.shield"
                                onClicked: model.beginSetup()
                            }
                        }

                        // Step 1: PIN and PUK entry.
                        ColumnLayout {
                            objectName: "pinEntryStep"
                            visible: model.step === TokenScreenViewModel.PinEntry
                            spacing: 8
                            Layout.fillWidth: true

                            Label {
                                textFormat: Text.PlainText
                                text: "PIN болон PUK код тогтооно уу"
                                font: Theme.bodyFont
                                color: Theme.textPrimary
                            }
                            TextField {
                                TextContextMenu {}
                                id: pinField
                                objectName: "pinField"
                                text: model.pin
                                onTextEdited: model.pin = text
                                onAccepted: model.provision()
                                echoMode: TextInput.Password
                                placeholderText: "User PIN (6-16 тэмдэгт)"
                                Accessible.name: "User PIN"
                                font: Theme.bodyFont
                                Layout.fillWidth: true
                                Layout.maximumWidth: 320
                            }
                            TextField {
                                TextContextMenu {}
                                objectName: "pinRepeatField"
                                text: model.pinRepeat
                                onTextEdited: model.pinRepeat = text
                                onAccepted: model.provision()
                                echoMode: TextInput.Password
                                placeholderText: "PIN давтах"
                                Accessible.name: placeholderText
                                font: Theme.bodyFont
                                Layout.fillWidth: true
                                Layout.maximumWidth: 320
                            }
                            TextField {
                                TextContextMenu {}
                                objectName: "pukField"
                                text: model.puk
                                onTextEdited: model.puk = text
                                onAccepted: model.provision()
                                echoMode: TextInput.Password
                                placeholderText: "SO PIN / PUK (8-16 тэмдэгт)"
                                Accessible.name: "SO PIN / PUK"
                                font: Theme.bodyFont
                                Layout.fillWidth: true
                                Layout.maximumWidth: 320
                            }
                            RowLayout {
                                spacing: 8
                                BorderedButton {
                                    objectName: "cancelButton"
                                    text: "Цуцлах"
                                    enabled: !model.isBusy
                                    onClicked: model.reset()
                                }
                                BorderedButton {
                                    objectName: "provisionButton"
                                    text: "Тохируулах"
                                    prominent: true
                                    busy: model.isBusy
                                    enabled: model.canSubmit
                                    onClicked: model.provision()
                                }
                            }
                        }

                        // Step 2: key generation running.
                        ColumnLayout {
                            objectName: "generatingStep"
                            visible: model.step === TokenScreenViewModel.GeneratingKey
                            spacing: 6
                            Layout.fillWidth: true

                            RowLayout {
                                spacing: 8
                                BusyIndicator {
                                    running: parent.visible
                                    padding: 0
                                    Layout.preferredWidth: 20
                                    Layout.preferredHeight: 20
                                }
                                Label {
                                    textFormat: Text.PlainText
                                    text: "Түлхүүр хос үүсгэж байна..."
                                    font: Theme.bodyFont
                                    color: Theme.textPrimary
                                }
                            }
                            Label {
                                textFormat: Text.PlainText
                                text: "Токен дээр шууд үүсгэнэ — хэсэг хугацаа шаардана."
                                font: Theme.captionFont
                                color: Theme.textSecondary
                                wrapMode: Text.Wrap
                                Layout.fillWidth: true
                            }
                        }

                        // Step 3: finished.
                        ColumnLayout {
                            objectName: "finishedStep"
                            visible: model.step === TokenScreenViewModel.Finished
                            spacing: 8
                            Layout.fillWidth: true

                            Icon {
                                symbol: "checkmark.seal.fill"
                                size: 36
                                color: Theme.successGreen
                            }
                            Label {
                                textFormat: Text.PlainText
                                text: "Токен амжилттай тохируулагдлаа!"
                                font: Theme.headingFont
                                color: Theme.textPrimary
                            }
                            Label {
                                textFormat: Text.PlainText
                                text: "PIN тогтоогдсон. Түлхүүр хос үүсгэгдсэн. Одоо гарын үсэг зурахад бэлэн."
                                font: Theme.bodyFont
                                color: Theme.textSecondary
                                wrapMode: Text.Wrap
                                Layout.fillWidth: true
                            }
                            BorderedButton {
                                objectName: "startOverButton"
                                text: "Шинэ тохиргоо"
                                onClicked: model.reset()
                            }
                        }
                    }
                }
            }

            Rectangle {
                visible: root.present
                color: root.palette.mid
                Layout.fillWidth: true
                Layout.preferredHeight: 1
            }

            // Made with each token and gone with it, so that a new token starts on empty fields,
            // never on the register number, digest and signature of the one before, even when
            // it takes over from another reader without a gap.
            Loader {
                id: documentSignLoader
                objectName: "embeddedDocumentSign"
                active: root.present
                visible: root.present
                Layout.fillWidth: true
                Layout.preferredHeight: item ? item.implicitHeight : 0
                sourceComponent: DocumentSignView {
                    tokenManager: root.tokenManager
                }
            }
        }
    }
}
