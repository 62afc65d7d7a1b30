#include "ControlServer.hpp"

#include "SendAll.hpp"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace TokenSim {
namespace {

constexpr std::size_t maxCommandLength = 64;

class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask) : m_previous(::umask(mask)) {}
    ~ScopedUmask() { ::umask(m_previous); }
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;

private:
    mode_t m_previous;
};

std::runtime_error failure(const char* what, const std::string& path) {
    const int error = errno;
    return std::runtime_error(std::string(what) + " " + path + ": " + std::strerror(error));
}

// A socket left by an earlier run goes; anything else at the path is the user's, and stays.
void removeStaleSocket(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        if (errno == ENOENT) {
            return;
        }
        throw failure("cannot inspect", path);
    }
    if (!S_ISSOCK(status.st_mode)) {
        throw std::runtime_error(path + " exists and is not a socket; not removing it");
    }
    if (::unlink(path.c_str()) != 0) {
        throw failure("cannot remove the old socket", path);
    }
}

} // namespace

ControlServer::ControlServer(std::string path, Handler handler)
    : m_path(std::move(path)), m_handler(std::move(handler)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (m_path.size() >= sizeof address.sun_path) {
        throw std::runtime_error("control socket path too long: " + m_path);
    }
    std::memcpy(address.sun_path, m_path.c_str(), m_path.size() + 1);
    removeStaleSocket(m_path);
    m_socket = FileDescriptor(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!m_socket) {
        throw failure("cannot create the control socket", m_path);
    }
    // "log" answers decrypted commands, PIN blocks among them: only the owner may connect.
    // The umask leaves no moment in which others could; the chmod covers a directory whose
    // default ACL overrides the umask.
    {
        const ScopedUmask ownerOnly(0177);
        if (::bind(m_socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            throw failure("cannot listen on", m_path);
        }
    }
    if (::chmod(m_path.c_str(), 0600) != 0 || ::listen(m_socket.get(), 4) != 0) {
        const std::runtime_error error = failure("cannot listen on", m_path);
        ::unlink(m_path.c_str());
        throw error;
    }
}

ControlServer::~ControlServer() {
    ::unlink(m_path.c_str());
}

void ControlServer::serveOne() {
    const FileDescriptor client(::accept4(m_socket.get(), nullptr, nullptr, SOCK_CLOEXEC));
    if (!client) {
        return;
    }
    timeval timeout{2, 0};
    setsockopt(client.get(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    std::string command;
    char c = 0;
    while (command.size() < maxCommandLength && ::recv(client.get(), &c, 1, 0) == 1 && c != '\n') {
        command.push_back(c);
    }
    const std::string answer = m_handler(command);
    sendAll(client.get(), answer.data(), answer.size());
}

} // namespace TokenSim
