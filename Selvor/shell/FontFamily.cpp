#include "FontFamily.hpp"

#include <fontconfig/fontconfig.h>

#include <memory>

namespace Selvor {
namespace {

using Pattern = std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)>;

} // namespace

QString resolvedFontFamily(const QString& requested) {
    const QByteArray name = requested.toUtf8();
    const Pattern pattern(FcPatternCreate(), &FcPatternDestroy);
    if (!pattern || !FcPatternAddString(pattern.get(), FC_FAMILY,
                                        reinterpret_cast<const FcChar8*>(name.constData())))
        return {};
    // The substitutions Qt's own fallback search makes, so that both name the same family.
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    const Pattern match(FcFontMatch(nullptr, pattern.get(), &result), &FcPatternDestroy);
    FcChar8* family = nullptr;
    if (!match || FcPatternGetString(match.get(), FC_FAMILY, 0, &family) != FcResultMatch)
        return {};
    return QString::fromUtf8(reinterpret_cast<const char*>(family));
}

} // namespace Selvor
