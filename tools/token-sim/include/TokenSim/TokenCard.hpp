#pragma once

#include "TokenSim/CommandApdu.hpp"
#include "TokenSim/FileStore.hpp"
#include "TokenSim/KeyStore.hpp"
#include "TokenSim/PinSlot.hpp"
#include "TokenSim/SecureChannel.hpp"
#include "TokenSim/TokenConfig.hpp"

#include <vector>

namespace TokenSim {

// One command as the token understood it: the plain APDU (after secure-messaging unwrapping
// when it came protected, the raw bytes when unwrapping failed) and the status it answered.
struct LoggedCommand {
    Bytes apdu;
    bool secured = false;
    std::uint16_t sw = 0;
};

// The token's applet, written from the card's side: APDU in, reply out.
class TokenCard {
public:
    explicit TokenCard(TokenConfig config = {});

    // Never throws: an internal failure answers 6F 00.
    Bytes transmit(ByteView apdu);
    // Power cycle or warm reset: the secure channel, PIN verification and file selection end.
    void reset();

    bool isFips() const { return m_config.fips; }
    const Bytes& atr() const { return m_config.atr; }
    const std::vector<LoggedCommand>& commandLog() const { return m_log; }
    void clearLog() { m_log.clear(); }
    const KeyStore& keys() const { return m_keys; }
    // DER public key of the key SIGN EC uses; empty before one is generated.
    Bytes ecPublicKeyDer() const;

    static const Bytes& appletId();

private:
    Bytes respond(ByteView apdu);
    Reply dispatch(const CommandApdu& command, bool secured);
    Reply selectCommand(const CommandApdu& command);
    Reply getChallenge(const CommandApdu& command);
    Reply getData(const CommandApdu& command) const;
    Reply initializeUpdate(const CommandApdu& command);
    Reply externalAuthenticate(const CommandApdu& command);
    Reply verify(const CommandApdu& command);
    Reply putData(const CommandApdu& command, bool secured);
    Reply generateKeyPair(const CommandApdu& command, bool secured);
    Reply performSecurityOperation(const CommandApdu& command);
    Reply readBinary(const CommandApdu& command, bool secured) const;
    Reply updateBinary(const CommandApdu& command, bool secured);
    PinSlot* pinFor(std::uint8_t reference);

    TokenConfig m_config;
    SecureChannel m_channel;
    PinSlot m_userPin;
    PinSlot m_soPin;
    KeyStore m_keys;
    FileStore m_files;
    std::vector<LoggedCommand> m_log;
};

} // namespace TokenSim
