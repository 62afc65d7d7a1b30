import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Selvor

// The settings window's content: the service address (editable here, used nowhere) and what
// this build is.
Item {
    id: about

    AboutViewModel { id: model }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 12
        spacing: 8

        SectionBox {
            objectName: "serverSection"
            title: "Сервер"
            Layout.fillWidth: true

            RowLayout {
                anchors.fill: parent
                spacing: 8
                Label {
                    textFormat: Text.PlainText
                    text: "API URL:"
                    font: Theme.bodyFont
                    color: Theme.textPrimary
                }
                TextField {
                    TextContextMenu {}
                    objectName: "apiUrlField"
                    Accessible.name: "API URL"
                    Layout.fillWidth: true
                    text: model.apiBaseURL
                    font: Theme.bodyFont
                    selectByMouse: true
                    focus: true
                    background: Rectangle {
                        implicitHeight: 26
                        radius: 5
                        color: Theme.cardBackground
                        border.width: parent.activeFocus ? 2 : 1
                        border.color: parent.activeFocus ? Theme.brandBlue : about.palette.mid
                    }
                }
            }
        }

        SectionBox {
            objectName: "aboutSection"
            title: "Тухай"
            Layout.fillWidth: true
            Layout.fillHeight: true

            GridLayout {
                columns: 2
                columnSpacing: 8
                rowSpacing: 4
                Label {
                    textFormat: Text.PlainText
                    text: "Хувилбар:"
                    font: Theme.bodyFont
                    color: Theme.textSecondary
                    Layout.alignment: Qt.AlignRight
                }
                Label {
                    objectName: "versionValue"
                    textFormat: Text.PlainText
                    text: model.version
                    font: Theme.bodyFont
                    color: Theme.textPrimary
                }
                Label {
                    textFormat: Text.PlainText
                    text: "Баг:"
                    font: Theme.bodyFont
                    color: Theme.textSecondary
                    Layout.alignment: Qt.AlignRight
                }
                Label {
                    objectName: "teamValue"
                    textFormat: Text.PlainText
                    text: model.team
                    font: Theme.bodyFont
                    color: Theme.textPrimary
                }
            }
        }
    }
}
