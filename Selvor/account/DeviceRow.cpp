#include "account/DeviceRow.hpp"

#include "account/AccountText.hpp"
#include "api/models/DashboardModels.hpp"

namespace Selvor {

QVariantMap deviceRow(const DeviceRecord& device) {
    const bool ios = device.platform == "IOS";
    const QString platform = QString::fromStdString(platformLabel(device.platform));
    const ToneLabel status = deviceStatusLabel(device.status);
    const QString registered =
        QStringLiteral("Бүртгэсэн: ") + QString::fromStdString(dayText(device.createdAt));
    const QString lastSeen =
        device.lastUsedAt
            ? QStringLiteral("Сүүлд: ") + QString::fromStdString(momentText(*device.lastUsedAt))
            : registered;
    return {{QStringLiteral("icon"), ios ? QStringLiteral("iphone") : QStringLiteral("phone")},
            {QStringLiteral("iconColour"),
             ios ? QStringLiteral("brandBlue") : QStringLiteral("textSecondary")},
            {QStringLiteral("platform"), platform},
            {QStringLiteral("summary"),
             platform + QStringLiteral(" · ") + AccountText::truncatedId(device.deviceId, 8)},
            {QStringLiteral("registered"), registered},
            {QStringLiteral("idLine"),
             QStringLiteral("ID: ") + AccountText::truncatedId(device.deviceId, 12)},
            {QStringLiteral("lastSeen"), lastSeen},
            {QStringLiteral("status"), QString::fromStdString(status.text)},
            {QStringLiteral("statusColour"), AccountText::toneColour(status.tone)}};
}

} // namespace Selvor
