#pragma once

#include <QString>
#include <QStringView>

#include <compare>
#include <optional>

namespace Selvor {

// Orders dotted numeric versions part by part, so "1.10" comes after "1.9" and "1.2" equals
// "1.2.0". Empty when either side is not of that form: a malformed version is never newer.
[[nodiscard]] std::optional<std::strong_ordering> compareVersions(QStringView left,
                                                                  QStringView right);

// `built` when the build carries a version, otherwise "1.0.0".
[[nodiscard]] QString versionOrDefault(const QString& built);

// The version of this build, from the project's version.
[[nodiscard]] QString applicationVersion();

} // namespace Selvor
