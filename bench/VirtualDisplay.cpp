#include "VirtualDisplay.hpp"

#include <xcb/xcb.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

extern char** environ;

namespace {

constexpr int displaysTried = 20;
constexpr int readyTimeoutMs = 10'000;
constexpr int connectAttempts = 20;
constexpr useconds_t connectPauseUs = 50'000;
// Where Xvfb writes its display number once it accepts clients.
constexpr int readyFd = 3;

bool displayTaken(int display) {
    const std::string number = std::to_string(display);
    return std::filesystem::exists("/tmp/.X" + number + "-lock") ||
           std::filesystem::exists("/tmp/.X11-unix/X" + number);
}

} // namespace

VirtualDisplay::VirtualDisplay(int firstDisplay) {
    for (int display = firstDisplay; display < firstDisplay + displaysTried; ++display) {
        if (!displayTaken(display) && start(display))
            return;
    }
    m_error = "no display from :" + std::to_string(firstDisplay) +
              " could be used; last: " + (m_error.empty() ? std::string("all taken") : m_error);
}

VirtualDisplay::~VirtualDisplay() {
    stop();
}

int VirtualDisplay::eventFd() const {
    return xcb_get_file_descriptor(m_connection);
}

bool VirtualDisplay::takeWindowMapped() {
    bool mapped = false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY)
            mapped = true;
        std::free(event);
    }
    return mapped;
}

bool VirtualDisplay::start(int display) {
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0)
        return false;
    const std::string name = ":" + std::to_string(display);
    const std::string fd = std::to_string(readyFd);
    std::vector<const char*> argv{"Xvfb",         name.c_str(), "-screen", "0",
                                  "1280x1024x24", "-nolisten",  "tcp",     "-displayfd",
                                  fd.c_str(),     nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ready[1], readyFd);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawnp(&m_server, "Xvfb", &actions, nullptr,
                                     const_cast<char* const*>(argv.data()), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(ready[1]);
    if (spawned != 0) {
        close(ready[0]);
        m_server = -1;
        m_error = "Xvfb could not be started (is the xvfb package installed?)";
        return false;
    }
    pollfd wait{ready[0], POLLIN, 0};
    char number[16] = {};
    const bool answered =
        poll(&wait, 1, readyTimeoutMs) == 1 && read(ready[0], number, sizeof number - 1) > 0;
    close(ready[0]);
    if (!answered) {
        m_error = "Xvfb " + name + " ended or stayed silent before it was ready";
        stop();
        return false;
    }
    // A server that has just said it is ready may still refuse a first client on a busy machine.
    for (int attempt = 0; attempt < connectAttempts; ++attempt) {
        if (m_connection)
            xcb_disconnect(m_connection);
        m_connection = xcb_connect(name.c_str(), nullptr);
        if (!xcb_connection_has_error(m_connection))
            break;
        usleep(connectPauseUs);
    }
    if (xcb_connection_has_error(m_connection)) {
        m_error = "cannot connect to the Xvfb on " + name;
        stop();
        return false;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_connection);
    m_name = name;
    return true;
}

void VirtualDisplay::stop() {
    if (m_connection) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
    }
    if (m_server > 0) {
        kill(m_server, SIGTERM);
        waitpid(m_server, nullptr, 0);
        m_server = -1;
    }
}
