#pragma once

#include <functional>
#include <string>

namespace TokenSim {

// A Unix-domain socket taking one text command per connection ("remove", "insert", "log",
// "clear-log", "pubkey"); the answer is written back and the connection closed.
class ControlServer {
public:
    using Handler = std::function<std::string(const std::string& command)>;

    ControlServer(std::string path, Handler handler);
    ~ControlServer();
    ControlServer(const ControlServer&) = delete;
    ControlServer& operator=(const ControlServer&) = delete;

    int fd() const { return m_fd; }
    // Serves one waiting client.
    void serveOne();

private:
    std::string m_path;
    Handler m_handler;
    int m_fd = -1;
};

} // namespace TokenSim
