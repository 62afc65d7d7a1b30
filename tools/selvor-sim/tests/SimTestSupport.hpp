#pragma once

#include <SelvorSimTesting/SimProcess.hpp>

#include <gtest/gtest.h>

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

} // namespace SimTest
