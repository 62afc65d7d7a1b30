#pragma once

#include "api/models/DisplayRules.hpp"

#include <QString>

#include <string_view>

// Text rules shared by the home and account screens that are not part of the service's records.
namespace Selvor::AccountText {

// The first letters of the first two words of a name, upper-cased; words are split on spaces.
[[nodiscard]] QString initials(const QString& fullName);

// "Сайн байна уу, <name>!", with a generic name when nobody's name is known yet.
[[nodiscard]] QString greeting(const QString& fullName);

// The first `count` characters of an identifier followed by "...".
[[nodiscard]] QString truncatedId(std::string_view id, std::size_t count);

// The Theme colour a label of that tone is drawn in.
[[nodiscard]] QString toneColour(LabelTone tone);

} // namespace Selvor::AccountText
