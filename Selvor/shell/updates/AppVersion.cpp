#include "AppVersion.hpp"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace Selvor {

namespace {

// Nine digits always fit in 32 bits, so comparing never overflows.
constexpr qsizetype maxPartDigits = 9;

std::optional<std::vector<std::uint32_t>> versionParts(QStringView version) {
    std::vector<std::uint32_t> parts;
    qsizetype digits = 0;
    std::uint32_t value = 0;
    for (const QChar c : version) {
        if (c == u'.') {
            if (digits == 0) {
                return std::nullopt;
            }
            parts.push_back(value);
            digits = 0;
            value = 0;
        } else if (c >= u'0' && c <= u'9' && digits < maxPartDigits) {
            value = value * 10 + (c.unicode() - u'0');
            ++digits;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0) {
        return std::nullopt;
    }
    parts.push_back(value);
    return parts;
}

} // namespace

std::optional<std::strong_ordering> compareVersions(QStringView left, QStringView right) {
    const auto leftParts = versionParts(left);
    const auto rightParts = versionParts(right);
    if (!leftParts || !rightParts) {
        return std::nullopt;
    }
    const std::size_t count = std::max(leftParts->size(), rightParts->size());
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t a = i < leftParts->size() ? (*leftParts)[i] : 0;
        const std::uint32_t b = i < rightParts->size() ? (*rightParts)[i] : 0;
        if (a != b) {
            return a <=> b;
        }
    }
    return std::strong_ordering::equal;
}

QString versionOrDefault(const QString& built) {
    return built.isEmpty() ? QStringLiteral("1.0.0") : built;
}

QString applicationVersion() {
    return versionOrDefault(QStringLiteral(SELVOR_APP_VERSION));
}

} // namespace Selvor
