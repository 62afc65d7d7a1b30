#pragma once

#include <QImage>
#include <QStringView>

#include <optional>

namespace Selvor {

// Pixels per QR module side in the generated image.
inline constexpr int qrModulePixels = 10;
// Light modules around the symbol, the QR standard's quiet zone.
inline constexpr int qrQuietZoneModules = 4;

// Encodes the text's UTF-8 bytes as one 8-bit segment at error-correction level M in the
// smallest version that holds them, with the quiet zone, each module a 10x10 block of pixels
// (black on white). Nothing when the text cannot be encoded (empty or too long).
[[nodiscard]] std::optional<QImage> makeQRImage(QStringView text);

} // namespace Selvor
