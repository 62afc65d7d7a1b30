import QtQuick.Controls

BusyIndicator {}
