#pragma once

#include "api/models/JsonCoding.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The account summary of the dashboard request. Timestamps stay unparsed text.
namespace Selvor {

struct UserProfile {
    std::string nationalId;
    std::string fullName;
    std::string kycLevel;
    std::string status;
    std::string createdAt;
    std::optional<std::string> photo;

    static constexpr auto fields() {
        return std::tuple{field("nationalId", &UserProfile::nationalId),
                          field("fullName", &UserProfile::fullName),
                          field("kycLevel", &UserProfile::kycLevel),
                          field("status", &UserProfile::status),
                          field("createdAt", &UserProfile::createdAt),
                          field("photo", &UserProfile::photo)};
    }
};

struct DeviceRecord {
    std::string deviceId;
    std::string platform;
    std::string status;
    std::optional<std::string> lastUsedAt;
    std::string createdAt;

    static constexpr auto fields() {
        return std::tuple{
            field("deviceId", &DeviceRecord::deviceId), field("platform", &DeviceRecord::platform),
            field("status", &DeviceRecord::status), field("lastUsedAt", &DeviceRecord::lastUsedAt),
            field("createdAt", &DeviceRecord::createdAt)};
    }
};

struct SessionRecord {
    std::string id;
    std::string sessionType;
    std::string state;
    std::string result;
    std::string rpName;
    std::string createdAt;

    static constexpr auto fields() {
        return std::tuple{field("id", &SessionRecord::id),
                          field("sessionType", &SessionRecord::sessionType),
                          field("state", &SessionRecord::state),
                          field("result", &SessionRecord::result),
                          field("rpName", &SessionRecord::rpName),
                          field("createdAt", &SessionRecord::createdAt)};
    }
};

struct DashboardData {
    UserProfile user;
    std::vector<DeviceRecord> devices;
    std::int64_t certificates = 0;
    std::vector<SessionRecord> sessions;
    std::int64_t totalLogins = 0;

    static constexpr auto fields() {
        return std::tuple{field("user", &DashboardData::user),
                          field("devices", &DashboardData::devices),
                          field("certificates", &DashboardData::certificates),
                          field("sessions", &DashboardData::sessions),
                          field("totalLogins", &DashboardData::totalLogins)};
    }
};

} // namespace Selvor
