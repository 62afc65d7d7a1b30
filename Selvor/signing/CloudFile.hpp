#pragma once

#include <QString>

namespace Selvor {

// One file a provider offers for signing: the provider's own id and the name it reports.
struct CloudFile {
    QString id;
    QString name;

    friend bool operator==(const CloudFile&, const CloudFile&) = default;
};

} // namespace Selvor
