#include "QRImage.hpp"

#include <qrencode.h>

#include <memory>

namespace Selvor {
namespace {

struct QRcodeDeleter {
    void operator()(QRcode* code) const { QRcode_free(code); }
};

} // namespace

std::optional<QImage> makeQRImage(QStringView text) {
    const QByteArray bytes = text.toUtf8();
    if (bytes.isEmpty())
        return std::nullopt;
    const std::unique_ptr<QRcode, QRcodeDeleter> code(QRcode_encodeData(
        int(bytes.size()), reinterpret_cast<const unsigned char*>(bytes.data()), 0, QR_ECLEVEL_M));
    if (!code)
        return std::nullopt;

    const int modules = code->width + 2 * qrQuietZoneModules;
    QImage image(modules * qrModulePixels, modules * qrModulePixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x) {
            // Bit 0 of each module byte is its colour (1 = dark).
            if ((code->data[y * code->width + x] & 1) == 0)
                continue;
            const int left = (x + qrQuietZoneModules) * qrModulePixels;
            const int top = (y + qrQuietZoneModules) * qrModulePixels;
            for (int row = top; row < top + qrModulePixels; ++row) {
                auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
                std::fill(line + left, line + left + qrModulePixels, qRgb(0, 0, 0));
            }
        }
    }
    return image;
}

} // namespace Selvor
