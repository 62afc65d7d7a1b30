#pragma once

#include "Names.hpp"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace SelvorSim {

struct Device {
    std::string deviceId;
    std::string platform;
    std::string status;
    std::optional<std::string> lastUsedAt;
    std::string createdAt;
};

struct HistoryEntry {
    std::string id;
    std::string sessionType;
    std::string state;
    std::string result;
    std::string rpName;
    std::string createdAt;
};

struct Account {
    Person person;
    std::vector<Device> devices;
    std::int64_t certificates = 0;
    std::vector<HistoryEntry> history; // newest first
    std::int64_t totalLogins = 0;
    // The serialised dashboard, kept until the account changes: a 100,000-session history
    // takes seconds to build.
    std::shared_ptr<const std::string> dashboardText;
};

// The citizens the service knows: seeded ones, and a generated one for every other well-formed
// register number the moment it is first used.
class Accounts {
public:
    Accounts();

    // Nothing for a malformed register number.
    std::optional<Person> person(std::string_view nationalId);
    std::optional<Person> byUserId(std::string_view userId) const;
    [[nodiscard]] std::vector<Person> seeded() const;

    // The dashboard document as JSON text; nothing for a malformed register number.
    std::shared_ptr<const std::string> dashboard(std::string_view nationalId);

    void recordSession(std::string_view nationalId, const std::string& sessionType,
                       const std::string& result, const std::string& rpName);
    void giveLargeHistory(std::string_view nationalId, std::size_t sessions);

private:
    Account* accountLocked(std::string_view nationalId);

    mutable std::mutex m_mutex;
    std::map<std::string, Account, std::less<>> m_accounts;
    std::vector<std::string> m_seededIds;
};

} // namespace SelvorSim
