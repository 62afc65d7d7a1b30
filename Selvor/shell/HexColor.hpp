#pragma once

#include <QColor>
#include <QStringView>

namespace Selvor {

// Builds a colour from hex text: non-alphanumeric characters are trimmed from both ends; six
// digits read as RRGGBB (opaque), eight as AARRGGBB; any other length gives opaque black.
// Never fails: digits that do not parse as hex end the number where they start.
[[nodiscard]] QColor colorFromHex(QStringView hex);

} // namespace Selvor
