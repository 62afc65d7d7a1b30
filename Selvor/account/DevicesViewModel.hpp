#pragma once

#include "account/AccountViewModel.hpp"

#include <QVariantList>

namespace Selvor {

// The trusted devices screen: one row per device, in the order received.
class DevicesViewModel : public AccountViewModel {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QVariantList devices READ devices NOTIFY changed)

public:
    explicit DevicesViewModel(QObject* parent = nullptr);

    [[nodiscard]] QVariantList devices() const { return m_devices; }

protected:
    void refresh() override;

private:
    QVariantList m_devices;
};

} // namespace Selvor
