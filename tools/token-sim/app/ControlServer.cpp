#include "ControlServer.hpp"

#include "SendAll.hpp"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace TokenSim {
namespace {

constexpr std::size_t maxCommandLength = 64;

} // namespace

ControlServer::ControlServer(std::string path, Handler handler)
    : m_path(std::move(path)), m_handler(std::move(handler)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (m_path.size() >= sizeof address.sun_path) {
        throw std::runtime_error("control socket path too long: " + m_path);
    }
    std::memcpy(address.sun_path, m_path.c_str(), m_path.size() + 1);
    ::unlink(m_path.c_str());
    m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_fd, 4) != 0) {
        const std::string reason = std::strerror(errno);
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        throw std::runtime_error("cannot listen on " + m_path + ": " + reason);
    }
}

ControlServer::~ControlServer() {
    ::close(m_fd);
    ::unlink(m_path.c_str());
}

void ControlServer::serveOne() {
    const int client = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) {
        return;
    }
    timeval timeout{2, 0};
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    std::string command;
    char c = 0;
    while (command.size() < maxCommandLength && ::recv(client, &c, 1, 0) == 1 && c != '\n') {
        command.push_back(c);
    }
    const std::string answer = m_handler(command);
    sendAll(client, answer.data(), answer.size());
    ::close(client);
}

} // namespace TokenSim
