#include "shell/Theme.hpp"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPalette>
#include <QSignalSpy>

namespace Selvor {
namespace {

QPalette paletteWith(const QColor& window, const QColor& text) {
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    return palette;
}

class ThemeTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_original = QGuiApplication::palette();
        qunsetenv("SELVOR_APPEARANCE");
        QGuiApplication::setPalette(paletteWith(Qt::white, Qt::black));
    }
    void TearDown() override {
        QGuiApplication::setPalette(m_original);
        qunsetenv("SELVOR_APPEARANCE");
    }
    QPalette m_original;
};

TEST_F(ThemeTest, fixedColours_areTheSameInBothAppearances) {
    Theme theme;
    EXPECT_EQ(theme.brandBlue(), QColor(0x1A, 0x56, 0xDB));
    EXPECT_EQ(theme.brandGold(), QColor(0xD4, 0xA0, 0x17));
    EXPECT_EQ(theme.successGreen(), QColor(0x0E, 0x9F, 0x6E));
    EXPECT_EQ(theme.warningOrange(), QColor(0xFF, 0x5A, 0x1F));
    EXPECT_EQ(theme.dangerRed(), QColor(0xE0, 0x24, 0x24));
}

TEST_F(ThemeTest, adaptiveColours_followSystemPaletteWithoutRestart) {
    Theme theme;
    ASSERT_FALSE(theme.dark());
    EXPECT_EQ(theme.appBackground(), QColor(0xF9, 0xFA, 0xFB));
    EXPECT_EQ(theme.cardBackground(), QColor(Qt::white));
    EXPECT_EQ(theme.textPrimary(), QColor(0x11, 0x18, 0x27));

    QSignalSpy changed(&theme, &Theme::appearanceChanged);
    QGuiApplication::setPalette(paletteWith(QColor(0x20, 0x20, 0x20), QColor(0xEE, 0xEE, 0xEE)));
    QCoreApplication::processEvents();

    EXPECT_TRUE(theme.dark());
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(theme.appBackground(), QColor(0x0B, 0x0F, 0x19));
    EXPECT_EQ(theme.subtleBackground(), QColor(0x11, 0x18, 0x27));
    EXPECT_EQ(theme.cardBackground(), QColor(0x1F, 0x29, 0x37));
    EXPECT_EQ(theme.textPrimary(), QColor(0xF9, 0xFA, 0xFB));
    EXPECT_EQ(theme.textSecondary(), QColor(0x9C, 0xA3, 0xAF));
}

TEST_F(ThemeTest, environment_forcesAppearanceOverSystemPalette) {
    qputenv("SELVOR_APPEARANCE", "dark");
    Theme forcedDark;
    EXPECT_TRUE(forcedDark.dark());

    qputenv("SELVOR_APPEARANCE", "light");
    QGuiApplication::setPalette(paletteWith(Qt::black, Qt::white));
    Theme forcedLight;
    QCoreApplication::processEvents();
    EXPECT_FALSE(forcedLight.dark());
    EXPECT_EQ(forcedLight.textSecondary(), QColor(0x6B, 0x72, 0x80));

    qputenv("SELVOR_APPEARANCE", "Dark");
    Theme system;
    EXPECT_EQ(system.appearance(), Theme::Appearance::System);
    EXPECT_TRUE(system.dark());
}

TEST_F(ThemeTest, fonts_haveTheTypeScale) {
    EXPECT_EQ(Theme::titleFont().pixelSize(), 24);
    EXPECT_EQ(Theme::titleFont().weight(), QFont::Bold);
    EXPECT_EQ(Theme::headingFont().pixelSize(), 18);
    EXPECT_EQ(Theme::headingFont().weight(), QFont::DemiBold);
    EXPECT_EQ(Theme::subheadingFont().pixelSize(), 15);
    EXPECT_EQ(Theme::subheadingFont().weight(), QFont::Medium);
    EXPECT_EQ(Theme::bodyFont().pixelSize(), 13);
    EXPECT_EQ(Theme::bodyFont().weight(), QFont::Normal);
    EXPECT_EQ(Theme::captionFont().pixelSize(), 11);
}

} // namespace
} // namespace Selvor
