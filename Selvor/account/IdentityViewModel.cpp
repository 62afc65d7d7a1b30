#include "account/IdentityViewModel.hpp"

#include "account/AccountText.hpp"

namespace Selvor {
namespace {

QVariantMap cell(const QString& caption, const QString& value,
                 const QString& colour = QStringLiteral("textPrimary")) {
    return {{QStringLiteral("caption"), caption},
            {QStringLiteral("value"), value},
            {QStringLiteral("colour"), colour}};
}

QString pieces(qint64 count) {
    return QString::number(count) + QStringLiteral(" ширхэг");
}

} // namespace

IdentityViewModel::IdentityViewModel(QObject* parent) : AccountViewModel(parent) {
    refresh();
}

void IdentityViewModel::refresh() {
    const DashboardData* data = dashboard();
    m_hasData = data != nullptr;
    m_cells.clear();
    if (!data) {
        m_initials.clear();
        m_fullName.clear();
        m_nationalId.clear();
        return;
    }
    const UserProfile& user = data->user;
    m_fullName = QString::fromStdString(user.fullName);
    m_initials = AccountText::initials(m_fullName);
    m_nationalId = QString::fromStdString(user.nationalId);
    const bool active = user.status == "ACTIVE";
    m_cells = {
        cell(QStringLiteral("Регистрийн дугаар"), m_nationalId),
        cell(QStringLiteral("KYC түвшин"), QString::fromStdString(user.kycLevel)),
        cell(QStringLiteral("Төлөв"),
             active ? QStringLiteral("Идэвхтэй") : QString::fromStdString(user.status),
             active ? QStringLiteral("successGreen") : QStringLiteral("dangerRed")),
        cell(QStringLiteral("Баталгаажуулалт"), QStringLiteral("DAN")),
        cell(QStringLiteral("Бүртгэсэн огноо"), QString::fromStdString(dayText(user.createdAt))),
        cell(QStringLiteral("Сертификат"), pieces(data->certificates)),
        cell(QStringLiteral("Төхөөрөмж"), pieces(static_cast<qint64>(data->devices.size()))),
    };
}

} // namespace Selvor
