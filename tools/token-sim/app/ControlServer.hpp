#pragma once

#include "FileDescriptor.hpp"

#include <functional>
#include <string>

namespace TokenSim {

// A Unix-domain socket taking one text command per connection ("remove", "insert", "log",
// "clear-log", "pubkey"); the answer is written back and the connection closed. The socket is
// the owner's alone (mode 0600). A socket already at the path is replaced; anything else there
// makes the constructor throw.
class ControlServer {
public:
    using Handler = std::function<std::string(const std::string& command)>;

    ControlServer(std::string path, Handler handler);
    ~ControlServer();
    ControlServer(const ControlServer&) = delete;
    ControlServer& operator=(const ControlServer&) = delete;

    int fd() const { return m_socket.get(); }
    // Serves one waiting client.
    void serveOne();

private:
    std::string m_path;
    Handler m_handler;
    FileDescriptor m_socket;
};

} // namespace TokenSim
