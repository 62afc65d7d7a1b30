#pragma once

#include <QString>
#include <QVariantMap>

#include <optional>
#include <vector>

namespace Selvor {

struct DashboardData;

// The value behind one card of the home screen. `colour` names a Theme colour.
struct StatCard {
    QString title;
    QString colour;
    QString icon;
    QString value;
    std::optional<QString> subtitle;

    [[nodiscard]] QVariantMap toVariant() const;
};

// The four cards of the home screen; without data every count reads zero and no session is known.
[[nodiscard]] std::vector<StatCard> homeStatCards(const DashboardData* data);

} // namespace Selvor
