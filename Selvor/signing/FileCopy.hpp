#pragma once

#include <QString>

#include <stop_token>

namespace Selvor {

// Copies the bytes of `from` to `to` in fixed-size chunks through a temporary file beside the
// target that replaces it only when complete, so a failed copy never leaves half a file nor
// harms one already there. Throws FileReadError with the system's description.
void copyFile(const QString& from, const QString& to, std::stop_token stop = {});

} // namespace Selvor
