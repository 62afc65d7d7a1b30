#pragma once

namespace Selvor {

// Whether xdg-desktop-portal runs on the session bus: one NameHasOwner call, made without Qt so
// that it can come before the GUI application. False without a session bus.
[[nodiscard]] bool desktopPortalIsRunning();

// Has Qt show the desktop's own file chooser through the portal (its "xdgdesktopportal" platform
// theme), unless the user chose a platform theme or no portal runs, where Qt Quick's own dialog
// stays. Takes effect only before the QGuiApplication is made. Returns whether it set
// QT_QPA_PLATFORMTHEME, which the caller takes away again once the GUI application has read it:
// the programs Selvor starts (the browser, the consent helper) keep their own theme.
[[nodiscard]] bool preferDesktopFileChooser();

} // namespace Selvor
