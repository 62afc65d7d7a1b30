#pragma once

#include <netinet/in.h>
#include <sys/socket.h>

// A loopback port bound but not listening, so that every connection to it is refused at once:
// a service address for benches that must not reach any service. The port stays taken for the
// life of the process. 0 when none could be bound.
inline int refusingLoopbackPort() {
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (socket < 0 || bind(socket, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return 0;
    return ntohs(address.sin_port);
}
