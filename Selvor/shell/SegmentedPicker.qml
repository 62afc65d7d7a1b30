import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Selvor

// A segmented control: one option is selected; arrow keys and Space choose.
Rectangle {
    id: picker

    required property list<string> options
    // objectName of each segment, for tests and accessibility.
    property list<string> optionNames
    property int selectedIndex: 0
    signal activated(int index)

    implicitHeight: 32
    radius: 8
    color: Theme.subtleBackground
    border.width: 1
    border.color: Qt.rgba(Theme.textSecondary.r, Theme.textSecondary.g, Theme.textSecondary.b, 0.2)

    RowLayout {
        anchors.fill: parent
        anchors.margins: 2
        spacing: 2

        Repeater {
            model: picker.options
            AbstractButton {
                id: segment
                required property int index
                required property string modelData

                objectName: picker.optionNames[index] ?? ""
                Layout.fillWidth: true
                Layout.fillHeight: true
                focusPolicy: Qt.StrongFocus
                checkable: false
                text: modelData
                Accessible.role: Accessible.PageTab
                Accessible.name: modelData
                Accessible.checked: index === picker.selectedIndex
                onClicked: {
                    if (picker.selectedIndex !== index)
                        picker.activated(index)
                }
                Keys.onLeftPressed: picker.activated(Math.max(0, picker.selectedIndex - 1))
                Keys.onRightPressed: picker.activated(Math.min(picker.options.length - 1, picker.selectedIndex + 1))

                background: Rectangle {
                    radius: 6
                    color: segment.index === picker.selectedIndex ? Theme.cardBackground : "transparent"
                    border.width: segment.visualFocus ? 2 : (segment.index === picker.selectedIndex ? 1 : 0)
                    border.color: segment.visualFocus ? Theme.brandBlue
                                                      : Qt.rgba(Theme.textSecondary.r, Theme.textSecondary.g, Theme.textSecondary.b, 0.25)
                }
                contentItem: Text {
                    text: segment.text
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                    font.pixelSize: 13
                    font.weight: segment.index === picker.selectedIndex ? Font.DemiBold : Font.Normal
                    color: Theme.textPrimary
                }
            }
        }
    }
}
