#pragma once

#include "shell/PortalColorScheme.hpp"

#include <QColor>
#include <QFont>
#include <QObject>
#include <QtQml/qqmlregistration.h>

namespace Selvor {

// The one palette and type scale. Fixed colours never change; adaptive colours follow the
// desktop's light or dark preference live, or where it has none the application palette, unless
// SELVOR_APPEARANCE=light|dark forces one.
class Theme : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

    Q_PROPERTY(bool dark READ dark NOTIFY appearanceChanged)
    Q_PROPERTY(Appearance appearance READ appearance WRITE setAppearance NOTIFY appearanceChanged)

    Q_PROPERTY(QColor brandBlue READ brandBlue CONSTANT)
    Q_PROPERTY(QColor brandGold READ brandGold CONSTANT)
    Q_PROPERTY(QColor successGreen READ successGreen CONSTANT)
    Q_PROPERTY(QColor warningOrange READ warningOrange CONSTANT)
    Q_PROPERTY(QColor dangerRed READ dangerRed CONSTANT)
    Q_PROPERTY(QColor appBackground READ appBackground NOTIFY appearanceChanged)
    Q_PROPERTY(QColor subtleBackground READ subtleBackground NOTIFY appearanceChanged)
    Q_PROPERTY(QColor cardBackground READ cardBackground NOTIFY appearanceChanged)
    Q_PROPERTY(QColor textPrimary READ textPrimary NOTIFY appearanceChanged)
    Q_PROPERTY(QColor textSecondary READ textSecondary NOTIFY appearanceChanged)

    Q_PROPERTY(QFont titleFont READ titleFont CONSTANT)
    Q_PROPERTY(QFont headingFont READ headingFont CONSTANT)
    Q_PROPERTY(QFont subheadingFont READ subheadingFont CONSTANT)
    Q_PROPERTY(QFont bodyFont READ bodyFont CONSTANT)
    Q_PROPERTY(QFont captionFont READ captionFont CONSTANT)
    Q_PROPERTY(QString monospaceFamily READ monospaceFamily CONSTANT)

public:
    // System follows the desktop's preference, or the application palette; Light and Dark pin
    // one look.
    enum class Appearance { System, Light, Dark };
    Q_ENUM(Appearance)

    explicit Theme(QObject* parent = nullptr);

    [[nodiscard]] bool dark() const { return m_dark; }
    [[nodiscard]] Appearance appearance() const { return m_appearance; }
    void setAppearance(Appearance appearance);
    // What the desktop prefers (see PortalColorScheme); no preference leaves it to the palette.
    void setDesktopScheme(PortalColorScheme::Scheme scheme);

    [[nodiscard]] static QColor brandBlue();
    [[nodiscard]] static QColor brandGold();
    [[nodiscard]] static QColor successGreen();
    [[nodiscard]] static QColor warningOrange();
    [[nodiscard]] static QColor dangerRed();
    [[nodiscard]] QColor appBackground() const;
    [[nodiscard]] QColor subtleBackground() const;
    [[nodiscard]] QColor cardBackground() const;
    [[nodiscard]] QColor textPrimary() const;
    [[nodiscard]] QColor textSecondary() const;

    [[nodiscard]] static QFont titleFont();
    [[nodiscard]] static QFont headingFont();
    [[nodiscard]] static QFont subheadingFont();
    [[nodiscard]] static QFont bodyFont();
    [[nodiscard]] static QFont captionFont();
    // Fonts asked for by a generic name ("monospace", or a desktop default such as "Sans
    // Serif") that no font file carries first build an empty engine at every size and weight,
    // then sort the installed fonts for a fallback. Named by the installed family they resolve
    // to, each is one direct match.
    [[nodiscard]] static QString monospaceFamily();
    // Fontconfig's answers for the generic names a start asks for, made ahead on any thread.
    static void resolveGenericFamilies();
    // Once, before the first window: the application font under its resolved family.
    static void nameApplicationFontFamily();

    // SELVOR_APPEARANCE: "light" or "dark" pins the look; anything else follows the system.
    [[nodiscard]] static Appearance appearanceFromEnvironment();
    [[nodiscard]] static bool systemPaletteIsDark();

signals:
    void appearanceChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateDark();
    [[nodiscard]] bool wantsDark() const;
    [[nodiscard]] QColor adaptive(const QColor& light, const QColor& dark) const;

    Appearance m_appearance = Appearance::System;
    PortalColorScheme::Scheme m_desktopScheme = PortalColorScheme::Scheme::noPreference;
    bool m_dark = false;
};

} // namespace Selvor
