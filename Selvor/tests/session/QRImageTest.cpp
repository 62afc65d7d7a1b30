#include "session/QRImage.hpp"

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

namespace Selvor {
namespace {

// Decodes a QR image with zbarimg, the way a phone camera would read the screen. The payload's
// bytes are taken as they are (-Sbinary): zbar would otherwise guess a legacy charset.
QString decode(const QImage& image) {
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("qr.png"));
    EXPECT_TRUE(image.save(path));
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"),
               {QStringLiteral("-q"), QStringLiteral("--raw"), QStringLiteral("-Sbinary"), path});
    EXPECT_TRUE(zbar.waitForFinished(10000)) << "zbarimg must be installed (zbar-tools)";
    EXPECT_EQ(zbar.exitCode(), 0);
    QString text = QString::fromUtf8(zbar.readAllStandardOutput());
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text;
}

// Width of the dark run that starts the finder pattern in the top-left corner.
int finderRunWidth(const QImage& image, int y) {
    int x = qrQuietZoneModules * qrModulePixels;
    const int start = x;
    while (x < image.width() && qGray(image.pixel(x, y)) < 128)
        ++x;
    return x - start;
}

void expectWholeModules(const QImage& image) {
    ASSERT_EQ(image.width(), image.height());
    ASSERT_EQ(image.width() % qrModulePixels, 0);
    const int modules = image.width() / qrModulePixels;
    // Versions 1..40 have 21..177 modules, plus the quiet zone on both sides.
    EXPECT_EQ((modules - 2 * qrQuietZoneModules - 21) % 4, 0);
    const int top = qrQuietZoneModules * qrModulePixels;
    for (int y = top; y < top + qrModulePixels; ++y)
        EXPECT_EQ(finderRunWidth(image, y), 7 * qrModulePixels);
    EXPECT_EQ(qGray(image.pixel(top - 1, top)), 255) << "quiet zone is white";
}

TEST(QRImageTest, shortPayload_roundTripsWithTenPixelModules) {
    const QString payload = u"selvor://qr?token=9f2c1a"_qs;
    const std::optional<QImage> image = makeQRImage(payload);
    ASSERT_TRUE(image);
    expectWholeModules(*image);
    // 25 bytes fit version 2 (25 modules) at level M.
    EXPECT_EQ(image->width(), (25 + 2 * qrQuietZoneModules) * qrModulePixels);
    EXPECT_EQ(decode(*image), payload);
    EXPECT_EQ(makeQRImage(payload), image) << "same input, same image";
}

TEST(QRImageTest, severalHundredCharacterPayload_roundTripsInALargerSymbol) {
    QString payload = u"selvor://qr?token="_qs;
    while (payload.size() < 400)
        payload += u"Монгол-0123456789-"_qs;
    const std::optional<QImage> image = makeQRImage(payload);
    ASSERT_TRUE(image);
    expectWholeModules(*image);
    EXPECT_GT(image->width(), (25 + 2 * qrQuietZoneModules) * qrModulePixels);
    EXPECT_EQ(decode(*image), payload);
}

TEST(QRImageTest, unencodablePayloads_giveNoImage) {
    EXPECT_FALSE(makeQRImage(QString()));
    EXPECT_FALSE(makeQRImage(QString(3000, u'x'))) << "beyond version 40 at level M";
}

} // namespace
} // namespace Selvor
