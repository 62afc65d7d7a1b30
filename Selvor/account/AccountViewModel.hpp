#pragma once

#include <QObject>
#include <QPointer>
#include <QtQml/qqmlregistration.h>

#include "api/models/DashboardModels.hpp"
#include "session/AppState.hpp"

namespace Selvor {

// Base of the home and account view-models: follows one AppState and recomputes the screen's
// values whenever the signed-in person or the dashboard data changes.
class AccountViewModel : public QObject {
    Q_OBJECT
    QML_ANONYMOUS
    Q_PROPERTY(Selvor::AppState* appState READ appState WRITE setAppState NOTIFY appStateChanged)

public:
    explicit AccountViewModel(QObject* parent = nullptr);

    [[nodiscard]] AppState* appState() const { return m_appState; }
    void setAppState(AppState* appState);

signals:
    void appStateChanged();
    // Any of the subclass's display values changed.
    void changed();

protected:
    // The dashboard document, or null while none is loaded (or no AppState is set).
    [[nodiscard]] const DashboardData* dashboard() const;
    // Recomputes the subclass's values; `changed()` follows.
    virtual void refresh() = 0;

private:
    void update();

    QPointer<AppState> m_appState;
};

} // namespace Selvor
