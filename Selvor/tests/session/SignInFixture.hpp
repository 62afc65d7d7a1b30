#pragma once

#include "api/APIClient.hpp"
#include "api/PollTiming.hpp"
#include "session/AppState.hpp"
#include "session/LoginViewModel.hpp"

#include <SelvorSimTesting/SimProcess.hpp>

#include <gtest/gtest.h>

#include <QString>

#include <functional>
#include <memory>
#include <string>

namespace Selvor::Testing {

// Millisecond timing so the flows' seconds and minutes pass in a test.
PollTiming fastTiming();

// Processes events until the condition holds or timeoutMs passes; returns the condition.
bool eventually(const std::function<bool()>& condition, int timeoutMs = 5000);

QString qs(const std::string& text);

// One simulator per test, a client and AppState pointed at it, and a sign-in view-model.
class SignInFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Requests whose path starts with `prefix` in the simulator's log.
    int requestCount(const std::string& prefix);
    // The simulator answers `path` with this JSON body (status 200) until faults are cleared.
    void answerWith(const std::string& path, const std::string& json, int times = -1);

    std::unique_ptr<SelvorSimTesting::SimProcess> sim;
    std::unique_ptr<APIClient> client;
    std::unique_ptr<AppState> appState;
    std::unique_ptr<LoginViewModel> login;
};

} // namespace Selvor::Testing
