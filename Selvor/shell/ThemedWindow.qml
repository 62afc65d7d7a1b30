import QtQuick
import Selvor

// A window whose controls take their colours from Theme, in light and dark appearance. A plain
// Window: the controls' module is loaded with the first screen that uses it, not with the window.
Window {
    color: Theme.appBackground

    palette.window: Theme.appBackground
    palette.windowText: Theme.textPrimary
    palette.base: Theme.cardBackground
    palette.alternateBase: Theme.subtleBackground
    palette.text: Theme.textPrimary
    palette.button: Theme.cardBackground
    palette.buttonText: Theme.textPrimary
    palette.brightText: "white"
    palette.highlight: Theme.brandBlue
    palette.highlightedText: "white"
    palette.placeholderText: Theme.textSecondary
    palette.link: Theme.brandBlue
    palette.toolTipBase: Theme.cardBackground
    palette.toolTipText: Theme.textPrimary
    palette.mid: Theme.dark ? "#374151" : "#D1D5DB"
    palette.midlight: Theme.dark ? "#4B5563" : "#E5E7EB"
    palette.light: Theme.dark ? "#4B5563" : "white"
    palette.dark: Theme.dark ? "#030712" : "#9CA3AF"
    palette.shadow: "black"
}
