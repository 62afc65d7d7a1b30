#pragma once

#include <QString>
#include <QtGlobal>

namespace Selvor {

// "7.0 МБ / 50.0 МБ", or only what has moved while the whole size is unknown (total <= 0).
[[nodiscard]] QString transferText(qint64 done, qint64 total);
// How far, from 0 to 1; -1 while the whole size is unknown.
[[nodiscard]] double transferFraction(qint64 done, qint64 total);

} // namespace Selvor
