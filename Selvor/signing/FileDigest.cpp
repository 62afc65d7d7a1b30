#include "signing/FileDigest.hpp"

#include <QFile>

#include <openssl/evp.h>

#include <memory>
#include <vector>

namespace Selvor {

namespace {

constexpr qint64 chunkSize = 1 << 20;

struct DigestContextDeleter {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using DigestContext = std::unique_ptr<EVP_MD_CTX, DigestContextDeleter>;

void check(int status) {
    if (status != 1)
        throw std::runtime_error("SHA-256 failed");
}

} // namespace

QString sha256HexOfFile(const QString& path, std::stop_token stop) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw FileReadError(file.errorString().toStdString());

    DigestContext context(EVP_MD_CTX_new());
    if (!context)
        throw std::bad_alloc();
    check(EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr));

    std::vector<char> chunk(chunkSize);
    for (;;) {
        if (stop.stop_requested())
            throw std::runtime_error("hashing stopped");
        const qint64 count = file.read(chunk.data(), chunkSize);
        if (count < 0)
            throw FileReadError(file.errorString().toStdString());
        if (count == 0)
            break;
        check(EVP_DigestUpdate(context.get(), chunk.data(), static_cast<size_t>(count)));
    }

    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    check(EVP_DigestFinal_ex(context.get(), digest, &length));
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(digest), static_cast<qsizetype>(length)).toHex());
}

} // namespace Selvor
