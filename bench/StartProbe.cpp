#include "StartProbe.hpp"

#include "VirtualDisplay.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <fstream>
#include <tuple>
#include <vector>

extern char** environ;

namespace {

constexpr int startTimeoutMs = 30'000;

double nowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// VmRSS and VmHWM of a process, in MiB.
std::pair<double, double> residentMiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::pair<double, double> sizes;
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("VmRSS:"))
            sizes.first = std::stod(line.substr(6)) / 1024.0;
        else if (line.starts_with("VmHWM:"))
            sizes.second = std::stod(line.substr(6)) / 1024.0;
    }
    return sizes;
}

std::vector<std::string> environmentWith(const StartProbe::Changes& changes) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        if (!changes.contains(text.substr(0, text.find('='))))
            entries.push_back(text);
    }
    for (const auto& [name, value] : changes) {
        if (value)
            entries.push_back(name + "=" + *value);
    }
    return entries;
}

} // namespace

StartProbe::StartProbe(std::string program, Changes changes)
    : m_program(std::move(program)), m_changes(std::move(changes)) {}

std::optional<StartFigures> StartProbe::run(VirtualDisplay* display) {
    Changes changes = m_changes;
    if (display) {
        changes["DISPLAY"] = display->name();
        changes["QT_QPA_PLATFORM"] = "xcb";
        (void)display->takeWindowMapped();
    }
    const std::vector<std::string> entries = environmentWith(changes);
    std::vector<char*> envp;
    for (const std::string& entry : entries)
        envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);

    int errors[2];
    if (pipe2(errors, O_CLOEXEC) != 0) {
        m_error = "no pipe";
        return std::nullopt;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, errors[1], STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    char* argv[] = {m_program.data(), nullptr};
    pid_t pid = -1;
    const double started = nowMs();
    const int spawned = posix_spawn(&pid, m_program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(errors[1]);
    if (spawned != 0) {
        close(errors[0]);
        m_error = "cannot start " + m_program;
        return std::nullopt;
    }

    StartFigures figures;
    std::string said;
    bool painted = false;
    while (!painted && nowMs() - started < startTimeoutMs) {
        std::vector<pollfd> watched{{errors[0], POLLIN, 0}};
        if (display)
            watched.push_back({display->eventFd(), POLLIN, 0});
        if (poll(watched.data(), watched.size(), 100) < 0)
            break;
        if (display && figures.mappedMs == 0 && display->takeWindowMapped())
            figures.mappedMs = nowMs() - started;
        if (!(watched[0].revents & (POLLIN | POLLHUP)))
            continue;
        char chunk[4096];
        const ssize_t got = read(errors[0], chunk, sizeof chunk);
        if (got <= 0)
            break;
        said.append(chunk, size_t(got));
        if (said.find(firstFrameLine) != std::string::npos) {
            figures.firstFrameMs = nowMs() - started;
            std::tie(figures.residentMiB, figures.peakMiB) = residentMiB(pid);
            painted = true;
        }
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    close(errors[0]);
    if (!painted) {
        m_error = m_program + " painted no frame; it said:\n" + said;
        return std::nullopt;
    }
    return figures;
}
