#include "TokenSim/SecureChannel.hpp"

#include "TokenSim/StatusWord.hpp"

#include <algorithm>

namespace TokenSim {
namespace {

constexpr std::uint8_t tagCryptogram = 0x87;
constexpr std::uint8_t tagLe = 0x97;
constexpr std::uint8_t tagMac = 0x8E;
constexpr std::size_t macSize = 8;
// DO87 header, DO99 (99 02 90 00) and DO8E (8E 08 + MAC) around the padded reply data.
constexpr std::size_t replyOverhead = 3 + 4 + 2 + macSize;
constexpr std::size_t maxShortReply = 256;

void incrementCounter(Bytes& icv) {
    for (int i = 7; i >= 0; --i) {
        if (++icv[static_cast<std::size_t>(i)] != 0) {
            break;
        }
    }
}

} // namespace

SecureChannel::SecureChannel(Suite suite) : m_suite(suite) {}

SecureChannel::~SecureChannel() {
    close();
}

std::size_t SecureChannel::maxReplyData() const {
    const std::size_t b = blockSize(m_suite);
    return (maxShortReply - replyOverhead) / b * b - 1;
}

Bytes SecureChannel::mac(ByteView paddedInput, ByteView iv) const {
    return computeMac(m_suite, m_keyMac, iv, paddedInput);
}

Bytes SecureChannel::begin(ByteView transportKeyEnc, ByteView transportKeyMac,
                           ByteView hostChallenge, ByteView cardChallenge) {
    close();
    Bytes derivation;
    derivation.insert(derivation.end(), cardChallenge.begin() + 4, cardChallenge.begin() + 8);
    derivation.insert(derivation.end(), hostChallenge.begin(), hostChallenge.begin() + 4);
    derivation.insert(derivation.end(), cardChallenge.begin(), cardChallenge.begin() + 4);
    derivation.insert(derivation.end(), hostChallenge.begin() + 4, hostChallenge.begin() + 8);
    m_keyEnc = ecbEncrypt(m_suite, transportKeyEnc, derivation);
    m_keyMac = ecbEncrypt(m_suite, transportKeyMac, derivation);

    Bytes input(hostChallenge.begin(), hostChallenge.end());
    input.insert(input.end(), cardChallenge.begin(), cardChallenge.end());
    input = pad(input, blockSize(m_suite));
    const Bytes zeroIv(blockSize(m_suite), 0);
    const Bytes cipherText = cbcEncrypt(m_suite, m_keyEnc, zeroIv, input);
    m_expectedCryptogram.assign(cipherText.begin() + 16, cipherText.begin() + 24);
    return m_expectedCryptogram;
}

bool SecureChannel::authenticate(const CommandApdu& command) {
    if (m_expectedCryptogram.empty() || command.data.size() != 16) {
        close();
        return false;
    }
    const ByteView cryptogram = ByteView(command.data).first(8);
    const ByteView receivedMac = ByteView(command.data).subspan(8, macSize);
    // The MAC covers the header and the cryptogram, padded to 16 bytes (DES) or 32 (AES).
    Bytes input{command.cla, command.ins, command.p1, command.p2, 0x10};
    input.insert(input.end(), cryptogram.begin(), cryptogram.end());
    input = pad(input, 16);
    if (m_suite == Suite::aes) {
        input.resize(32, 0x00);
    }
    const Bytes expectedMac = mac(input, Bytes(blockSize(m_suite), 0));
    if (!equalInConstantTime(cryptogram, m_expectedCryptogram) ||
        !equalInConstantTime(receivedMac, expectedMac)) {
        close();
        return false;
    }
    m_icv = expectedMac;
    m_icv.resize(16, 0x00);
    m_expectedCryptogram.clear();
    m_established = true;
    return true;
}

void SecureChannel::close() {
    wipe(m_keyEnc);
    wipe(m_keyMac);
    wipe(m_icv);
    m_expectedCryptogram.clear();
    m_established = false;
}

std::variant<CommandApdu, std::uint16_t> SecureChannel::unwrap(const CommandApdu& command) {
    if (!m_established) {
        return StatusWord::secureMessagingDataWrong;
    }
    const Bytes& body = command.data;
    const std::size_t b = blockSize(m_suite);
    std::size_t i = 0;
    ByteView cipherText;
    std::optional<std::size_t> le;
    if (i + 2 <= body.size() && body[i] == tagCryptogram) {
        const std::size_t length = body[i + 1];
        if (length < 2 || i + 2 + length > body.size() || body[i + 2] != 0x01 ||
            (length - 1) % b != 0) {
            close();
            return StatusWord::secureMessagingDataWrong;
        }
        cipherText = ByteView(body).subspan(i + 3, length - 1);
        i += 2 + length;
    }
    if (i + 3 <= body.size() && body[i] == tagLe && body[i + 1] == 0x01) {
        le = body[i + 2] == 0 ? 256 : body[i + 2];
        i += 3;
    }
    if (i + 2 + macSize != body.size() || body[i] != tagMac || body[i + 1] != macSize) {
        close();
        return StatusWord::secureMessagingDataWrong;
    }
    const std::size_t macStart = i;

    Bytes input{command.cla, command.ins, command.p1, command.p2};
    input = pad(input, b);
    const Bytes objects = pad(ByteView(body).first(macStart), b);
    input.insert(input.end(), objects.begin(), objects.end());
    incrementCounter(m_icv);
    const Bytes expectedMac = mac(input, ByteView(m_icv).first(b));
    if (!equalInConstantTime(ByteView(body).subspan(macStart + 2, macSize), expectedMac)) {
        close();
        return StatusWord::secureMessagingDataWrong;
    }
    std::copy(expectedMac.begin(), expectedMac.end(), m_icv.begin());

    CommandApdu plain{static_cast<std::uint8_t>(command.cla & ~0x04),
                      command.ins,
                      command.p1,
                      command.p2,
                      {},
                      le};
    if (!cipherText.empty()) {
        Bytes padded = cbcDecrypt(m_suite, m_keyEnc, Bytes(b, 0), cipherText);
        std::optional<Bytes> data = unpad(padded);
        wipe(padded);
        if (!data) {
            return StatusWord::secureMessagingDataWrong;
        }
        plain.data = std::move(*data);
    }
    return plain;
}

Bytes SecureChannel::protectReply(ByteView data) const {
    const std::size_t b = blockSize(m_suite);
    Bytes objects;
    if (!data.empty()) {
        Bytes padded = pad(data, b);
        const Bytes cipherText = cbcEncrypt(m_suite, m_keyEnc, Bytes(b, 0), padded);
        wipe(padded);
        objects.push_back(tagCryptogram);
        objects.push_back(static_cast<std::uint8_t>(cipherText.size() + 1));
        objects.push_back(0x01);
        objects.insert(objects.end(), cipherText.begin(), cipherText.end());
    }
    objects.insert(objects.end(), {0x99, 0x02, 0x90, 0x00});
    // The reply MAC continues from the command's MAC without moving the chain.
    const Bytes replyMac = mac(pad(objects, b), ByteView(m_icv).first(b));
    objects.push_back(tagMac);
    objects.push_back(macSize);
    objects.insert(objects.end(), replyMac.begin(), replyMac.end());
    objects.insert(objects.end(), {0x90, 0x00});
    return objects;
}

} // namespace TokenSim
