// The token-sim executable's control socket. Its log holds decrypted commands, PIN blocks among
// them, so the socket is its owner's alone; and the path it is told to use never costs the user
// a file.

#include "TokenSimTesting/PrivateDirectory.hpp"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using TokenSimTesting::PrivateDirectory;
using namespace std::chrono_literals;

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) {
            close(m_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask) : m_previous(umask(mask)) {}
    ~ScopedUmask() { umask(m_previous); }
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;

private:
    mode_t m_previous;
};

// Stands in for vpcd: token-sim connects and waits for a reader that never speaks, which keeps
// it running with its control socket served and no pcscd involved.
class SilentVpcd {
public:
    SilentVpcd() {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (bind(m_socket.get(), reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            listen(m_socket.get(), 16) != 0 ||
            getsockname(m_socket.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            throw std::runtime_error(std::string("cannot listen on loopback: ") +
                                     std::strerror(errno));
        }
        m_address = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));
    }
    const std::string& address() const { return m_address; }

private:
    Descriptor m_socket{socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)};
    std::string m_address;
};

// token-sim with a control socket at `controlPath`; its stderr is kept. Stopped on destruction.
class TokenSimRun {
public:
    TokenSimRun(const std::string& vpcd, const std::string& controlPath) {
        if (access(TOKEN_SIM_EXECUTABLE, X_OK) != 0) {
            throw std::runtime_error("token-sim executable missing: " TOKEN_SIM_EXECUTABLE);
        }
        int errorPipe[2];
        if (pipe2(errorPipe, O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe failed");
        }
        m_errors = std::make_unique<Descriptor>(errorPipe[0]);
        const Descriptor writeEnd(errorPipe[1]);
        std::vector<std::string> arguments{TOKEN_SIM_EXECUTABLE, "--vpcd", vpcd, "--control",
                                           controlPath};
        std::vector<char*> argv;
        for (auto& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), STDERR_FILENO);
        const int spawned = posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            throw std::runtime_error("cannot start token-sim");
        }
    }
    ~TokenSimRun() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    TokenSimRun(const TokenSimRun&) = delete;
    TokenSimRun& operator=(const TokenSimRun&) = delete;

    // The exit code once the process has ended within `timeout`; nothing while it still runs.
    std::optional<int> exitCode(std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(20ms);
        }
        return std::nullopt;
    }

    // Everything written to stderr; only once the process has ended.
    std::string errors() const {
        std::string text;
        char buffer[512];
        ssize_t got = 0;
        while ((got = read(m_errors->get(), buffer, sizeof buffer)) > 0) {
            text.append(buffer, static_cast<std::size_t>(got));
        }
        return text;
    }

private:
    pid_t m_pid = -1;
    std::unique_ptr<Descriptor> m_errors;
};

// The answer to one control command; empty when nothing listens there.
std::string ask(const std::string& socketPath, const std::string& command) {
    const Descriptor connection(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    if (connect(connection.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        return {};
    }
    const std::string line = command + "\n";
    send(connection.get(), line.data(), line.size(), MSG_NOSIGNAL);
    std::string answer;
    char buffer[256];
    ssize_t got = 0;
    while ((got = recv(connection.get(), buffer, sizeof buffer, 0)) > 0) {
        answer.append(buffer, static_cast<std::size_t>(got));
    }
    return answer;
}

bool answersWithin(const std::string& socketPath, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (!ask(socketPath, "status").empty()) {
            return true;
        }
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

// Permission bits as `ls` and chmod spell them ("600").
std::string permissions(const struct stat& status) {
    std::ostringstream text;
    text << std::oct << (status.st_mode & 07777);
    return text.str();
}

std::string contentOf(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(ControlSocket, isOnlyForItsOwnerWhateverTheUmask) {
    const SilentVpcd vpcd;
    for (const mode_t mask : {0000, 0022, 0077}) {
        const PrivateDirectory directory("token-sim-test");
        const std::string path = directory.path() / "control";
        std::optional<TokenSimRun> run;
        {
            const ScopedUmask umaskOfTheStart(mask);
            run.emplace(vpcd.address(), path);
        }
        ASSERT_TRUE(answersWithin(path, 5s)) << "umask " << std::oct << mask;
        struct stat status {};
        ASSERT_EQ(lstat(path.c_str(), &status), 0);
        EXPECT_TRUE(S_ISSOCK(status.st_mode));
        EXPECT_EQ(permissions(status), "600") << "umask " << std::oct << mask;
        EXPECT_EQ(status.st_uid, getuid());
    }
}

TEST(ControlSocket, leavesAnythingButASocketAtItsPathAlone) {
    const SilentVpcd vpcd;
    const PrivateDirectory directory("token-sim-test");
    const auto file = directory.path() / "notes.txt";
    std::ofstream(file) << "keep me\n";
    const auto subdirectory = directory.path() / "folder";
    std::filesystem::create_directory(subdirectory);
    const auto link = directory.path() / "link";
    std::filesystem::create_symlink(file, link);
    const auto dangling = directory.path() / "dangling";
    std::filesystem::create_symlink(directory.path() / "missing", dangling);

    for (const auto& path : {file, subdirectory, link, dangling}) {
        TokenSimRun run(vpcd.address(), path);
        const std::optional<int> exitCode = run.exitCode(5s);
        ASSERT_TRUE(exitCode) << path << " was taken over";
        EXPECT_EQ(*exitCode, 1) << path;
        EXPECT_NE(run.errors().find(path.string() + " exists and is not a socket"),
                  std::string::npos)
            << path;
    }
    EXPECT_EQ(contentOf(file), "keep me\n");
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::symlink_status(subdirectory)));
    EXPECT_EQ(std::filesystem::read_symlink(link), file);
    EXPECT_EQ(std::filesystem::read_symlink(dangling), directory.path() / "missing");
}

TEST(ControlSocket, replacesTheSocketAnEarlierRunLeftAndRemovesItsOwnWhenStopped) {
    const SilentVpcd vpcd;
    const PrivateDirectory directory("token-sim-test");
    const std::string path = directory.path() / "control";
    {
        const Descriptor left(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        ASSERT_EQ(bind(left.get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    }
    ASSERT_TRUE(std::filesystem::is_socket(path));
    {
        TokenSimRun run(vpcd.address(), path);
        EXPECT_TRUE(answersWithin(path, 5s));
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(path)));
}
