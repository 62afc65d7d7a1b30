#include "TokenSim/CardCrypto.hpp"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <memory>
#include <stdexcept>

namespace TokenSim {
namespace {

struct CipherContextFree {
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};
using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, CipherContextFree>;

// Two-key triple DES runs as three-key K1 K2 K1; single DES as K K K, which the default
// provider computes without the legacy one.
Bytes tripleDesKey(ByteView key) {
    if (key.size() == 8) {
        Bytes k(key.begin(), key.end());
        k.insert(k.end(), key.begin(), key.end());
        k.insert(k.end(), key.begin(), key.end());
        return k;
    }
    if (key.size() != 16) {
        throw std::runtime_error("triple DES key must have 8 or 16 bytes");
    }
    Bytes k(key.begin(), key.end());
    k.insert(k.end(), key.begin(), key.begin() + 8);
    return k;
}

Bytes runCipher(const EVP_CIPHER* cipher, ByteView key, ByteView iv, ByteView data, bool encrypt) {
    const auto block = static_cast<std::size_t>(EVP_CIPHER_get_block_size(cipher));
    if (data.size() % block != 0) {
        throw std::runtime_error("cipher input is not a whole number of blocks");
    }
    if (!iv.empty() && iv.size() != static_cast<std::size_t>(EVP_CIPHER_get_iv_length(cipher))) {
        throw std::runtime_error("wrong IV size");
    }
    CipherContext context(EVP_CIPHER_CTX_new());
    Bytes out(data.size() + block);
    int written = 0;
    int tail = 0;
    if (!context ||
        EVP_CipherInit_ex(context.get(), cipher, nullptr, key.data(),
                          iv.empty() ? nullptr : iv.data(), encrypt ? 1 : 0) != 1 ||
        EVP_CIPHER_CTX_set_padding(context.get(), 0) != 1 ||
        EVP_CipherUpdate(context.get(), out.data(), &written, data.data(),
                         static_cast<int>(data.size())) != 1 ||
        EVP_CipherFinal_ex(context.get(), out.data() + written, &tail) != 1) {
        throw std::runtime_error("cipher failed");
    }
    out.resize(static_cast<std::size_t>(written + tail));
    return out;
}

Bytes runSuite(Suite suite, bool cbc, ByteView key, ByteView iv, ByteView data, bool encrypt) {
    if (suite == Suite::aes) {
        if (key.size() != 16) {
            throw std::runtime_error("AES key must have 16 bytes");
        }
        return runCipher(cbc ? EVP_aes_128_cbc() : EVP_aes_128_ecb(), key, iv, data, encrypt);
    }
    Bytes k = tripleDesKey(key);
    Bytes out = runCipher(cbc ? EVP_des_ede3_cbc() : EVP_des_ede3_ecb(), k, iv, data, encrypt);
    wipe(k);
    return out;
}

} // namespace

std::size_t blockSize(Suite suite) {
    return suite == Suite::aes ? 16 : 8;
}

Bytes ecbEncrypt(Suite suite, ByteView key, ByteView data) {
    return runSuite(suite, false, key, {}, data, true);
}

Bytes cbcEncrypt(Suite suite, ByteView key, ByteView iv, ByteView data) {
    return runSuite(suite, true, key, iv, data, true);
}

Bytes cbcDecrypt(Suite suite, ByteView key, ByteView iv, ByteView data) {
    return runSuite(suite, true, key, iv, data, false);
}

Bytes computeMac(Suite suite, ByteView key, ByteView iv, ByteView paddedData) {
    if (suite == Suite::aes) {
        Bytes chain = cbcEncrypt(Suite::aes, key, iv, paddedData);
        return Bytes(chain.end() - 16, chain.end() - 8);
    }
    if (key.size() != 16) {
        throw std::runtime_error("retail MAC key must have 16 bytes");
    }
    const ByteView k1 = key.first(8);
    const ByteView k2 = key.subspan(8, 8);
    const Bytes zeroIv(8, 0);
    Bytes chain = cbcEncrypt(Suite::des, k1, iv, paddedData);
    const Bytes last(chain.end() - 8, chain.end());
    const Bytes middle = cbcDecrypt(Suite::des, k2, zeroIv, last);
    return cbcEncrypt(Suite::des, k1, zeroIv, middle);
}

Bytes pad(ByteView data, std::size_t block) {
    Bytes out(data.begin(), data.end());
    out.push_back(0x80);
    while (out.size() % block != 0) {
        out.push_back(0x00);
    }
    return out;
}

std::optional<Bytes> unpad(ByteView data) {
    std::size_t end = data.size();
    while (end > 0 && data[end - 1] == 0x00) {
        --end;
    }
    if (end == 0 || data[end - 1] != 0x80) {
        return std::nullopt;
    }
    return Bytes(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(end - 1));
}

bool equalInConstantTime(ByteView a, ByteView b) {
    return a.size() == b.size() && CRYPTO_memcmp(a.data(), b.data(), a.size()) == 0;
}

void wipe(Bytes& secret) {
    OPENSSL_cleanse(secret.data(), secret.size());
    secret.clear();
}

} // namespace TokenSim
