#include "account/SecurityViewModel.hpp"

namespace Selvor {

SecurityViewModel::SecurityViewModel(QObject* parent) : AccountViewModel(parent) {
    refresh();
}

void SecurityViewModel::refresh() {
    const DashboardData* data = dashboard();
    m_certificateText =
        QStringLiteral("Идэвхтэй сертификат: ") + QString::number(data ? data->certificates : 0);
    const QString kycLevel = appState() ? appState()->kycLevel() : QString();
    m_kycText = kycLevel.isEmpty() ? QStringLiteral("Тодорхойгүй") : kycLevel;
}

} // namespace Selvor
