#pragma once

#include "TokenSim/CardCrypto.hpp"
#include "TokenSim/CommandApdu.hpp"

#include <variant>

namespace TokenSim {

// The card's half of the secure-messaging session: mutual authentication with the host, the
// command MAC chain, DO87 decryption and protected replies.
class SecureChannel {
public:
    explicit SecureChannel(Suite suite);
    ~SecureChannel();
    SecureChannel(const SecureChannel&) = delete;
    SecureChannel& operator=(const SecureChannel&) = delete;

    Suite suite() const { return m_suite; }
    bool isEstablished() const { return m_established; }
    // Largest plaintext one protected reply (DO87, DO99, DO8E) can carry in a short response.
    std::size_t maxReplyData() const;

    // INITIALIZE UPDATE: derives the session keys and returns the card cryptogram, which is
    // also the host cryptogram the card expects next.
    Bytes begin(ByteView transportKeyEnc, ByteView transportKeyMac, ByteView hostChallenge,
                ByteView cardChallenge);
    // EXTERNAL AUTHENTICATE: checks the host cryptogram and its MAC over the command header.
    bool authenticate(const CommandApdu& command);
    void close();

    // A protected command becomes the plain one, or the status word to answer with.
    std::variant<CommandApdu, std::uint16_t> unwrap(const CommandApdu& command);
    // A successful reply: DO87 (when there is data), DO99 and DO8E, then 90 00.
    Bytes protectReply(ByteView data) const;

private:
    Bytes mac(ByteView paddedInput, ByteView iv) const;

    Suite m_suite;
    Bytes m_keyEnc;
    Bytes m_keyMac;
    Bytes m_expectedCryptogram;
    Bytes m_icv;
    bool m_established = false;
};

} // namespace TokenSim
