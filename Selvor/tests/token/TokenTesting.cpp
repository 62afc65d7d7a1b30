#include "TokenTesting.hpp"

#include "token/TokenProvisioner.hpp"

#include <QByteArray>
#include <QTest>

#include <openssl/bn.h>
#include <openssl/ec.h>
#include <openssl/ecdsa.h>
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <memory>

namespace Selvor::Testing {

namespace {

struct KeyDeleter {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct SignatureDeleter {
    void operator()(ECDSA_SIG* signature) const { ECDSA_SIG_free(signature); }
};
struct ContextDeleter {
    void operator()(EVP_PKEY_CTX* context) const { EVP_PKEY_CTX_free(context); }
};

} // namespace

TokenSimTesting::TokenSimOptions tokenOptions(bool fips, const std::string& atrHex) {
    TokenSimTesting::TokenSimOptions options;
    options.fips = fips;
    options.atrHex = atrHex;
    return options;
}

bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    return QTest::qWaitFor(condition, timeoutMs);
}

bool waitForToken(const TokenManager& manager) {
    return waitUntil(
        [&manager] { return manager.isTokenPresent() && manager.tokenInfo().has_value(); });
}

void provisionToken(TokenManager& manager) {
    const std::string pin = testPin.toStdString();
    const std::string puk = testPuk.toStdString();
    manager
        .withSession([pin, puk](SelvorTokenKit::Card& card) {
            TokenProvisioner provisioner;
            provisioner.initializeToken(card, pin, puk);
        })
        .waitForFinished();
    manager
        .withSession([pin](SelvorTokenKit::Card& card) {
            TokenProvisioner provisioner;
            provisioner.generateSigningKey(card, pin);
        })
        .waitForFinished();
}

std::vector<std::uint8_t> bytesFromHex(const QString& hex) {
    const QByteArray bytes = QByteArray::fromHex(hex.toLatin1());
    return {bytes.begin(), bytes.end()};
}

bool verifiesWithKey(std::span<const std::uint8_t> publicKeyDer,
                     std::span<const std::uint8_t> digest,
                     std::span<const std::uint8_t> rawSignature) {
    if (rawSignature.size() != 64)
        return false;
    const unsigned char* cursor = publicKeyDer.data();
    std::unique_ptr<EVP_PKEY, KeyDeleter> key(
        d2i_PUBKEY(nullptr, &cursor, static_cast<long>(publicKeyDer.size())));
    if (!key)
        return false;

    std::unique_ptr<ECDSA_SIG, SignatureDeleter> signature(ECDSA_SIG_new());
    BIGNUM* r = BN_bin2bn(rawSignature.data(), 32, nullptr);
    BIGNUM* s = BN_bin2bn(rawSignature.data() + 32, 32, nullptr);
    ECDSA_SIG_set0(signature.get(), r, s);
    unsigned char* der = nullptr;
    const int derLength = i2d_ECDSA_SIG(signature.get(), &der);
    if (derLength <= 0)
        return false;

    std::unique_ptr<EVP_PKEY_CTX, ContextDeleter> context(EVP_PKEY_CTX_new(key.get(), nullptr));
    const bool valid = context && EVP_PKEY_verify_init(context.get()) == 1 &&
                       EVP_PKEY_verify(context.get(), der, static_cast<size_t>(derLength),
                                       digest.data(), digest.size()) == 1;
    OPENSSL_free(der);
    return valid;
}

std::vector<TokenSimTesting::LoggedApdu>
commandsWithInstruction(const TokenSimTesting::TokenSimProcess& token, std::uint8_t ins) {
    const QString insHex = QStringLiteral("%1").arg(ins, 2, 16, QLatin1Char('0')).toUpper();
    std::vector<TokenSimTesting::LoggedApdu> found;
    for (const auto& command : token.commandLog())
        if (QString::fromStdString(command.apduHex).mid(2, 2) == insHex)
            found.push_back(command);
    return found;
}

} // namespace Selvor::Testing
