#include "Accounts.hpp"

#include "Http.hpp"

#include <array>
#include <random>

namespace SelvorSim {
namespace {

constexpr std::array relyingParties{
    "Selvor Desktop", "Хаан банк",
    "Голомт банк",    "Төрийн банк",
    "e-Mongolia",     "Худалдаа хөгжлийн банк",
    "Мобиком",        "Нийслэлийн татварын газар",
};

std::string entryId(std::mt19937_64& random) {
    char text[40];
    std::snprintf(text, sizeof text, "ses_%016llx", static_cast<unsigned long long>(random()));
    return text;
}

HistoryEntry randomEntry(std::mt19937_64& random, long long secondsAgo) {
    const bool login = random() % 3 != 0;
    const unsigned outcome = random() % 10;
    const char* result = outcome < 8 ? "OK" : (outcome == 8 ? "USER_REFUSED" : "TIMEOUT");
    return {entryId(random),
            login ? "AUTH" : "SIGN",
            "COMPLETE",
            result,
            relyingParties[random() % relyingParties.size()],
            isoTimestamp(-secondsAgo)};
}

Account generatedAccount(Person person) {
    std::mt19937_64 random(stableHash(person.nationalId));
    Account account;
    account.person = std::move(person);
    const std::size_t deviceCount = 1 + random() % 2;
    for (std::size_t i = 0; i < deviceCount; ++i) {
        char id[32];
        std::snprintf(id, sizeof id, "dev_%012llx",
                      static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFull));
        const bool active = i == 0 || random() % 2 == 0;
        account.devices.push_back(
            {id, random() % 2 == 0 ? "IOS" : "ANDROID", active ? "ACTIVE" : "REVOKED",
             active ? std::optional(isoTimestamp(-3600 * (1 + i))) : std::nullopt,
             isoTimestamp(-86400 * (200 + 90 * static_cast<long long>(i)))});
    }
    account.certificates = 1 + static_cast<std::int64_t>(random() % 2);
    const std::size_t historyCount = 6 + random() % 10;
    long long secondsAgo = 1800;
    for (std::size_t i = 0; i < historyCount; ++i) {
        secondsAgo += 3600 + static_cast<long long>(random() % 200000);
        account.history.push_back(randomEntry(random, secondsAgo));
    }
    account.totalLogins = 40 + static_cast<std::int64_t>(random() % 400);
    return account;
}

nlohmann::json toJson(const Account& account) {
    nlohmann::json devices = nlohmann::json::array();
    for (const Device& device : account.devices) {
        nlohmann::json item = {{"device_id", device.deviceId},
                               {"platform", device.platform},
                               {"status", device.status},
                               {"created_at", device.createdAt}};
        if (device.lastUsedAt)
            item["last_used_at"] = *device.lastUsedAt;
        devices.push_back(std::move(item));
    }
    nlohmann::json sessions = nlohmann::json::array();
    for (const HistoryEntry& entry : account.history) {
        sessions.push_back({{"id", entry.id},
                            {"session_type", entry.sessionType},
                            {"state", entry.state},
                            {"result", entry.result},
                            {"rp_name", entry.rpName},
                            {"created_at", entry.createdAt}});
    }
    const Person& person = account.person;
    return {{"user",
             {{"national_id", person.nationalId},
              {"full_name", person.fullName},
              {"kyc_level", person.kycLevel},
              {"status", person.status},
              {"created_at", person.createdAt},
              {"photo", nullptr}}},
            {"devices", std::move(devices)},
            {"certificates", account.certificates},
            {"sessions", std::move(sessions)},
            {"total_logins", account.totalLogins}};
}

} // namespace

Accounts::Accounts() {
    for (Person& person : seededPeople()) {
        m_seededIds.push_back(person.nationalId);
        const std::string id = person.nationalId;
        m_accounts.emplace(id, generatedAccount(std::move(person)));
    }
}

Account* Accounts::accountLocked(std::string_view nationalId) {
    if (const auto it = m_accounts.find(nationalId); it != m_accounts.end())
        return &it->second;
    if (!isRegisterNumber(nationalId))
        return nullptr;
    auto [it, inserted] =
        m_accounts.emplace(std::string(nationalId), generatedAccount(generatedPerson(nationalId)));
    return &it->second;
}

std::optional<Person> Accounts::person(std::string_view nationalId) {
    std::lock_guard lock(m_mutex);
    const Account* account = accountLocked(nationalId);
    return account ? std::optional(account->person) : std::nullopt;
}

std::optional<Person> Accounts::byUserId(std::string_view userId) const {
    std::lock_guard lock(m_mutex);
    for (const auto& [id, account] : m_accounts) {
        if (account.person.userId == userId)
            return account.person;
    }
    return std::nullopt;
}

std::vector<Person> Accounts::seeded() const {
    std::lock_guard lock(m_mutex);
    std::vector<Person> people;
    for (const std::string& id : m_seededIds)
        people.push_back(m_accounts.find(id)->second.person);
    return people;
}

std::shared_ptr<const std::string> Accounts::dashboard(std::string_view nationalId) {
    std::lock_guard lock(m_mutex);
    Account* account = accountLocked(nationalId);
    if (!account)
        return nullptr;
    if (!account->dashboardText)
        account->dashboardText = std::make_shared<const std::string>(dumpJson(toJson(*account)));
    return account->dashboardText;
}

void Accounts::recordSession(std::string_view nationalId, const std::string& sessionType,
                             const std::string& result, const std::string& rpName) {
    std::lock_guard lock(m_mutex);
    Account* account = accountLocked(nationalId);
    if (!account)
        return;
    std::mt19937_64 random(std::random_device{}());
    account->history.insert(account->history.begin(), {entryId(random), sessionType, "COMPLETE",
                                                       result, rpName, isoTimestamp()});
    if (sessionType == "AUTH" && result == "OK")
        ++account->totalLogins;
    account->dashboardText.reset();
}

void Accounts::giveLargeHistory(std::string_view nationalId, std::size_t sessions) {
    std::lock_guard lock(m_mutex);
    Account* account = accountLocked(nationalId);
    if (!account)
        return;
    std::mt19937_64 random(stableHash(nationalId) ^ sessions);
    account->history.clear();
    account->history.reserve(sessions);
    for (std::size_t i = 0; i < sessions; ++i)
        account->history.push_back(randomEntry(random, 600 + 900 * static_cast<long long>(i)));
    account->totalLogins = static_cast<std::int64_t>(sessions);
    account->dashboardText = std::make_shared<const std::string>(dumpJson(toJson(*account)));
}

} // namespace SelvorSim
