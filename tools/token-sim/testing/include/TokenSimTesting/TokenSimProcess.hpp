#pragma once

#include "TokenSimTesting/PrivateDirectory.hpp"

#include <chrono>
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

namespace TokenSimTesting {

struct TokenSimOptions {
    bool fips = false;
    // Empty: the token's own ATR for its mode.
    std::string atrHex;
    std::uint16_t vpcdPort = 35963;
    // The reader pcscd shows for that vpcd port.
    std::string readerName = "Virtual PCD 00 00";
};

// One command as the token logged it: status word, whether it came under secure messaging,
// and the plain APDU in upper-case hex.
struct LoggedApdu {
    std::string sw;
    bool secured = false;
    std::string apduHex;
};

// Runs the token-sim executable as a card in the vpcd reader of a running pcscd. The
// constructor returns once vpcd talks to this process and pcscd reports the card present; it
// throws std::runtime_error when pcscd is not running, the reader is not listed, another card
// holds the reader or the card does not appear. The process is
// stopped on destruction, which pulls the card out.
class TokenSimProcess {
public:
    explicit TokenSimProcess(TokenSimOptions options = {});
    ~TokenSimProcess();
    TokenSimProcess(const TokenSimProcess&) = delete;
    TokenSimProcess& operator=(const TokenSimProcess&) = delete;

    const std::string& readerName() const { return m_options.readerName; }
    // The control socket, alone in a private directory that goes with this object.
    const std::string& controlPath() const { return m_controlPath; }

    // Both return once pcscd has seen the change.
    void removeCard();
    void insertCard();
    // The token answers `commands` more command APDUs and is pulled out on the next one.
    void removeAfterCommands(int commands);

    std::vector<LoggedApdu> commandLog() const;
    void clearLog() const;
    // SubjectPublicKeyInfo DER of the key the token signs with; empty before key generation.
    std::vector<std::uint8_t> ecPublicKeyDer() const;

private:
    std::string control(const std::string& command) const;
    void waitForCard(bool present, std::chrono::milliseconds timeout) const;
    void waitUntilServed() const;
    void stop() noexcept;

    TokenSimOptions m_options;
    PrivateDirectory m_controlDirectory{"token-sim"};
    std::string m_controlPath = (m_controlDirectory.path() / "control").string();
    pid_t m_pid = -1;
};

} // namespace TokenSimTesting
