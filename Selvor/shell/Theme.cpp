#include "Theme.hpp"

#include "FontFamily.hpp"
#include "HexColor.hpp"

#include <QEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPalette>

namespace Selvor {
namespace {

QFont systemFont(int pixelSize, QFont::Weight weight) {
    QFont font;
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

// The family Qt's desktop theme names when the desktop names none.
const QString genericSansSerif = QStringLiteral("Sans Serif");

QString genericSansSerifFamily() {
    static const QString family = resolvedFontFamily(genericSansSerif);
    return family;
}

} // namespace

Theme::Theme(QObject* parent) : QObject(parent), m_appearance(appearanceFromEnvironment()) {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
    m_dark = wantsDark();
}

void Theme::setAppearance(Appearance appearance) {
    if (m_appearance == appearance)
        return;
    m_appearance = appearance;
    const bool wasDark = m_dark;
    updateDark();
    if (wasDark == m_dark)
        emit appearanceChanged();
}

void Theme::setDesktopScheme(PortalColorScheme::Scheme scheme) {
    if (m_desktopScheme == scheme)
        return;
    m_desktopScheme = scheme;
    updateDark();
}

Theme::Appearance Theme::appearanceFromEnvironment() {
    const QByteArray value = qgetenv("SELVOR_APPEARANCE");
    if (value == "light")
        return Appearance::Light;
    if (value == "dark")
        return Appearance::Dark;
    return Appearance::System;
}

bool Theme::systemPaletteIsDark() {
    const QPalette palette = QGuiApplication::palette();
    return palette.color(QPalette::Window).lightness() <
           palette.color(QPalette::WindowText).lightness();
}

bool Theme::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ApplicationPaletteChange &&
        watched == QCoreApplication::instance())
        updateDark();
    return QObject::eventFilter(watched, event);
}

bool Theme::wantsDark() const {
    if (m_appearance != Appearance::System)
        return m_appearance == Appearance::Dark;
    if (m_desktopScheme != PortalColorScheme::Scheme::noPreference)
        return m_desktopScheme == PortalColorScheme::Scheme::preferDark;
    return systemPaletteIsDark();
}

void Theme::updateDark() {
    const bool dark = wantsDark();
    if (dark == m_dark)
        return;
    m_dark = dark;
    emit appearanceChanged();
}

QColor Theme::adaptive(const QColor& light, const QColor& dark) const {
    return m_dark ? dark : light;
}

QColor Theme::brandBlue() {
    static const QColor color = colorFromHex(u"1A56DB");
    return color;
}
QColor Theme::brandGold() {
    static const QColor color = colorFromHex(u"D4A017");
    return color;
}
QColor Theme::successGreen() {
    static const QColor color = colorFromHex(u"0E9F6E");
    return color;
}
QColor Theme::warningOrange() {
    static const QColor color = colorFromHex(u"FF5A1F");
    return color;
}
QColor Theme::dangerRed() {
    static const QColor color = colorFromHex(u"E02424");
    return color;
}

QColor Theme::appBackground() const {
    static const QColor light = colorFromHex(u"F9FAFB");
    static const QColor dark = colorFromHex(u"0B0F19");
    return adaptive(light, dark);
}
QColor Theme::subtleBackground() const {
    static const QColor light = colorFromHex(u"F3F4F6");
    static const QColor dark = colorFromHex(u"111827");
    return adaptive(light, dark);
}
QColor Theme::cardBackground() const {
    static const QColor light = colorFromHex(u"FFFFFF");
    static const QColor dark = colorFromHex(u"1F2937");
    return adaptive(light, dark);
}
QColor Theme::textPrimary() const {
    static const QColor light = colorFromHex(u"111827");
    static const QColor dark = colorFromHex(u"F9FAFB");
    return adaptive(light, dark);
}
QColor Theme::textSecondary() const {
    static const QColor light = colorFromHex(u"6B7280");
    static const QColor dark = colorFromHex(u"9CA3AF");
    return adaptive(light, dark);
}

QFont Theme::titleFont() {
    static const QFont font = systemFont(24, QFont::Bold);
    return font;
}
QFont Theme::headingFont() {
    static const QFont font = systemFont(18, QFont::DemiBold);
    return font;
}
QFont Theme::subheadingFont() {
    static const QFont font = systemFont(15, QFont::Medium);
    return font;
}
QFont Theme::bodyFont() {
    static const QFont font = systemFont(13, QFont::Normal);
    return font;
}
QFont Theme::captionFont() {
    static const QFont font = systemFont(11, QFont::Normal);
    return font;
}
QString Theme::monospaceFamily() {
    static const QString family = resolvedFontFamily(QStringLiteral("monospace"));
    return family;
}

void Theme::resolveGenericFamilies() {
    (void)monospaceFamily();
    (void)genericSansSerifFamily();
}

void Theme::nameApplicationFontFamily() {
    QFont font = QGuiApplication::font();
    const QString resolved = font.family() == genericSansSerif ? genericSansSerifFamily()
                                                               : resolvedFontFamily(font.family());
    if (resolved.isEmpty() || resolved == font.family() || !QFontDatabase::hasFamily(resolved))
        return;
    font.setFamily(resolved);
    QGuiApplication::setFont(font);
}

} // namespace Selvor
