import QtQuick.Controls

// The style's padding (6 at its 40-point size) scales with the indicator, so that a small one
// still shows a ring rather than a speck.
BusyIndicator {
    padding: Math.round(Math.min(width, height) * 6 / 40)
}
