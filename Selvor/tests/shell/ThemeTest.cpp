#include "shell/Theme.hpp"

#include "shell/FontFamily.hpp"

#include <gtest/gtest.h>

#include <QFontInfo>
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

// SELVOR_APPEARANCE pins the look over everything; the desktop's preference comes before the
// palette, which decides only where the desktop has none.
TEST_F(ThemeTest, appearance_environmentThenDesktopThenPalette) {
    using Scheme = PortalColorScheme::Scheme;
    struct Case {
        const char* environment;
        Scheme desktop;
        bool darkPalette;
        bool dark;
    };
    const Case cases[] = {
        {"dark", Scheme::preferLight, false, true},  {"light", Scheme::preferDark, true, false},
        {"Dark", Scheme::noPreference, true, true},  {"", Scheme::preferDark, false, true},
        {"", Scheme::preferLight, true, false},      {"", Scheme::noPreference, false, false},
        {"other", Scheme::noPreference, true, true},
    };
    for (const Case& c : cases) {
        qputenv("SELVOR_APPEARANCE", c.environment);
        QGuiApplication::setPalette(c.darkPalette ? paletteWith(Qt::black, Qt::white)
                                                  : paletteWith(Qt::white, Qt::black));
        Theme theme;
        theme.setDesktopScheme(c.desktop);
        EXPECT_EQ(theme.dark(), c.dark) << c.environment << " " << static_cast<int>(c.desktop);
    }
}

TEST_F(ThemeTest, desktopPreference_recoloursWithoutRestart) {
    Theme theme;
    QSignalSpy changed(&theme, &Theme::appearanceChanged);
    theme.setDesktopScheme(PortalColorScheme::Scheme::preferDark);
    EXPECT_TRUE(theme.dark());
    EXPECT_EQ(theme.appBackground(), QColor(0x0B, 0x0F, 0x19));
    theme.setDesktopScheme(PortalColorScheme::Scheme::noPreference);
    EXPECT_FALSE(theme.dark()) << "the light palette decides again";
    EXPECT_EQ(changed.count(), 2);
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

// Named by fontconfig alone, without a font engine, a generic family must still be the one Qt's
// own matching draws it with; an installed family names itself.
TEST_F(ThemeTest, genericFamilies_areNamedAsQtDrawsThem) {
    for (const QString& generic : {u"monospace"_qs, u"Sans Serif"_qs, u"serif"_qs}) {
        const QString drawn = QFontInfo(QFont(generic)).family();
        EXPECT_EQ(resolvedFontFamily(generic), drawn) << generic.toStdString();
        EXPECT_EQ(resolvedFontFamily(drawn), drawn);
    }
    EXPECT_EQ(Theme::monospaceFamily(), QFontInfo(QFont(u"monospace"_qs)).family());
}

} // namespace
} // namespace Selvor
