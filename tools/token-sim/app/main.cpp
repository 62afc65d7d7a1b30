// token-sim: the virtual token as a card in a vsmartcard vpcd reader.
//   token-sim --vpcd HOST:PORT [--fips] [--atr HEX] [--control PATH]
// The control socket takes "remove", "remove-after N", "insert", "status" (removed, waiting or
// serving), "log", "clear-log" and "pubkey"; only its owner can connect to it.

#include "ControlServer.hpp"
#include "VpcdLink.hpp"

#include "TokenSim/Hex.hpp"

#include <poll.h>
#include <signal.h>

#include <charconv>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>

namespace {

volatile sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

struct Options {
    std::string host;
    std::string port;
    TokenSim::TokenConfig config;
    std::string controlPath;
};

std::optional<Options> parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--fips") {
            options.config.fips = true;
        } else if (argument == "--vpcd" && hasValue) {
            const std::string value = argv[++i];
            const auto colon = value.rfind(':');
            if (colon == std::string::npos || colon == 0 || colon + 1 == value.size()) {
                return std::nullopt;
            }
            options.host = value.substr(0, colon);
            options.port = value.substr(colon + 1);
        } else if (argument == "--atr" && hasValue) {
            auto atr = TokenSim::fromHex(argv[++i]);
            if (!atr || atr->size() < 2 || atr->size() > 33) {
                return std::nullopt;
            }
            options.config.atr = std::move(*atr);
        } else if (argument == "--control" && hasValue) {
            options.controlPath = argv[++i];
        } else {
            return std::nullopt;
        }
    }
    if (options.host.empty()) {
        return std::nullopt;
    }
    return options;
}

std::optional<int> parseCount(const std::string& text) {
    int count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error != std::errc{} || end != text.data() + text.size() || count < 0) {
        return std::nullopt;
    }
    return count;
}

std::string describeLog(const TokenSim::TokenCard& card) {
    std::ostringstream out;
    for (const auto& entry : card.commandLog()) {
        const std::uint8_t sw[] = {static_cast<std::uint8_t>(entry.sw >> 8),
                                   static_cast<std::uint8_t>(entry.sw & 0xFF)};
        out << TokenSim::toHex(sw) << ' ' << (entry.secured ? 'S' : 'P') << ' '
            << TokenSim::toHex(entry.apdu) << '\n';
    }
    return out.str();
}

} // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options = parseOptions(argc, argv);
    if (!options) {
        std::cerr << "usage: token-sim --vpcd HOST:PORT [--fips] [--atr HEX] [--control PATH]\n";
        return 2;
    }
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    TokenSim::TokenCard card(options->config);
    TokenSim::VpcdLink link(options->host, options->port);
    bool present = true;

    std::unique_ptr<TokenSim::ControlServer> control;
    if (!options->controlPath.empty()) {
        auto handler = [&](const std::string& command) -> std::string {
            if (command == "remove") {
                present = false;
                link.disconnect();
                card.reset();
            } else if (command.starts_with("remove-after ")) {
                const std::optional<int> count = parseCount(command.substr(13));
                if (!count) {
                    return "error: remove-after takes a count of commands\n";
                }
                link.pullOutAfter(*count);
            } else if (command == "insert") {
                present = true;
                if (!link.isConnected()) {
                    link.connect();
                }
            } else if (command == "log") {
                return describeLog(card);
            } else if (command == "clear-log") {
                card.clearLog();
            } else if (command == "status") {
                return !present ? "removed\n" : link.isServed() ? "serving\n" : "waiting\n";
            } else if (command == "pubkey") {
                return TokenSim::toHex(card.ecPublicKeyDer()) + "\n";
            } else {
                return "error: unknown command\n";
            }
            return "ok\n";
        };
        try {
            control =
                std::make_unique<TokenSim::ControlServer>(options->controlPath, std::move(handler));
        } catch (const std::runtime_error& error) {
            std::cerr << "token-sim: " << error.what() << '\n';
            return 1;
        }
    }

    while (stopRequested == 0) {
        if (present && !link.isConnected()) {
            link.connect();
        }
        pollfd watched[2];
        nfds_t count = 0;
        if (control) {
            watched[count++] = {control->fd(), POLLIN, 0};
        }
        const bool connected = link.isConnected();
        if (connected) {
            watched[count++] = {link.fd(), POLLIN, 0};
        }
        // While vpcd is not reachable, retry the connection every 100 ms.
        if (poll(watched, count, connected || !present ? -1 : 100) <= 0) {
            continue;
        }
        if (connected && watched[count - 1].revents != 0 && !link.serveOne(card)) {
            if (link.takePullOut()) {
                present = false;
            }
            link.disconnect();
            card.reset();
        }
        if (control && watched[0].revents != 0) {
            control->serveOne();
        }
    }
    return 0;
}
