#include "shell/HexColor.hpp"

#include <gtest/gtest.h>

namespace Selvor {
namespace {

struct HexCase {
    const char16_t* text;
    QColor expected;
};

class HexColorTest : public ::testing::TestWithParam<HexCase> {};

TEST_P(HexColorTest, colorFromHex_givesChannelsOverTwoHundredFiftyFive) {
    const HexCase& c = GetParam();
    EXPECT_EQ(colorFromHex(QStringView(c.text)).rgba(), c.expected.rgba())
        << QString::fromUtf16(c.text).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HexColorTest,
    ::testing::Values(HexCase{u"1A56DB", QColor(0x1A, 0x56, 0xDB)},
                      HexCase{u"#1a56db", QColor(0x1A, 0x56, 0xDB)},      // number sign ignored
                      HexCase{u"  #E02424;\n", QColor(0xE0, 0x24, 0x24)}, // trimmed both ends
                      HexCase{u"80FF0000", QColor(255, 0, 0, 0x80)},      // AARRGGBB
                      HexCase{u"#00000000", QColor(0, 0, 0, 0)},
                      HexCase{u"FFF", QColor(0, 0, 0, 255)}, // other length: black
                      HexCase{u"", QColor(0, 0, 0, 255)}, HexCase{u"1A56DB7", QColor(0, 0, 0, 255)},
                      HexCase{u"GG0000", QColor(0, 0, 0, 255)},    // no hex digits: zero
                      HexCase{u"12G456", QColor(0, 0, 0x12, 255)}, // digits up to the first non-hex
                      HexCase{u"#1A-56DB", QColor(0, 0, 0, 255)},  // inner dash counts: 7 chars
                      HexCase{u"ЖЖЖЖЖЖ", QColor(0, 0, 0, 255)}));  // letters, not hex

} // namespace
} // namespace Selvor
