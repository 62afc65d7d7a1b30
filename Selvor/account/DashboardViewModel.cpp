#include "account/DashboardViewModel.hpp"

#include "account/AccountText.hpp"
#include "account/DeviceRow.hpp"
#include "account/StatCard.hpp"

namespace Selvor {

DashboardViewModel::DashboardViewModel(QObject* parent) : AccountViewModel(parent) {
    refresh();
}

void DashboardViewModel::reload() {
    if (appState())
        appState()->loadDashboard();
}

void DashboardViewModel::refresh() {
    const QString fullName = appState() ? appState()->fullName() : QString();
    m_initials = AccountText::initials(fullName);
    m_greeting = AccountText::greeting(fullName);

    const DashboardData* data = dashboard();
    m_statCards.clear();
    for (const StatCard& card : homeStatCards(data))
        m_statCards.append(card.toVariant());
    m_devices.clear();
    if (data) {
        for (const DeviceRecord& device : data->devices)
            m_devices.append(deviceRow(device));
    }
    m_activities.setSessions(data ? &data->sessions : nullptr);
}

} // namespace Selvor
