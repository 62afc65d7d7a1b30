#pragma once

#include <QString>

#include <string>

namespace Selvor {

// Zeroes the characters of a PIN or PUK when this string alone holds them, then empties it. A
// buffer shared with another string (or a literal's static one) is left to its other holders:
// let them go first to have it wiped.
void wipeSecret(QString& secret);

// Replaces a held secret by the next value, wiping the old one where it can.
void replaceSecret(QString& held, const QString& next);

// The UTF-8 bytes of a secret in one allocation, with the conversion's own buffer zeroed.
[[nodiscard]] std::string secretUtf8(const QString& secret);

} // namespace Selvor
