#pragma once

#include "api/APIClient.hpp"
#include "session/AppState.hpp"

#include <SelvorSimTesting/SimProcess.hpp>

namespace Selvor::Testing {

// The simulator's seeded person signed in over loopback HTTP, with the dashboard loaded the way
// the application loads it.
class SignedInAccount {
public:
    explicit SignedInAccount(const SelvorSimTesting::SimOptions& options = {});

    [[nodiscard]] SelvorSimTesting::SimProcess& sim() { return m_sim; }
    [[nodiscard]] AppState& appState() { return m_appState; }
    // How many dashboard requests the simulator has received since the last call.
    [[nodiscard]] int takeDashboardRequests();

private:
    SelvorSimTesting::SimProcess m_sim;
    APIClient m_client;
    AppState m_appState;
};

} // namespace Selvor::Testing
