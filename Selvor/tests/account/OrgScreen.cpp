#include "OrgScreen.hpp"

#include "api/APIClient.hpp"

#include <gtest/gtest.h>

namespace Selvor::Testing {

OrgScreen::OrgScreen(const QString& nationalID) : m_appState((processSim(), APIClient::shared())) {
    m_appState.completeSignIn(nationalID, QString());
    processSim().clearRequestLog();
    m_ui = std::make_unique<ViewHarness>(
        QStringLiteral("account/OrganizationsView.qml"),
        QVariantMap{{QStringLiteral("appState"), QVariant::fromValue(&m_appState)}},
        QSize(660, 620));
    m_model =
        m_ui->root()->findChild<OrganizationsViewModel*>(QStringLiteral("organizationsViewModel"));
    EXPECT_NE(m_model, nullptr);
    if (m_model)
        m_model->setPollTiming({.pollInterval = std::chrono::milliseconds(1),
                                .deadline = std::chrono::milliseconds(300)});
}

std::vector<SelvorSimTesting::LoggedRequest> OrgScreen::takeRequests(const std::string& prefix) {
    std::vector<SelvorSimTesting::LoggedRequest> found;
    for (auto& request : processSim().requestLog()) {
        if (request.path.starts_with(prefix))
            found.push_back(std::move(request));
    }
    processSim().clearRequestLog();
    return found;
}

SelvorSimTesting::PendingRequest OrgScreen::directorRequest() {
    std::vector<SelvorSimTesting::PendingRequest> pending;
    EXPECT_TRUE(m_ui->waitFor([&] {
        pending = processSim().pending();
        std::erase_if(pending, [](const auto& request) { return request.purpose != "director"; });
        return !pending.empty();
    }));
    return pending.empty() ? SelvorSimTesting::PendingRequest{} : pending.front();
}

} // namespace Selvor::Testing
