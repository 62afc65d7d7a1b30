#pragma once

#include "AppcastItem.hpp"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>
#include <stdexcept>
#include <vector>

namespace Selvor {

// The feed is not a well-formed RSS document.
class AppcastError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The items of an RSS 2.0 update feed, in feed order. Items without a usable version, enclosure,
// length or signature are left out. Throws AppcastError when the document is not a feed.
[[nodiscard]] std::vector<AppcastItem> parseAppcast(const QByteArray& xml);

// The newest item strictly newer than `currentVersion`, if any.
[[nodiscard]] std::optional<AppcastItem> newestUpdate(const std::vector<AppcastItem>& items,
                                                      QStringView currentVersion);

// Release notes as plain text: tags dropped, list items and paragraphs on lines of their own,
// the common entities decoded. Nothing is ever fetched.
[[nodiscard]] QString plainTextFromHtml(QStringView html);

} // namespace Selvor
