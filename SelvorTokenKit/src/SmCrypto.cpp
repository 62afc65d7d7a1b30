#include "SmCrypto.hpp"

#include "SelvorTokenKit/TokenError.hpp"
#include "WipeGuard.hpp"

#include <openssl/evp.h>

#include <algorithm>
#include <memory>

namespace SelvorTokenKit::SmCrypto {
namespace {

struct CipherContextDeleter {
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};
using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, CipherContextDeleter>;

[[noreturn]] void fail() {
    throw TokenError(TokenError::Kind::secureMessagingFailed);
}

Bytes run(const EVP_CIPHER* cipher, ByteView key, ByteView iv, ByteView data, bool encrypt) {
    const auto blockSize = static_cast<std::size_t>(EVP_CIPHER_get_block_size(cipher));
    if (key.size() != static_cast<std::size_t>(EVP_CIPHER_get_key_length(cipher)) ||
        iv.size() != static_cast<std::size_t>(EVP_CIPHER_get_iv_length(cipher)) ||
        data.size() % blockSize != 0) {
        fail();
    }
    CipherContext context(EVP_CIPHER_CTX_new());
    Bytes out(data.size() + blockSize);
    int written = 0;
    int finalWritten = 0;
    if (!context ||
        EVP_CipherInit_ex(context.get(), cipher, nullptr, key.data(),
                          iv.empty() ? nullptr : iv.data(), encrypt ? 1 : 0) != 1 ||
        EVP_CIPHER_CTX_set_padding(context.get(), 0) != 1 ||
        EVP_CipherUpdate(context.get(), out.data(), &written, data.data(),
                         static_cast<int>(data.size())) != 1 ||
        EVP_CipherFinal_ex(context.get(), out.data() + written, &finalWritten) != 1) {
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
    return run(EVP_des_ede_ecb(), key, {}, data, true);
}

Bytes tripleDESCBC(ByteView key, ByteView iv, ByteView data, bool encrypt) {
    return run(EVP_des_ede_cbc(), key, iv, data, encrypt);
}

Bytes aesECBEncrypt(ByteView key, ByteView data) {
    return run(EVP_aes_128_ecb(), key, {}, data, true);
}

Bytes aesCBC(ByteView key, ByteView iv, ByteView data, bool encrypt) {
    return run(EVP_aes_128_cbc(), key, iv, data, encrypt);
}

Bytes desCBC(ByteView key, ByteView iv, ByteView data, bool encrypt) {
    if (key.size() != 8) {
        fail();
    }
    Bytes tripled(key.begin(), key.end());
    const WipeGuard guard(tripled);
    tripled.insert(tripled.end(), key.begin(), key.end());
    tripled.insert(tripled.end(), key.begin(), key.end());
    return run(EVP_des_ede3_cbc(), tripled, iv, data, encrypt);
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
