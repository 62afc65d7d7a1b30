#include "SmCrypto.hpp"

#include "SelvorTokenKit/LibCrypto.hpp"
#include "SelvorTokenKit/TokenError.hpp"
#include "WipeGuard.hpp"

#include <algorithm>
#include <map>
#include <memory>
#include <string>

namespace SelvorTokenKit::SmCrypto {
namespace {

struct CipherContextDeleter {
    void operator()(EVP_CIPHER_CTX* context) const { libCrypto().EVP_CIPHER_CTX_free(context); }
};
using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, CipherContextDeleter>;

struct CipherDeleter {
    void operator()(EVP_CIPHER* cipher) const { libCrypto().EVP_CIPHER_free(cipher); }
};
using FetchedCipher = std::unique_ptr<EVP_CIPHER, CipherDeleter>;

// Single DES lives only in OpenSSL's legacy provider, loaded into a library context of the
// kit's own so the application's default context stays as it is. Kept for the process's life.
OSSL_LIB_CTX* legacyContext() {
    static OSSL_LIB_CTX* const context = [] {
        OSSL_LIB_CTX* created = libCrypto().OSSL_LIB_CTX_new();
        if (created != nullptr && libCrypto().OSSL_PROVIDER_load(created, "legacy") == nullptr) {
            libCrypto().OSSL_LIB_CTX_free(created);
            return static_cast<OSSL_LIB_CTX*>(nullptr);
        }
        return created;
    }();
    return context;
}

// Fetched once: an implicit fetch on every use costs more than the cipher work itself.
const EVP_CIPHER* cipherNamed(const char* name) {
    static const std::map<std::string, FetchedCipher> ciphers = [] {
        std::map<std::string, FetchedCipher> fetched;
        for (const char* algorithm :
             {"DES-EDE-ECB", "DES-EDE-CBC", "DES-EDE3-CBC", "AES-128-ECB", "AES-128-CBC"}) {
            fetched.emplace(algorithm, FetchedCipher(libCrypto().EVP_CIPHER_fetch(
                                           nullptr, algorithm, nullptr)));
        }
        if (OSSL_LIB_CTX* legacy = legacyContext()) {
            fetched.emplace(
                "DES-CBC", FetchedCipher(libCrypto().EVP_CIPHER_fetch(legacy, "DES-CBC", nullptr)));
        }
        return fetched;
    }();
    const auto found = ciphers.find(name);
    return found == ciphers.end() ? nullptr : found->second.get();
}

// One cipher context per thread, re-initialised for every operation.
EVP_CIPHER_CTX* threadContext() {
    thread_local const CipherContext context(libCrypto().EVP_CIPHER_CTX_new());
    return context.get();
}

[[noreturn]] void fail() {
    throw TokenError(TokenError::Kind::secureMessagingFailed);
}

Bytes run(const EVP_CIPHER* cipher, ByteView key, ByteView iv, ByteView data, bool encrypt) {
    if (cipher == nullptr) {
        fail();
    }
    const auto blockSize = static_cast<std::size_t>(libCrypto().EVP_CIPHER_get_block_size(cipher));
    if (key.size() != static_cast<std::size_t>(libCrypto().EVP_CIPHER_get_key_length(cipher)) ||
        iv.size() != static_cast<std::size_t>(libCrypto().EVP_CIPHER_get_iv_length(cipher)) ||
        data.size() % blockSize != 0) {
        fail();
    }
    EVP_CIPHER_CTX* context = threadContext();
    Bytes out(data.size() + blockSize);
    int written = 0;
    int finalWritten = 0;
    if (context == nullptr ||
        libCrypto().EVP_CipherInit_ex2(context, cipher, key.data(),
                                       iv.empty() ? nullptr : iv.data(), encrypt ? 1 : 0,
                                       nullptr) != 1 ||
        libCrypto().EVP_CIPHER_CTX_set_padding(context, 0) != 1 ||
        libCrypto().EVP_CipherUpdate(context, out.data(), &written, data.data(),
                                     static_cast<int>(data.size())) != 1 ||
        libCrypto().EVP_CipherFinal_ex(context, out.data() + written, &finalWritten) != 1) {
        wipeBytes(out);
        fail();
    }
    out.resize(static_cast<std::size_t>(written + finalWritten));
    return out;
}

Bytes lastBlock(Bytes cipherText, std::size_t blockSize) {
    const WipeGuard guard(cipherText);
    return Bytes(cipherText.end() - static_cast<std::ptrdiff_t>(blockSize), cipherText.end());
}

} // namespace

Bytes tripleDESECBEncrypt(ByteView key, ByteView data) {
    return run(cipherNamed("DES-EDE-ECB"), key, {}, data, true);
}

Bytes tripleDESCBC(ByteView key, ByteView iv, ByteView data, bool encrypt) {
    return run(cipherNamed("DES-EDE-CBC"), key, iv, data, encrypt);
}

Bytes aesECBEncrypt(ByteView key, ByteView data) {
    return run(cipherNamed("AES-128-ECB"), key, {}, data, true);
}

Bytes aesCBC(ByteView key, ByteView iv, ByteView data, bool encrypt) {
    return run(cipherNamed("AES-128-CBC"), key, iv, data, encrypt);
}

Bytes desCBC(ByteView key, ByteView iv, ByteView data, bool encrypt) {
    if (key.size() != 8) {
        fail();
    }
    if (const EVP_CIPHER* des = cipherNamed("DES-CBC")) {
        return run(des, key, iv, data, encrypt);
    }
    // Without the legacy provider: triple DES with K K K computes the same.
    Bytes tripled(key.begin(), key.end());
    const WipeGuard guard(tripled);
    tripled.insert(tripled.end(), key.begin(), key.end());
    tripled.insert(tripled.end(), key.begin(), key.end());
    return run(cipherNamed("DES-EDE3-CBC"), tripled, iv, data, encrypt);
}

Bytes retailMAC(ByteView key, ByteView iv, ByteView data) {
    if (key.size() != 16 || data.empty()) {
        fail();
    }
    static constexpr std::uint8_t zeroIV[8] = {};
    const ByteView k1 = key.first(8);
    const ByteView k2 = key.subspan(8);
    Bytes state = lastBlock(desCBC(k1, iv, data, true), 8);
    const WipeGuard stateGuard(state);
    Bytes decrypted = desCBC(k2, zeroIV, state, false);
    const WipeGuard decryptedGuard(decrypted);
    return desCBC(k1, zeroIV, decrypted, true);
}

Bytes aesMAC(ByteView key, ByteView iv, ByteView data) {
    if (data.empty()) {
        fail();
    }
    Bytes mac = lastBlock(aesCBC(key, iv, data, true), 16);
    mac.resize(8);
    return mac;
}

void incrementICV(Bytes& icv) {
    for (std::size_t i = 8; i-- > 0;) {
        if (++icv[i] != 0) {
            return;
        }
    }
}

Bytes pad(ByteView data, std::size_t blockSize) {
    Bytes padded((data.size() / blockSize + 1) * blockSize, 0x00);
    std::copy(data.begin(), data.end(), padded.begin());
    padded[data.size()] = 0x80;
    return padded;
}

Bytes removePadding(ByteView data) {
    for (std::size_t i = data.size(); i-- > 0;) {
        if (data[i] == 0x80) {
            return Bytes(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(i));
        }
        if (data[i] != 0x00) {
            break;
        }
    }
    return Bytes(data.begin(), data.end());
}

} // namespace SelvorTokenKit::SmCrypto
