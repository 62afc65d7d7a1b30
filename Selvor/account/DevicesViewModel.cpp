#include "account/DevicesViewModel.hpp"

#include "account/DeviceRow.hpp"

namespace Selvor {

DevicesViewModel::DevicesViewModel(QObject* parent) : AccountViewModel(parent) {
    refresh();
}

void DevicesViewModel::refresh() {
    m_devices.clear();
    if (const DashboardData* data = dashboard()) {
        for (const DeviceRecord& device : data->devices)
            m_devices.append(deviceRow(device));
    }
}

} // namespace Selvor
