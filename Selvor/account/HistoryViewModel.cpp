#include "account/HistoryViewModel.hpp"

namespace Selvor {

HistoryViewModel::HistoryViewModel(QObject* parent) : AccountViewModel(parent) {
    refresh();
}

void HistoryViewModel::refresh() {
    const DashboardData* data = dashboard();
    m_sessions.setSessions(data ? &data->sessions : nullptr);
}

} // namespace Selvor
