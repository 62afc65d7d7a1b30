#pragma once

#include <SelvorSimTesting/SimProcess.hpp>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

namespace SimTest {

using nlohmann::json;
using SelvorSimTesting::SimProcess;

inline json postJson(SimProcess& sim, const std::string& path, const json& body,
                     int expectedStatus = 200) {
    const auto reply = sim.send("POST", path, body.dump(), "application/json");
    EXPECT_EQ(reply.status, expectedStatus) << path << ": " << reply.body;
    return reply.json();
}

inline json getJson(SimProcess& sim, const std::string& path, int expectedStatus = 200) {
    const auto reply = sim.send("GET", path);
    EXPECT_EQ(reply.status, expectedStatus) << path << ": " << reply.body;
    return reply.json();
}

inline std::string startSignIn(SimProcess& sim, const std::string& nationalId,
                               const std::string& displayText = "Selvor Desktop нэвтрэлт") {
    return postJson(sim, "/web/auth/initiate",
                    {{"national_id", nationalId}, {"display_text", displayText}})
        .at("session_id");
}

// Sends raw bytes, as a client httplib would not be (no body announced, a body without a type),
// and returns the first answer.
inline std::string rawExchange(int port, const std::string& request) {
    struct Socket {
        int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        ~Socket() {
            if (fd >= 0)
                close(fd);
        }
    } connection;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    timeval limit{2, 0}; // the server's own read timeout is 5 s
    setsockopt(connection.fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    std::string answer;
    if (connect(connection.fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        send(connection.fd, request.data(), request.size(), 0) ==
            static_cast<ssize_t>(request.size())) {
        char buffer[4096];
        const ssize_t received = recv(connection.fd, buffer, sizeof buffer, 0);
        if (received > 0)
            answer.assign(buffer, static_cast<std::size_t>(received));
    }
    return answer;
}

} // namespace SimTest
