#include "TokenSimTesting/TokenSimProcess.hpp"

#include <PCSC/winscard.h>
#include <PCSC/wintypes.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace TokenSimTesting {
namespace {

constexpr std::chrono::milliseconds cardTimeout = std::chrono::seconds(10);

std::string pcscText(LONG code) {
    return pcsc_stringify_error(code);
}

class PcscContext {
public:
    PcscContext() {
        const LONG result = SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &m_context);
        if (result != SCARD_S_SUCCESS) {
            throw std::runtime_error("pcscd is not running (" + pcscText(result) +
                                     "); start it with scripts/test or /usr/sbin/pcscd");
        }
    }
    ~PcscContext() { SCardReleaseContext(m_context); }
    PcscContext(const PcscContext&) = delete;
    PcscContext& operator=(const PcscContext&) = delete;
    SCARDCONTEXT get() const { return m_context; }

private:
    SCARDCONTEXT m_context = 0;
};

std::uint8_t hexDigit(char c) {
    return static_cast<std::uint8_t>(c <= '9' ? c - '0' : (c & ~0x20) - 'A' + 10);
}

} // namespace

TokenSimProcess::TokenSimProcess(TokenSimOptions options) : m_options(std::move(options)) {
    // Fails early, before anything starts, when there is no smart-card service.
    PcscContext context;

    std::vector<std::string> arguments{TOKEN_SIM_EXECUTABLE, "--vpcd",
                                       "127.0.0.1:" + std::to_string(m_options.vpcdPort),
                                       "--control", m_controlPath};
    if (m_options.fips) {
        arguments.emplace_back("--fips");
    }
    if (!m_options.atrHex.empty()) {
        arguments.emplace_back("--atr");
        arguments.push_back(m_options.atrHex);
    }
    std::vector<char*> argv;
    for (auto& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    m_pid = fork();
    if (m_pid < 0) {
        throw std::runtime_error("cannot start token-sim");
    }
    if (m_pid == 0) {
        // The simulator must not outlive a crashed test nor keep its descriptors (a held
        // lock file among them).
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        close_range(3, ~0U, 0);
        execv(argv[0], argv.data());
        _exit(127);
    }
    try {
        waitUntilServed();
        waitForCard(true, cardTimeout);
    } catch (...) {
        stop();
        throw;
    }
}

TokenSimProcess::~TokenSimProcess() {
    stop();
}

void TokenSimProcess::stop() noexcept {
    if (m_pid <= 0) {
        return;
    }
    kill(m_pid, SIGTERM);
    for (int i = 0; i < 50; ++i) {
        if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
            m_pid = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
    // Let pcscd notice the card is gone so the next process finds the reader empty.
    try {
        waitForCard(false, std::chrono::seconds(2));
    } catch (const std::exception&) {
        // The reader may already be gone with pcscd itself; nothing is left to clean up.
    }
}

void TokenSimProcess::waitForCard(bool present, std::chrono::milliseconds timeout) const {
    PcscContext context;
    SCARD_READERSTATE state{};
    state.szReader = m_options.readerName.c_str();
    state.dwCurrentState = SCARD_STATE_UNAWARE;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (m_pid > 0 && waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
            throw std::runtime_error("token-sim exited early");
        }
        const LONG result = SCardGetStatusChange(context.get(), 200, &state, 1);
        if (result == SCARD_E_UNKNOWN_READER) {
            throw std::runtime_error("pcscd lists no reader " + m_options.readerName +
                                     " (is vsmartcard-vpcd installed?)");
        }
        if (result != SCARD_S_SUCCESS && result != SCARD_E_TIMEOUT) {
            throw std::runtime_error("SCardGetStatusChange: " + pcscText(result));
        }
        if (((state.dwEventState & SCARD_STATE_PRESENT) != 0) == present) {
            return;
        }
        state.dwCurrentState = state.dwEventState & ~static_cast<DWORD>(SCARD_STATE_CHANGED);
    }
    throw std::runtime_error(std::string("the card did not ") +
                             (present ? "appear in " : "leave ") + m_options.readerName);
}

std::string TokenSimProcess::control(const std::string& command) const {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, m_controlPath.c_str(), sizeof address.sun_path - 1);
    if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        if (fd >= 0) {
            close(fd);
        }
        throw std::runtime_error("cannot reach the token-sim control socket " + m_controlPath);
    }
    timeval timeout{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    const std::string line = command + "\n";
    if (send(fd, line.data(), line.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(line.size())) {
        close(fd);
        throw std::runtime_error("cannot send to token-sim");
    }
    std::string answer;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = recv(fd, buffer, sizeof buffer, 0)) > 0) {
        answer.append(buffer, static_cast<std::size_t>(got));
    }
    close(fd);
    if (got < 0) {
        throw std::runtime_error("token-sim did not answer \"" + command + "\"");
    }
    if (answer.rfind("error", 0) == 0) {
        throw std::runtime_error("token-sim: " + answer);
    }
    return answer;
}

void TokenSimProcess::removeCard() {
    control("remove");
    waitForCard(false, cardTimeout);
}

void TokenSimProcess::removeAfterCommands(int commands) {
    control("remove-after " + std::to_string(commands));
}

void TokenSimProcess::insertCard() {
    control("insert");
    waitUntilServed();
    waitForCard(true, cardTimeout);
}

void TokenSimProcess::waitUntilServed() const {
    const auto deadline = std::chrono::steady_clock::now() + cardTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (m_pid > 0 && waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
            throw std::runtime_error("token-sim exited early");
        }
        try {
            if (control("status") == "serving\n") {
                return;
            }
        } catch (const std::runtime_error&) {
            // The control socket is not up yet.
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    throw std::runtime_error("vpcd on port " + std::to_string(m_options.vpcdPort) +
                             " never served this token-sim: another card (another token-sim?) "
                             "holds the reader " +
                             m_options.readerName +
                             ", or the reader could not listen on that port (is it in use?)");
}

std::vector<LoggedApdu> TokenSimProcess::commandLog() const {
    std::istringstream lines(control("log"));
    std::vector<LoggedApdu> entries;
    LoggedApdu entry;
    char kind = 0;
    while (lines >> entry.sw >> kind >> entry.apduHex) {
        entry.secured = kind == 'S';
        entries.push_back(entry);
    }
    return entries;
}

void TokenSimProcess::clearLog() const {
    control("clear-log");
}

std::vector<std::uint8_t> TokenSimProcess::ecPublicKeyDer() const {
    const std::string hex = control("pubkey");
    std::vector<std::uint8_t> der;
    for (std::size_t i = 0; i + 1 < hex.size() && hex[i] != '\n'; i += 2) {
        der.push_back(static_cast<std::uint8_t>(hexDigit(hex[i]) << 4 | hexDigit(hex[i + 1])));
    }
    return der;
}

} // namespace TokenSimTesting
