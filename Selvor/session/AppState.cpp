#include "AppState.hpp"

#include "api/APIClient.hpp"
#include "api/ErrorText.hpp"
#include "api/models/DashboardModels.hpp"

#include <QPointer>

#include <array>

namespace Selvor {
namespace {

constexpr std::array<std::pair<AppState::SidebarTab, const char16_t*>, 9> rawValues{{
    {AppState::SidebarTab::Home, u"home"},
    {AppState::SidebarTab::Id, u"id"},
    {AppState::SidebarTab::Logs, u"logs"},
    {AppState::SidebarTab::Devices, u"devices"},
    {AppState::SidebarTab::Security, u"security"},
    {AppState::SidebarTab::Children, u"children"},
    {AppState::SidebarTab::Token, u"token"},
    {AppState::SidebarTab::Sign, u"sign"},
    {AppState::SidebarTab::Org, u"org"},
}};

} // namespace

AppState::AppState(QObject* parent) : QObject(parent) {}

AppState::AppState(APIClient& client, QObject* parent) : QObject(parent), m_client(&client) {}

AppState::~AppState() = default;

std::optional<AppState::SidebarTab> AppState::sidebarTabFromRawValue(QStringView rawValue) {
    for (const auto& [tab, raw] : rawValues) {
        if (rawValue == QStringView(raw))
            return tab;
    }
    return std::nullopt;
}

QString AppState::rawValue(SidebarTab tab) {
    for (const auto& [candidate, raw] : rawValues) {
        if (candidate == tab)
            return QString::fromUtf16(raw);
    }
    return {};
}

void AppState::setScreen(Screen screen) {
    if (m_screen == screen)
        return;
    m_screen = screen;
    emit screenChanged();
}

void AppState::setSelectedTab(SidebarTab tab) {
    if (m_selectedTab == tab)
        return;
    m_selectedTab = tab;
    emit selectedTabChanged();
}

void AppState::setNationalID(const QString& nationalID) {
    if (m_nationalID == nationalID)
        return;
    m_nationalID = nationalID;
    emit nationalIDChanged();
}

void AppState::setFullName(const QString& fullName) {
    if (m_fullName == fullName)
        return;
    m_fullName = fullName;
    emit fullNameChanged();
}

void AppState::setKycLevel(const QString& kycLevel) {
    if (m_kycLevel == kycLevel)
        return;
    m_kycLevel = kycLevel;
    emit kycLevelChanged();
}

void AppState::setSessionID(const QString& sessionID) {
    if (m_sessionID == sessionID)
        return;
    m_sessionID = sessionID;
    emit sessionIDChanged();
}

void AppState::setDashboardData(std::shared_ptr<const DashboardData> data) {
    if (m_dashboardData == data)
        return;
    m_dashboardData = std::move(data);
    emit dashboardDataChanged();
}

void AppState::setDashboardError(const QString& error) {
    if (m_dashboardError == error)
        return;
    m_dashboardError = error;
    emit dashboardErrorChanged();
}

void AppState::setDashboardLoads(int loads) {
    const bool wasLoading = isDashboardLoading();
    m_dashboardLoads = loads;
    if (isDashboardLoading() != wasLoading)
        emit dashboardLoadingChanged();
}

void AppState::completeSignIn(const QString& nationalID, const QString& fullName) {
    m_webSignInStarted.invalidate();
    if (!m_nationalID.isEmpty() && m_nationalID != nationalID) {
        setDashboardData(nullptr);
        setDashboardError({});
        setKycLevel({});
        setSessionID({});
    }
    setNationalID(nationalID);
    setFullName(fullName);
    setScreen(Screen::Main);
    loadDashboard();
}

void AppState::loadDashboard() {
    if (m_nationalID.isEmpty())
        return;
    fetchDashboard(m_nationalID);
}

// Failures leave the data as it was and only say why. The answer belongs to the person it was
// asked for: after sign-out or another sign-in it is dropped.
QCoro::Task<> AppState::fetchDashboard(const QString& signedInID) {
    const QString nationalID = signedInID;
    const QPointer<AppState> self(this);
    APIClient& client = m_client ? *m_client : APIClient::shared();
    setDashboardLoads(m_dashboardLoads + 1);
    std::shared_ptr<const DashboardData> data;
    QString failure;
    try {
        auto fetching = client.request<DashboardData>(Endpoint::dashboard(nationalID));
        data = std::make_shared<const DashboardData>(co_await fetching);
    } catch (const std::exception&) {
        failure = errorText(std::current_exception());
    }
    if (!self)
        co_return;
    setDashboardLoads(m_dashboardLoads - 1);
    if (m_nationalID != nationalID)
        co_return;
    setDashboardError(failure);
    if (!data)
        co_return;
    setDashboardData(data);
    setFullName(QString::fromStdString(data->user.fullName));
    setKycLevel(QString::fromStdString(data->user.kycLevel));
}

void AppState::beginWebSignIn() {
    m_webSignInStarted.start();
}

bool AppState::isWebSignInPending() const {
    return m_webSignInStarted.isValid() &&
           !m_webSignInStarted.hasExpired(m_webSignInValidity.count());
}

void AppState::signOut() {
    setNationalID({});
    setFullName({});
    setKycLevel({});
    setSessionID({});
    setDashboardData(nullptr);
    setDashboardError({});
    setScreen(Screen::Login);
}

} // namespace Selvor
