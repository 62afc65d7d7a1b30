#pragma once

#include <QVariantMap>

namespace Selvor {

struct DeviceRecord;

// Everything the home and devices screens draw for one trusted phone: icon, icon colour,
// platform label, both identifier lines, dates and status.
[[nodiscard]] QVariantMap deviceRow(const DeviceRecord& device);

} // namespace Selvor
