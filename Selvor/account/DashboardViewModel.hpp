#pragma once

#include "account/AccountViewModel.hpp"
#include "account/SessionListModel.hpp"

#include <QVariantList>

namespace Selvor {

// The home screen: greeting, four stat cards, trusted devices and the latest activities.
class DashboardViewModel : public AccountViewModel {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString initials READ initials NOTIFY changed)
    Q_PROPERTY(QString greeting READ greeting NOTIFY changed)
    Q_PROPERTY(QVariantList statCards READ statCards NOTIFY changed)
    Q_PROPERTY(QVariantList devices READ devices NOTIFY changed)
    Q_PROPERTY(Selvor::SessionListModel* activities READ activities CONSTANT)
    Q_PROPERTY(bool hasActivities READ hasActivities NOTIFY changed)

public:
    // The home screen lists only this many of the most recent activities.
    static constexpr int activityLimit = 5;

    explicit DashboardViewModel(QObject* parent = nullptr);

    [[nodiscard]] QString initials() const { return m_initials; }
    [[nodiscard]] QString greeting() const { return m_greeting; }
    [[nodiscard]] QVariantList statCards() const { return m_statCards; }
    [[nodiscard]] QVariantList devices() const { return m_devices; }
    [[nodiscard]] SessionListModel* activities() { return &m_activities; }
    [[nodiscard]] bool hasActivities() const { return m_activities.rowCount() > 0; }

    // Fetches the dashboard again; the screen calls it each time it is shown.
    Q_INVOKABLE void reload();

protected:
    void refresh() override;

private:
    QString m_initials;
    QString m_greeting;
    QVariantList m_statCards;
    QVariantList m_devices;
    SessionListModel m_activities{activityLimit};
};

} // namespace Selvor
