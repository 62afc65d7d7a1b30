#pragma once

#include "TokenSim/TokenCard.hpp"

#include <optional>
#include <string>
#include <utility>

namespace TokenSim {

// The card end of a vsmartcard vpcd reader: a TCP client that answers vpcd's messages
// (two-byte big-endian length, then either a one-byte control code or a command APDU).
// While connected the reader holds a card; closing the connection pulls the card out.
class VpcdLink {
public:
    VpcdLink(std::string host, std::string port)
        : m_host(std::move(host)), m_port(std::move(port)) {}
    ~VpcdLink() { disconnect(); }
    VpcdLink(const VpcdLink&) = delete;
    VpcdLink& operator=(const VpcdLink&) = delete;

    // One attempt; false while vpcd does not listen.
    bool connect();
    void disconnect();
    bool isConnected() const { return m_fd >= 0; }
    // vpcd has talked to this connection: the reader is ours (vpcd serves one card at a time
    // and leaves further connections waiting).
    bool isServed() const { return m_served; }
    int fd() const { return m_fd; }

    // Answers one message; false when vpcd closed the connection or the card is pulled out.
    bool serveOne(TokenCard& card);

    // The card answers `commands` more command APDUs, then is pulled out when the next one
    // arrives, leaving it unanswered: a token removed in the middle of an action.
    void pullOutAfter(int commands) { m_commandsBeforePullOut = commands; }
    // True once, after serveOne returned false because the card was pulled out.
    bool takePullOut() { return std::exchange(m_pulledOut, false); }

private:
    bool readExactly(std::uint8_t* buffer, std::size_t size);
    bool send(ByteView payload);

    std::string m_host;
    std::string m_port;
    int m_fd = -1;
    bool m_served = false;
    std::optional<int> m_commandsBeforePullOut;
    bool m_pulledOut = false;
};

} // namespace TokenSim
