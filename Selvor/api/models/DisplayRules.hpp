#pragma once

#include <string>
#include <string_view>

// How the account screens show dashboard values. Lengths count characters (code points), not
// bytes, so Mongolian text is never cut inside a letter.
namespace Selvor {

// Which theme colour a label is drawn in.
enum class LabelTone { success, secondary, danger };

struct ToneLabel {
    std::string text;
    LabelTone tone;

    bool operator==(const ToneLabel&) const = default;
};

// The first count characters of text, or all of it when shorter.
std::string characterPrefix(std::string_view text, std::size_t count);

// Date, hour and minute of a timestamp text (16 characters).
std::string momentText(std::string_view timestamp);
// Date of a timestamp text (10 characters).
std::string dayText(std::string_view timestamp);

std::string platformLabel(std::string_view platform);
ToneLabel deviceStatusLabel(std::string_view status);
// "Нэвтрэлт" for a login (session type "AUTH" in any letter case), otherwise "Гарын үсэг".
std::string actionLabel(std::string_view sessionType);
ToneLabel resultLabel(std::string_view result);

} // namespace Selvor
