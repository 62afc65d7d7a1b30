#include "HexColor.hpp"

#include <cstdint>

namespace Selvor {
namespace {

bool isAlphanumeric(char32_t c) {
    const QChar::Category category = QChar::category(c);
    return QChar::isLetterOrNumber(c) || category == QChar::Mark_NonSpacing ||
           category == QChar::Mark_SpacingCombining || category == QChar::Mark_Enclosing;
}

int hexDigitValue(char32_t c) {
    if (c >= '0' && c <= '9')
        return int(c - '0');
    if (c >= 'a' && c <= 'f')
        return int(c - 'a' + 10);
    if (c >= 'A' && c <= 'F')
        return int(c - 'A' + 10);
    return -1;
}

} // namespace

QColor colorFromHex(QStringView hex) {
    const QList<uint> codePoints = hex.toUcs4();
    auto first = codePoints.cbegin();
    auto last = codePoints.cend();
    while (first != last && !isAlphanumeric(*first))
        ++first;
    while (last != first && !isAlphanumeric(*(last - 1)))
        --last;

    // Leading hex digits form the number, as a scanner would read it; 64 bits wrap like the
    // scanner's overflow but only 6 and 8 character inputs are ever used.
    std::uint64_t value = 0;
    for (auto it = first; it != last; ++it) {
        const int digit = hexDigitValue(*it);
        if (digit < 0)
            break;
        value = (value << 4) | std::uint64_t(digit);
    }

    const auto channel = [value](int shift) { return int((value >> shift) & 0xFF); };
    switch (last - first) {
    case 6:
        return QColor(channel(16), channel(8), channel(0), 255);
    case 8:
        return QColor(channel(16), channel(8), channel(0), channel(24));
    default:
        return QColor(0, 0, 0, 255);
    }
}

} // namespace Selvor
