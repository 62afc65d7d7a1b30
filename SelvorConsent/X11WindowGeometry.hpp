#pragma once

#include <QRect>
#include <QWindow>

#include <optional>

namespace SelvorConsent {

// Where a window of any X11 client is on the screen, in native pixels. Nothing when the
// application does not run on X11 or no such window exists. Qt knows nothing of the geometry of
// another process's window, so this asks the X server.
[[nodiscard]] std::optional<QRect> x11WindowGeometry(WId window);

} // namespace SelvorConsent
