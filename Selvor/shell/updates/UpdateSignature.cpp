#include "UpdateSignature.hpp"

#include <QFile>

#include <SelvorTokenKit/LibCrypto.hpp>

#include <memory>

namespace Selvor {

namespace {

constexpr qsizetype publicKeySize = 32;
constexpr qsizetype signatureSize = 64;

struct PKeyFree {
    void operator()(EVP_PKEY* key) const { SelvorTokenKit::libCrypto().EVP_PKEY_free(key); }
};
struct MdCtxFree {
    void operator()(EVP_MD_CTX* context) const {
        SelvorTokenKit::libCrypto().EVP_MD_CTX_free(context);
    }
};
using PKeyPtr = std::unique_ptr<EVP_PKEY, PKeyFree>;
using MdCtxPtr = std::unique_ptr<EVP_MD_CTX, MdCtxFree>;

bool verifyWithOpenSsl(QByteArrayView publicKey, QByteArrayView signature, QByteArrayView message) {
    const SelvorTokenKit::LibCrypto& crypto = SelvorTokenKit::libCrypto();
    const PKeyPtr key(crypto.EVP_PKEY_new_raw_public_key(
        EVP_PKEY_ED25519, nullptr, reinterpret_cast<const unsigned char*>(publicKey.data()),
        static_cast<std::size_t>(publicKey.size())));
    const MdCtxPtr context(crypto.EVP_MD_CTX_new());
    if (!key || !context ||
        crypto.EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, key.get()) != 1) {
        return false;
    }
    // An empty view may have no data pointer; OpenSSL wants one regardless of the length.
    static constexpr unsigned char nothing = 0;
    const auto* messageData =
        message.isEmpty() ? &nothing : reinterpret_cast<const unsigned char*>(message.data());
    return crypto.EVP_DigestVerify(context.get(),
                                   reinterpret_cast<const unsigned char*>(signature.data()),
                                   static_cast<std::size_t>(signature.size()), messageData,
                                   static_cast<std::size_t>(message.size())) == 1;
}

} // namespace

bool verifyEd25519(QByteArrayView publicKey, QByteArrayView signature, QByteArrayView message) {
    if (publicKey.size() != publicKeySize || signature.size() != signatureSize) {
        return false;
    }
    const bool valid = verifyWithOpenSsl(publicKey, signature, message);
    // A rejected signature leaves its reasons on this thread's error queue; nobody reads them.
    SelvorTokenKit::libCrypto().ERR_clear_error();
    return valid;
}

QByteArray trustedUpdateKey() {
    return QByteArray::fromBase64(QByteArrayLiteral(SELVOR_UPDATE_PUBLIC_KEY));
}

UpdateFileVerdict checkUpdateFile(const QString& path, qint64 expectedLength,
                                  QByteArrayView signature, QByteArrayView publicKey) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return UpdateFileVerdict::Unreadable;
    }
    const qint64 size = file.size();
    if (size != expectedLength) {
        return UpdateFileVerdict::WrongLength;
    }
    // Nothing to map in an empty file, and no release is empty.
    const uchar* bytes = size > 0 ? file.map(0, size) : nullptr;
    if (bytes == nullptr) {
        return UpdateFileVerdict::Unreadable;
    }
    const QByteArrayView contents(bytes, size);
    return verifyEd25519(publicKey, signature, contents) ? UpdateFileVerdict::Verified
                                                         : UpdateFileVerdict::BadSignature;
}

} // namespace Selvor
