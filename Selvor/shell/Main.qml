import QtQuick
import QtQuick.Controls

ApplicationWindow {
    width: 860
    height: 620
    visible: true
    title: "Selvor"
}
