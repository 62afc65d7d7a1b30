#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace Selvor {

// One release announced by the update feed, checked enough to be offered: a dotted numeric
// version, an http(s) enclosure of known length and a 64-byte Ed25519 signature.
struct AppcastItem {
    QString title;
    // Compared against this build's version.
    QString version;
    // Shown to the user; the version when the feed gives none.
    QString shortVersion;
    // The item's description with its markup removed.
    QString releaseNotes;
    // Empty unless http or https.
    QUrl releaseNotesLink;
    QUrl enclosureUrl;
    qint64 length = 0;
    QByteArray edSignature;
};

} // namespace Selvor
