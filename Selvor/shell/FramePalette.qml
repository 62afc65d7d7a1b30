import QtQuick
import Selvor

// The frame colours of the controls' own style, from Theme, for the controls drawn without it:
// the outline, the outline of a focused control, and a button's face.
QtObject {
    readonly property color outline: Qt.darker(Theme.appBackground, 1.4)
    readonly property color highlightedOutline: {
        const darker = Qt.darker(Theme.brandBlue, 1.25)
        return darker.hsvValue > 160 / 255 ? Qt.hsla(darker.hsvHue, darker.hsvSaturation, 160 / 255, 1)
                                           : darker
    }

    function buttonOutline(focused, enabled) {
        const colour = enabled && focused ? highlightedOutline : outline
        return enabled ? colour : Qt.lighter(colour, 1.15)
    }

    function buttonFace(hovered, down) {
        const base = Theme.cardBackground
        const grey = (base.r * 11 + base.g * 16 + base.b * 5) * 255 / 32
        const lifted = Qt.lighter(base, (100 + Math.max(1, Math.floor((180 - grey) / 6))) / 100)
        let face = Qt.hsva(lifted.hsvHue, lifted.hsvSaturation * 0.75, lifted.hsvValue, 1)
        if (!hovered)
            face = Qt.darker(face, 1.04)
        if (down)
            face = Qt.darker(face, 1.1)
        return face
    }
}
