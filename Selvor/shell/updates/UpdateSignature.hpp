#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace Selvor {

// True when `signature` is a valid Ed25519 signature of `message` under the 32-byte
// `publicKey`. Malformed keys or signatures are simply not valid.
[[nodiscard]] bool verifyEd25519(QByteArrayView publicKey, QByteArrayView signature,
                                 QByteArrayView message);

// The public key downloads must be signed with, built into the app.
[[nodiscard]] QByteArray trustedUpdateKey();

enum class UpdateFileVerdict { Verified, WrongLength, BadSignature, Unreadable };

// Checks a downloaded file against the length and signature its feed item announced. Reads the
// file mapped, not copied; blocking, so callers run it off the GUI thread.
[[nodiscard]] UpdateFileVerdict checkUpdateFile(const QString& path, qint64 expectedLength,
                                                QByteArrayView signature, QByteArrayView publicKey);

} // namespace Selvor
