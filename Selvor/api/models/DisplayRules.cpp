#include "api/models/DisplayRules.hpp"

#include <algorithm>

namespace Selvor {
namespace {

bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

bool equalsIgnoringAsciiCase(std::string_view text, std::string_view upperCase) {
    return std::equal(text.begin(), text.end(), upperCase.begin(), upperCase.end(),
                      [](char a, char b) { return (a >= 'a' && a <= 'z' ? a - 32 : a) == b; });
}

} // namespace

std::string characterPrefix(std::string_view text, std::size_t count) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isContinuationByte(text[i]))
            continue;
        if (characters == count)
            return std::string(text.substr(0, i));
        ++characters;
    }
    return std::string(text);
}

std::string momentText(std::string_view timestamp) {
    return characterPrefix(timestamp, 16);
}

std::string dayText(std::string_view timestamp) {
    return characterPrefix(timestamp, 10);
}

std::string platformLabel(std::string_view platform) {
    if (platform == "IOS")
        return "iOS";
    if (platform == "ANDROID")
        return "Android";
    return std::string(platform);
}

ToneLabel deviceStatusLabel(std::string_view status) {
    if (status == "ACTIVE")
        return {"Идэвхтэй", LabelTone::success};
    return {std::string(status), LabelTone::secondary};
}

std::string actionLabel(std::string_view sessionType) {
    // No character outside ASCII upper-cases to A, U, T or H, so ASCII folding is exact here.
    return equalsIgnoringAsciiCase(sessionType, "AUTH") ? "Нэвтрэлт" : "Гарын үсэг";
}

ToneLabel resultLabel(std::string_view result) {
    if (result == "OK")
        return {"Амжилттай", LabelTone::success};
    return {std::string(result), LabelTone::danger};
}

} // namespace Selvor
