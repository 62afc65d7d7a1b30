// Ed25519 verification and version order over arbitrary bytes. Input: a key length byte, a
// signature length byte, then the key, the signature and the message. Only a 32-byte key with a
// 64-byte signature can ever verify; what the development key signs always verifies and stops
// verifying when the message changes. The message's two halves, read as versions, must order
// consistently both ways round.
#include "shell/updates/AppVersion.hpp"
#include "shell/updates/UpdateSignature.hpp"

#include <openssl/evp.h>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

void check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

using PKeyPtr = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using MdCtxPtr = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;

// The development key the simulator signs with, whose public half the fuzz build trusts.
const PKeyPtr& devKey() {
    static const QByteArray seed =
        QByteArray::fromHex("906c38a29f8d4b3632c1ad87d0fe45821ee995c5f2d863d196d018577b696947");
    static const PKeyPtr key(
        EVP_PKEY_new_raw_private_key(EVP_PKEY_ED25519, nullptr,
                                     reinterpret_cast<const unsigned char*>(seed.constData()),
                                     static_cast<std::size_t>(seed.size())),
        &EVP_PKEY_free);
    return key;
}

QByteArray devSign(QByteArrayView message) {
    static constexpr unsigned char nothing = 0;
    const MdCtxPtr context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    QByteArray signature(64, '\0');
    std::size_t size = 64;
    check(context && devKey() &&
          EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, devKey().get()) == 1 &&
          EVP_DigestSign(context.get(), reinterpret_cast<unsigned char*>(signature.data()), &size,
                         message.isEmpty() ? &nothing
                                           : reinterpret_cast<const unsigned char*>(message.data()),
                         static_cast<std::size_t>(message.size())) == 1);
    return signature;
}

std::strong_ordering reversed(std::strong_ordering order) {
    return 0 <=> order;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const QByteArrayView input(data, static_cast<qsizetype>(size));
    const qsizetype keySize = std::min<qsizetype>(data[0], input.size() - 2);
    const qsizetype signatureSize = std::min<qsizetype>(data[1], input.size() - 2 - keySize);
    const QByteArrayView key = input.sliced(2, keySize);
    const QByteArrayView signature = input.sliced(2 + keySize, signatureSize);
    const QByteArrayView message = input.sliced(2 + keySize + signatureSize);

    if (Selvor::verifyEd25519(key, signature, message)) {
        check(key.size() == 32 && signature.size() == 64);
    }
    const QByteArray trusted = Selvor::trustedUpdateKey();
    const QByteArray good = devSign(message);
    check(Selvor::verifyEd25519(trusted, good, message));
    if (!message.isEmpty()) {
        const QByteArray shorter = message.chopped(1).toByteArray();
        check(!Selvor::verifyEd25519(trusted, good, shorter));
    }

    const QString text = QString::fromUtf8(message);
    const QStringView left = QStringView(text).first(text.size() / 2);
    const QStringView right = QStringView(text).sliced(text.size() / 2);
    const auto forward = Selvor::compareVersions(left, right);
    const auto backward = Selvor::compareVersions(right, left);
    check(forward.has_value() == backward.has_value());
    if (forward) {
        check(*backward == reversed(*forward));
        check(Selvor::compareVersions(left, left) == std::strong_ordering::equal);
    }
    return 0;
}
