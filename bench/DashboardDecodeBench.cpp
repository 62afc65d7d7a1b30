#include "DashboardDecodeBench.hpp"

#include "api/models/DashboardModels.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace {

// A dashboard shaped like the service's: snake-case keys, Mongolian names, many sessions.
std::string dashboardText(int sessionCount) {
    Selvor::DashboardData data;
    data.user = {"УБ99112233", "Батбаярын Болд", "2", "ACTIVE", "2024-03-01T08:00:00Z", {}};
    data.devices = {{"device-1", "IOS", "ACTIVE", "2026-12-01T08:00:00Z", "2024-03-02T09:00:00Z"},
                    {"device-2", "ANDROID", "REVOKED", {}, "2024-05-02T09:00:00Z"}};
    data.certificates = 2;
    data.totalLogins = sessionCount;
    const char* parties[] = {"Хаан банк", "Төрийн үйлчилгээ", "Голомт банк", "Е-Монголиа"};
    for (int i = 0; i < sessionCount; ++i) {
        data.sessions.push_back({"session-" + std::to_string(i), i % 3 ? "AUTH" : "SIGN",
                                 "COMPLETE", i % 7 ? "OK" : "USER_REFUSED", parties[i % 4],
                                 "2026-12-06T10:15:30Z"});
    }
    return Selvor::encodeJson(data);
}

} // namespace

void runDashboardDecodeBench() {
    constexpr int sessions = 10000;
    const std::string text = dashboardText(sessions);
    std::vector<double> millis;
    for (int run = 0; run < 30; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const auto data = Selvor::decodeJson<Selvor::DashboardData>(text);
        const auto end = std::chrono::steady_clock::now();
        if (data.sessions.size() != sessions)
            throw std::runtime_error("dashboard decoded wrongly");
        millis.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(millis.begin(), millis.end());
    std::printf("dashboard_decode_10000_sessions_body: %zu bytes\n", text.size());
    std::printf("dashboard_decode_10000_sessions_median: %.2f ms\n", millis[millis.size() / 2]);
    std::printf("dashboard_decode_10000_sessions_best: %.2f ms\n", millis.front());
}
