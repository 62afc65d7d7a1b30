#pragma once

#include "account/AccountViewModel.hpp"
#include "account/SessionListModel.hpp"

namespace Selvor {

// The history screen: every login and signature, in the order received.
class HistoryViewModel : public AccountViewModel {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(Selvor::SessionListModel* sessions READ sessions CONSTANT)
    Q_PROPERTY(bool hasSessions READ hasSessions NOTIFY changed)

public:
    explicit HistoryViewModel(QObject* parent = nullptr);

    [[nodiscard]] SessionListModel* sessions() { return &m_sessions; }
    [[nodiscard]] bool hasSessions() const { return m_sessions.rowCount() > 0; }

protected:
    void refresh() override;

private:
    SessionListModel m_sessions;
};

} // namespace Selvor
