#include "token/SecretText.hpp"

#include <QByteArray>

#include <string.h>

#include <utility>

namespace Selvor {

void wipeSecret(QString& secret) {
    // data() of a string that is its buffer's only holder writes in place without a copy.
    if (!secret.isEmpty() && secret.isDetached())
        explicit_bzero(secret.data(), static_cast<size_t>(secret.size()) * sizeof(QChar));
    secret.clear();
}

void replaceSecret(QString& held, const QString& next) {
    QString previous = std::exchange(held, next);
    wipeSecret(previous);
}

std::string secretUtf8(const QString& secret) {
    QByteArray utf8 = secret.toUtf8();
    std::string bytes(utf8.constData(), static_cast<size_t>(utf8.size()));
    explicit_bzero(utf8.data(), static_cast<size_t>(utf8.size()));
    return bytes;
}

} // namespace Selvor
