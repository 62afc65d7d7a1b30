#pragma once

#include <sys/types.h>

#include <string>

struct xcb_connection_t;

// An Xvfb server of the benchmark's own on the first free display from `firstDisplay` up (a
// display whose lock file exists is taken), with a connection that sees every top-level window
// being mapped. With no window manager, a start's first map is its window appearing.
class VirtualDisplay {
public:
    explicit VirtualDisplay(int firstDisplay);
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // False when no server could be started; error() says why.
    [[nodiscard]] bool isRunning() const { return m_connection != nullptr; }
    [[nodiscard]] const std::string& error() const { return m_error; }
    // ":N", for the programs started on it.
    [[nodiscard]] const std::string& name() const { return m_name; }
    // Becomes readable when the server has sent events.
    [[nodiscard]] int eventFd() const;
    // Reads the events that arrived; true when a window was mapped among them.
    [[nodiscard]] bool takeWindowMapped();

private:
    bool start(int display);
    void stop();

    pid_t m_server = -1;
    xcb_connection_t* m_connection = nullptr;
    std::string m_name;
    std::string m_error;
};
