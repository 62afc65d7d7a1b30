#include "SignedInAccount.hpp"

#include <QSignalSpy>

#include <algorithm>
#include <stdexcept>

namespace Selvor::Testing {

SignedInAccount::SignedInAccount(const SelvorSimTesting::SimOptions& options)
    : m_sim(options), m_client(QString::fromStdString(m_sim.baseUrl())), m_appState(m_client) {
    QSignalSpy loaded(&m_appState, &AppState::dashboardDataChanged);
    m_appState.completeSignIn(QString::fromUtf8(SelvorSimTesting::SimProcess::seededNationalId),
                              QString());
    if (!loaded.wait(30'000))
        throw std::runtime_error("the simulator's dashboard did not arrive");
    (void)takeDashboardRequests();
}

int SignedInAccount::takeDashboardRequests() {
    const auto log = m_sim.requestLog();
    m_sim.clearRequestLog();
    return static_cast<int>(std::count_if(log.begin(), log.end(), [](const auto& request) {
        return request.method == "GET" && request.path == "/web/dashboard";
    }));
}

} // namespace Selvor::Testing
