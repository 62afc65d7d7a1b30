#pragma once

#include <QString>

namespace Selvor {

// The installed family fontconfig draws a requested family with: the family itself when it is
// installed, otherwise what the desktop's configuration puts in its place ("monospace" becomes
// "DejaVu Sans Mono"). One match and no font engine, so it may run on any thread, before the GUI
// application exists. Empty when fontconfig has no font at all.
[[nodiscard]] QString resolvedFontFamily(const QString& requested);

} // namespace Selvor
