#include "Organizations.hpp"

#include "Http.hpp"

#include <algorithm>
#include <cstdio>

namespace SelvorSim {
namespace {

OrgMember memberOf(const Person& person, const std::string& role, const std::string& status,
                   const std::string& createdAt) {
    return {"mem_" + randomHex(12), person.userId,     role,     status,
            person.fullName,        person.nationalId, createdAt};
}

// Every registry number gets a director with a register number of its own.
std::string generatedDirectorId(const std::string& regNumber) {
    const std::uint64_t hash = stableHash(regNumber);
    char digits[16];
    std::snprintf(digits, sizeof digits, "%02u%02u%02u%02u", static_cast<unsigned>(60 + hash % 35),
                  static_cast<unsigned>(1 + (hash >> 8) % 12),
                  static_cast<unsigned>(1 + (hash >> 16) % 28),
                  static_cast<unsigned>((hash >> 24) % 100));
    return std::string("УБ") + digits;
}

// A signer of the seeded organisation whose membership the service has suspended: a status
// the client knows no word for.
constexpr const char* suspendedSignerId = "МЭ79120351";

template <typename Orgs> auto findOrg(Orgs& orgs, const std::string& orgId) {
    const auto it = std::find_if(orgs.begin(), orgs.end(),
                                 [&](const Organization& org) { return org.id == orgId; });
    return it == orgs.end() ? nullptr : &*it;
}

} // namespace

nlohmann::json organizationJson(const Organization& org) {
    return {{"id", org.id},
            {"reg_number", org.regNumber},
            {"name", org.name},
            {"status", org.status},
            {"created_at", org.createdAt}};
}

nlohmann::json memberJson(const std::string& orgId, const OrgMember& member) {
    return {{"id", member.id},
            {"org_id", orgId},
            {"user_id", member.userId},
            {"role", member.role},
            {"status", member.status},
            {"user_name", member.userName},
            {"national_id", member.nationalId},
            {"created_at", member.createdAt}};
}

Organizations::Organizations() {
    const std::vector<Person> people = seededPeople();
    m_registry = {
        {"2012345", "Номин Трейд ХХК", people[0].nationalId, "99112233"},
        {"5098761", "Хангай Инженеринг ХХК", people[1].nationalId, "88104455"},
        {"6543210", "Алтан говь Логистик ХХК", people[3].nationalId, ""},
        {"3021987", "Тэнгэр Финанс ХХК", generatedDirectorId("3021987"), "95001122"},
    };
    m_orgs.push_back({"org_5b0e2f71",
                      "2012345",
                      "Номин Трейд ХХК",
                      "ACTIVE",
                      "2024-02-11T03:15:00Z",
                      {memberOf(people[0], "ADMIN", "ACTIVE", "2024-02-11T03:15:00Z"),
                       memberOf(people[1], "SIGNER", "ACTIVE", "2024-02-12T09:40:00Z"),
                       memberOf(people[2], "SIGNER", "PENDING", "2025-10-02T07:05:00Z"),
                       memberOf(generatedPerson(suspendedSignerId), "SIGNER", "SUSPENDED",
                                "2024-06-03T02:45:00Z")}});
    m_orgs.push_back({"org_91c4d803",
                      "5098761",
                      "Хангай Инженеринг ХХК",
                      "PENDING",
                      "2025-11-20T10:30:00Z",
                      {memberOf(people[1], "ADMIN", "ACTIVE", "2025-11-20T10:30:00Z"),
                       memberOf(people[0], "SIGNER", "ACTIVE", "2025-11-21T04:10:00Z")}});
}

std::optional<Company> Organizations::lookup(const std::string& regNumber) const {
    std::lock_guard lock(m_mutex);
    for (const Company& company : m_registry) {
        if (company.regNumber == regNumber)
            return company;
    }
    // The registry hands out no number that begins with 0: such a number is an unknown company.
    if (!isCompanyNumber(regNumber) || regNumber.front() == '0')
        return std::nullopt;
    const std::uint64_t hash = stableHash(regNumber);
    return Company{regNumber, generatedCompanyName(regNumber), generatedDirectorId(regNumber),
                   hash % 4 == 0 ? "" : "9" + std::to_string(1000000 + hash % 9000000)};
}

std::vector<Organization> Organizations::listFor(const std::string& nationalId) const {
    std::lock_guard lock(m_mutex);
    std::vector<Organization> list;
    for (const Organization& org : m_orgs) {
        if (std::any_of(org.members.begin(), org.members.end(),
                        [&](const OrgMember& m) { return m.nationalId == nationalId; }))
            list.push_back(org);
    }
    return list;
}

std::optional<Organization> Organizations::find(const std::string& orgId) const {
    std::lock_guard lock(m_mutex);
    const Organization* org = findOrg(m_orgs, orgId);
    return org ? std::optional(*org) : std::nullopt;
}

std::optional<Organization> Organizations::visibleTo(const std::string& orgId,
                                                     const std::string& nationalId,
                                                     Failure& failure) const {
    auto org = find(orgId);
    if (!org) {
        failure = {404, "Байгууллага олдсонгүй"};
        return std::nullopt;
    }
    if (std::none_of(org->members.begin(), org->members.end(),
                     [&](const OrgMember& m) { return m.nationalId == nationalId; })) {
        failure = {403, "Энэ байгууллагад хандах эрхгүй"};
        return std::nullopt;
    }
    return org;
}

std::optional<Organization>
Organizations::startRegistration(const Company& company, const Person& caller, Failure& failure) {
    std::lock_guard lock(m_mutex);
    if (std::any_of(m_orgs.begin(), m_orgs.end(),
                    [&](const Organization& org) { return org.regNumber == company.regNumber; })) {
        failure = {409, "Энэ байгууллага бүртгэлтэй байна"};
        return std::nullopt;
    }
    if (membershipsLocked(caller.nationalId) >= membershipLimit) {
        failure = {400, "Нэг хүн дээд тал нь 3 байгууллагад бүртгэлтэй байж болно"};
        return std::nullopt;
    }
    const std::string now = isoTimestamp();
    m_orgs.push_back({"org_" + randomHex(8),
                      company.regNumber,
                      company.name,
                      "PENDING",
                      now,
                      {memberOf(caller, "ADMIN", "ACTIVE", now)}});
    return m_orgs.back();
}

void Organizations::finishRegistration(const std::string& orgId, bool approved) {
    std::lock_guard lock(m_mutex);
    Organization* org = findOrg(m_orgs, orgId);
    if (!org)
        return;
    if (approved)
        org->status = "ACTIVE";
    else
        m_orgs.erase(m_orgs.begin() + (org - m_orgs.data()));
}

std::optional<OrgMember> Organizations::addMember(const std::string& orgId, const Person& person,
                                                  const std::string& role,
                                                  const std::string& callerId, Failure& failure) {
    std::lock_guard lock(m_mutex);
    Organization* org = findOrg(m_orgs, orgId);
    if (!org) {
        failure = {404, "Байгууллага олдсонгүй"};
        return std::nullopt;
    }
    if (!isActiveAdminLocked(*org, callerId)) {
        failure = {403, "Зөвхөн админ гишүүн нэмнэ"};
        return std::nullopt;
    }
    if (std::any_of(org->members.begin(), org->members.end(),
                    [&](const OrgMember& m) { return m.nationalId == person.nationalId; })) {
        failure = {409, "Энэ хүн аль хэдийн гишүүн байна"};
        return std::nullopt;
    }
    if (membershipsLocked(person.nationalId) >= membershipLimit) {
        failure = {400, "Нэг хүн дээд тал нь 3 байгууллагад бүртгэлтэй байж болно"};
        return std::nullopt;
    }
    org->members.push_back(memberOf(person, role, "PENDING", isoTimestamp()));
    return org->members.back();
}

bool Organizations::removeMember(const std::string& orgId, const std::string& userId,
                                 const std::string& callerId, Failure& failure) {
    std::lock_guard lock(m_mutex);
    Organization* org = findOrg(m_orgs, orgId);
    if (!org) {
        failure = {404, "Байгууллага олдсонгүй"};
        return false;
    }
    if (!isActiveAdminLocked(*org, callerId)) {
        failure = {403, "Зөвхөн админ гишүүн хасна"};
        return false;
    }
    const auto it = std::find_if(org->members.begin(), org->members.end(),
                                 [&](const OrgMember& m) { return m.userId == userId; });
    if (it == org->members.end()) {
        failure = {404, "Гишүүн олдсонгүй"};
        return false;
    }
    const auto admins = std::count_if(org->members.begin(), org->members.end(), [](const auto& m) {
        return m.role == "ADMIN" && m.status == "ACTIVE";
    });
    if (it->role == "ADMIN" && it->status == "ACTIVE" && admins == 1) {
        failure = {400, "Сүүлийн админыг хасах боломжгүй"};
        return false;
    }
    org->members.erase(it);
    return true;
}

std::size_t Organizations::membershipsLocked(const std::string& nationalId) const {
    return static_cast<std::size_t>(
        std::count_if(m_orgs.begin(), m_orgs.end(), [&](const Organization& org) {
            return std::any_of(org.members.begin(), org.members.end(),
                               [&](const OrgMember& m) { return m.nationalId == nationalId; });
        }));
}

bool Organizations::isActiveAdminLocked(const Organization& org,
                                        const std::string& nationalId) const {
    return std::any_of(org.members.begin(), org.members.end(), [&](const OrgMember& m) {
        return m.nationalId == nationalId && m.role == "ADMIN" && m.status == "ACTIVE";
    });
}

} // namespace SelvorSim
