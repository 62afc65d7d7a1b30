#include "SymbolTable.hpp"

#include <QFontDatabase>
#include <QLoggingCategory>

namespace Selvor {
namespace {

Q_LOGGING_CATEGORY(lcSymbols, "mn.selvor.eid.desktop.SymbolTable")

QString loadIconFont() {
    // The package installs this font as TTF, WOFF and WOFF2 under one name, and Qt draws with the
    // file it registered last. Added after the installed fonts are listed, ours (the TTF) is that
    // one; otherwise the WOFF2 draws, which first has to be decompressed, costing more than all
    // the other fonts of the sign-in screen together.
    [[maybe_unused]] const QStringList installed = QFontDatabase::families();
    const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(SymbolTable::fontPath));
    if (id < 0) {
        qCWarning(lcSymbols) << "icon font missing:" << SymbolTable::fontPath;
        return {};
    }
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    return families.isEmpty() ? QString() : families.first();
}

} // namespace

SymbolTable::SymbolTable(QObject* parent) : QObject(parent) {}

const std::map<QString, char16_t>& SymbolTable::table() {
    // Material Icons code points (the font's own names in the comments).
    static const std::map<QString, char16_t> symbols{
        {u"antenna.radiowaves.left.and.right"_qs, 0xe8bf},     // settings_input_antenna
        {u"arrow.clockwise"_qs, 0xe5d5},                       // refresh
        {u"arrow.down.circle.fill"_qs, 0xf000},                // download_for_offline
        {u"arrow.right.circle"_qs, 0xeaaa},                    // arrow_circle_right
        {u"building.2"_qs, 0xea40},                            // apartment
        {u"checkmark.circle.fill"_qs, 0xe86c},                 // check_circle
        {u"checkmark.icloud.fill"_qs, 0xe2bf},                 // cloud_done
        {u"checkmark.seal"_qs, 0xef76},                        // verified
        {u"checkmark.seal.fill"_qs, 0xef76},                   // verified
        {u"checkmark.shield.fill"_qs, 0xe8e8},                 // verified_user
        {u"chevron.left"_qs, 0xe5cb},                          // chevron_left
        {u"clock"_qs, 0xe8b5},                                 // schedule
        {u"clock.arrow.circlepath"_qs, 0xe889},                // history
        {u"exclamationmark.triangle"_qs, 0xf083},              // warning_amber
        {u"exclamationmark.triangle.fill"_qs, 0xe002},         // warning
        {u"externaldrive.connected.to.line.below"_qs, 0xe1e0}, // usb
        {u"globe"_qs, 0xe894},                                 // language
        {u"house"_qs, 0xe88a},                                 // home
        {u"icloud"_qs, 0xe2bd},                                // cloud
        {u"info.circle"_qs, 0xe88e},                           // info
        {u"iphone"_qs, 0xe325},                                // phone_iphone
        {u"iphone.and.arrow.forward"_qs, 0xf05c},              // send_to_mobile
        {u"lock.shield"_qs, 0xe63f},                           // enhanced_encryption
        {u"person.2"_qs, 0xe7fb},                              // people
        {u"person.badge.shield.checkmark"_qs, 0xe174},         // how_to_reg
        {u"person.text.rectangle"_qs, 0xea67},                 // badge
        {u"phone"_qs, 0xe32c},                                 // smartphone
        {u"plus"_qs, 0xe145},                                  // add
        {u"shield.checkered"_qs, 0xe32a},                      // security
        {u"signature"_qs, 0xe746},                             // draw
        {u"trash"_qs, 0xe872},                                 // delete
        {u"xmark.shield"_qs, 0xf012},                          // gpp_bad
    };
    return symbols;
}

QString SymbolTable::glyph(const QString& name) {
    const auto& symbols = table();
    const auto found = symbols.find(name);
    if (found == symbols.end()) {
        qCWarning(lcSymbols) << "no glyph for symbol" << name;
        return {};
    }
    return QString(QChar(found->second));
}

QString SymbolTable::fontFamily() {
    static const QString family = loadIconFont();
    return family;
}

void SymbolTable::loadFont() {
    [[maybe_unused]] const QString family = fontFamily();
}

} // namespace Selvor
