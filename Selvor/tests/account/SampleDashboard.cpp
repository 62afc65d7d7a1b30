#include "SampleDashboard.hpp"

#include <array>
#include <cstdio>

namespace Selvor::Testing {
namespace {

// A timestamp `step` steps of 37 minutes before the end of November 2026, cycling through it.
std::string timestamp(int step) {
    constexpr int minutesPerDay = 24 * 60;
    const int back = step * 37 % (30 * minutesPerDay);
    const int minute = 30 * minutesPerDay - 1 - back;
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "2026-11-%02dT%02d:%02d:00Z",
                  1 + minute / minutesPerDay, minute / 60 % 24, minute % 60);
    return text.data();
}

} // namespace

std::shared_ptr<DashboardData> sampleDashboard(int sessionCount) {
    auto data = std::make_shared<DashboardData>();
    data->user = {"УБ99012345", "Батболд Дорж",         "LEVEL_2",
                  "ACTIVE",     "2023-03-14T09:26:53Z", std::nullopt};
    data->devices = {
        {"A1B2C3D4E5F6G7H8I9J0", "IOS", "ACTIVE", "2026-12-01T18:42:10Z", "2024-01-05T10:00:00Z"},
        {"f00dfeedcafe1234beef", "ANDROID", "REVOKED", std::nullopt, "2022-07-30T08:15:00Z"},
    };
    data->certificates = 2;
    data->totalLogins = 347;
    static constexpr std::array parties{"Хаан банк", "e-Mongolia", "Голомт банк", "Улсын бүртгэл",
                                        "Мобиком"};
    data->sessions.reserve(static_cast<std::size_t>(sessionCount));
    for (int i = 0; i < sessionCount; ++i) {
        data->sessions.push_back({
            "session-" + std::to_string(i),
            i % 3 == 1 ? "SIGN" : "AUTH",
            "COMPLETE",
            i % 7 == 6 ? "USER_REFUSED" : "OK",
            parties[static_cast<std::size_t>(i) % parties.size()],
            timestamp(i),
        });
    }
    return data;
}

} // namespace Selvor::Testing
