#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWindow>

#include <optional>

namespace SelvorConsent {

// What `selvor-consent [--title TEXT] [--parent-window WINID] URL` asks for.
struct ConsentArguments {
    QString title;
    std::optional<WId> parentWindow;
    QUrl url;
};

// Reads the command line, program name first. Nothing when an option is unknown or lacks its
// value, the window id is not a decimal number, or there is not exactly one URL, an http or https
// one with a host that parses in strict mode.
[[nodiscard]] std::optional<ConsentArguments> parseConsentArguments(const QStringList& arguments);

} // namespace SelvorConsent
