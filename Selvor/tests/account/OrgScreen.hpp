#pragma once

#include "ProcessSim.hpp"
#include "ViewHarness.hpp"
#include "account/OrganizationsViewModel.hpp"
#include "session/AppState.hpp"

#include <memory>

namespace Selvor::Testing {

// The organisations screen of one of the simulator's people, offscreen in the detail column's
// size; the director's wait polls every millisecond.
class OrgScreen {
public:
    explicit OrgScreen(const QString& nationalID);

    [[nodiscard]] ViewHarness& ui() { return *m_ui; }
    [[nodiscard]] AppState& appState() { return m_appState; }
    [[nodiscard]] OrganizationsViewModel& model() { return *m_model; }
    // Requests the simulator logged at paths starting with `prefix`, since the last call.
    std::vector<SelvorSimTesting::LoggedRequest> takeRequests(const std::string& prefix);
    // The director's request on the phone, waited for with the window running.
    SelvorSimTesting::PendingRequest directorRequest();

private:
    AppState m_appState;
    std::unique_ptr<ViewHarness> m_ui;
    OrganizationsViewModel* m_model = nullptr;
};

} // namespace Selvor::Testing
