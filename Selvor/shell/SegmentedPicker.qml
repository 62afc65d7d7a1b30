import QtQuick
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

    // Segments share the width equally, whatever their labels.
    Row {
        id: segments
        anchors.fill: parent
        anchors.margins: 2
        spacing: 2

        Repeater {
            model: picker.options
            Item {
                id: segment
                required property int index
                required property string modelData
                readonly property bool selected: index === picker.selectedIndex
                readonly property string text: modelData

                function choose() {
                    if (!selected)
                        picker.activated(index)
                }

                objectName: picker.optionNames[index] ?? ""
                width: (segments.width - segments.spacing * (picker.options.length - 1))
                       / picker.options.length
                height: segments.height
                activeFocusOnTab: true
                Accessible.role: Accessible.PageTab
                Accessible.name: modelData
                Accessible.checked: selected
                Accessible.onPressAction: choose()
                Keys.onLeftPressed: picker.activated(Math.max(0, picker.selectedIndex - 1))
                Keys.onRightPressed: picker.activated(Math.min(picker.options.length - 1, picker.selectedIndex + 1))
                Keys.onSpacePressed: choose()

                Rectangle {
                    anchors.fill: parent
                    radius: 6
                    color: segment.selected ? Theme.cardBackground : "transparent"
                    border.width: segment.activeFocus ? 2 : (segment.selected ? 1 : 0)
                    border.color: segment.activeFocus ? Theme.brandBlue
                                                      : Qt.rgba(Theme.textSecondary.r, Theme.textSecondary.g, Theme.textSecondary.b, 0.25)
                }
                Text {
                    id: label
                    anchors.fill: parent
                    textFormat: Text.PlainText
                    text: segment.text
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                    font.pixelSize: 13
                    font.weight: segment.selected ? Font.DemiBold : Font.Normal
                    color: Theme.textPrimary
                }
                MouseArea {
                    anchors.fill: parent
                    onClicked: segment.choose()
                }
            }
        }
    }
}
