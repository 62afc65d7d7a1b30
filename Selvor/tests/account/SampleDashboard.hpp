#pragma once

#include "api/models/DashboardModels.hpp"

#include <memory>

namespace Selvor::Testing {

// An account summary like the service sends: a Mongolian name, an iOS and an Android phone
// (one used, one only registered), and `sessionCount` alternating logins and signatures, the
// newest first, every seventh one failed.
[[nodiscard]] std::shared_ptr<DashboardData> sampleDashboard(int sessionCount = 12);

} // namespace Selvor::Testing
