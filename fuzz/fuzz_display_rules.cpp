// The display rules over whatever text the service sends (any bytes, NULs included). Input: a
// two-byte big-endian character count (FFFF: no limit), then the text. Every prefix is a byte
// prefix of the text that a second cut leaves alone and that grows with the count; for valid
// UTF-8 it stays valid and holds exactly the promised number of code points.
#include "api/models/DisplayRules.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace {

void check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

// The number of code points in well-formed UTF-8 (no overlong forms, surrogates or values past
// U+10FFFF); nothing for any other bytes.
std::optional<std::size_t> codePoints(std::string_view text) {
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t value = 0;
        if (lead < 0x80) {
            length = 1;
            value = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            value = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            value = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            value = lead & 0x07;
        } else {
            return std::nullopt;
        }
        if (text.size() - i < length) {
            return std::nullopt;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return std::nullopt;
            }
            value = value << 6 | (next & 0x3F);
        }
        const char32_t smallest = length == 3 ? 0x800 : length == 4 ? 0x10000 : 0;
        if (value < smallest || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) {
            return std::nullopt;
        }
        i += length;
        ++count;
    }
    return count;
}

bool isPrefix(std::string_view prefix, std::string_view text) {
    return text.substr(0, prefix.size()) == prefix;
}

// What a cut to count characters promises, whatever the text.
void checkCut(std::string_view cut, std::string_view text, std::size_t count,
              std::optional<std::size_t> textCodePoints) {
    check(isPrefix(cut, text) && Selvor::characterPrefix(cut, count) == cut);
    if (textCodePoints) {
        check(codePoints(cut) == std::min(count, *textCodePoints));
    }
}

bool isAuthInAnyCase(std::string_view text) {
    static constexpr std::string_view auth = "AUTH";
    return std::equal(text.begin(), text.end(), auth.begin(), auth.end(), [](char a, char b) {
        return a == b || a == static_cast<char>(b - 'A' + 'a');
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const auto header = static_cast<std::size_t>(data[0] << 8 | data[1]);
    const std::size_t count = header == 0xFFFF ? std::numeric_limits<std::size_t>::max() : header;
    const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
    const std::optional<std::size_t> textCodePoints = codePoints(text);

    const std::string prefix = Selvor::characterPrefix(text, count);
    checkCut(prefix, text, count, textCodePoints);
    if (count > 0) {
        const std::string shorter = Selvor::characterPrefix(text, count - 1);
        checkCut(shorter, text, count - 1, textCodePoints);
        check(isPrefix(shorter, prefix));
    }
    const std::string moment = Selvor::momentText(text);
    checkCut(moment, text, 16, textCodePoints);
    const std::string day = Selvor::dayText(text);
    checkCut(day, text, 10, textCodePoints);
    check(isPrefix(day, moment));

    check(Selvor::actionLabel(text) == (isAuthInAnyCase(text) ? "Нэвтрэлт" : "Гарын үсэг"));
    // The other labels promise nothing beyond a clean run on any text.
    static_cast<void>(Selvor::platformLabel(text));
    static_cast<void>(Selvor::deviceStatusLabel(text));
    static_cast<void>(Selvor::resultLabel(text));
    return 0;
}
