#include "account/StatCard.hpp"

#include "api/models/DashboardModels.hpp"
#include "api/models/DisplayRules.hpp"

namespace Selvor {

QVariantMap StatCard::toVariant() const {
    return {{QStringLiteral("title"), title},
            {QStringLiteral("colour"), colour},
            {QStringLiteral("icon"), icon},
            {QStringLiteral("value"), value},
            {QStringLiteral("subtitle"), subtitle.value_or(QString())},
            {QStringLiteral("hasSubtitle"), subtitle.has_value()}};
}

std::vector<StatCard> homeStatCards(const DashboardData* data) {
    const qint64 certificates = data ? data->certificates : 0;
    const qint64 totalLogins = data ? data->totalLogins : 0;
    const SessionRecord* latest =
        data && !data->sessions.empty() ? &data->sessions.front() : nullptr;

    return {
        {QStringLiteral("Аюулгүй байдал"), QStringLiteral("brandBlue"),
         QStringLiteral("shield.checkered"), QStringLiteral("98%"), std::nullopt},
        {QStringLiteral("Сертификат"), QStringLiteral("successGreen"),
         QStringLiteral("checkmark.seal"), QString::number(certificates),
         QString::number(certificates) + QStringLiteral(" ш баталгаажсан")},
        {QStringLiteral("Нийт нэвтрэлт"), QStringLiteral("textSecondary"),
         QStringLiteral("arrow.right.circle"), QString::number(totalLogins),
         QStringLiteral("Бүх хугацаанд")},
        {QStringLiteral("Сүүлийн нэвтрэлт"), QStringLiteral("successGreen"),
         QStringLiteral("clock"),
         latest ? QString::fromStdString(momentText(latest->createdAt)) : QStringLiteral("—"),
         latest ? std::optional(QString::fromStdString(latest->rpName)) : std::nullopt},
    };
}

} // namespace Selvor
