#include "VpcdLink.hpp"

#include "SendAll.hpp"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

namespace TokenSim {
namespace {

constexpr std::uint8_t powerOff = 0x00;
constexpr std::uint8_t powerOn = 0x01;
constexpr std::uint8_t resetCard = 0x02;
constexpr std::uint8_t getAtr = 0x04;

// A vpcd that holds another card stops answering connection attempts once its backlog is
// full; a bounded wait keeps the control socket served meanwhile.
bool connectWithin(int fd, const sockaddr* address, socklen_t length) {
    const int flags = fcntl(fd, F_GETFL);
    fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    bool connected = ::connect(fd, address, length) == 0;
    if (!connected && errno == EINPROGRESS) {
        pollfd pending{fd, POLLOUT, 0};
        int error = 0;
        socklen_t size = sizeof error;
        connected = poll(&pending, 1, 500) == 1 &&
                    getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
    }
    fcntl(fd, F_SETFL, flags);
    return connected;
}

struct AddressListFree {
    void operator()(addrinfo* list) const { freeaddrinfo(list); }
};

} // namespace

bool VpcdLink::connect() {
    disconnect();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(m_host.c_str(), m_port.c_str(), &hints, &found) != 0) {
        return false;
    }
    std::unique_ptr<addrinfo, AddressListFree> list(found);
    for (addrinfo* address = list.get(); address != nullptr; address = address->ai_next) {
        const int fd =
            ::socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC, address->ai_protocol);
        if (fd < 0) {
            continue;
        }
        if (connectWithin(fd, address->ai_addr, address->ai_addrlen)) {
            const int on = 1;
            setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            m_fd = fd;
            return true;
        }
        ::close(fd);
    }
    return false;
}

void VpcdLink::disconnect() {
    m_served = false;
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

bool VpcdLink::readExactly(std::uint8_t* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        // Without quick ACKs every exchange waits for the delayed-ACK timer (about 40 ms).
        const int on = 1;
        setsockopt(m_fd, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
        const ssize_t got = ::recv(m_fd, buffer + done, size - done, 0);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

bool VpcdLink::send(ByteView payload) {
    Bytes frame{static_cast<std::uint8_t>(payload.size() >> 8),
                static_cast<std::uint8_t>(payload.size() & 0xFF)};
    frame.insert(frame.end(), payload.begin(), payload.end());
    return sendAll(m_fd, frame.data(), frame.size());
}

bool VpcdLink::serveOne(TokenCard& card) {
    std::uint8_t header[2];
    if (!readExactly(header, sizeof header)) {
        return false;
    }
    Bytes message(static_cast<std::size_t>(header[0] << 8 | header[1]));
    if (!readExactly(message.data(), message.size())) {
        return false;
    }
    m_served = true;
    if (message.size() == 1) {
        switch (message[0]) {
        case powerOff:
        case powerOn:
        case resetCard:
            card.reset();
            return true;
        case getAtr:
            return send(card.atr());
        default:
            return true;
        }
    }
    if (m_commandsBeforePullOut && (*m_commandsBeforePullOut)-- == 0) {
        m_commandsBeforePullOut.reset();
        m_pulledOut = true;
        wipe(message);
        return false;
    }
    Bytes reply = card.transmit(message);
    const bool sent = send(reply);
    wipe(reply);
    wipe(message);
    return sent;
}

} // namespace TokenSim
