#pragma once

#include "Names.hpp"

#include <nlohmann/json.hpp>

#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace SelvorSim {

// A company in the state registry, found by its seven-digit register number.
struct Company {
    std::string regNumber;
    std::string name;
    std::string directorId;
    std::string phone;
};

struct OrgMember {
    std::string id;
    std::string userId;
    std::string role;
    std::string status;
    std::string userName;
    std::string nationalId;
    std::string createdAt;
};

struct Organization {
    std::string id;
    std::string regNumber;
    std::string name;
    std::string status;
    std::string createdAt;
    std::vector<OrgMember> members;
};

nlohmann::json organizationJson(const Organization& org);
nlohmann::json memberJson(const std::string& orgId, const OrgMember& member);

// The registered organisations and their members. Failures come back as the HTTP status and
// message the service answers with.
class Organizations {
public:
    struct Failure {
        int status;
        std::string message;
    };

    Organizations();

    [[nodiscard]] std::optional<Company> lookup(const std::string& regNumber) const;
    [[nodiscard]] std::vector<Organization> listFor(const std::string& nationalId) const;
    [[nodiscard]] std::optional<Organization> find(const std::string& orgId) const;
    // The organisation, when `nationalId` is one of its members.
    std::optional<Organization> visibleTo(const std::string& orgId, const std::string& nationalId,
                                          Failure& failure) const;

    // Records a registration awaiting the director; fails on a taken number or a full caller.
    std::optional<Organization> startRegistration(const Company& company, const Person& caller,
                                                  Failure& failure);
    void finishRegistration(const std::string& orgId, bool approved);

    std::optional<OrgMember> addMember(const std::string& orgId, const Person& person,
                                       const std::string& role, const std::string& callerId,
                                       Failure& failure);
    bool removeMember(const std::string& orgId, const std::string& userId,
                      const std::string& callerId, Failure& failure);

private:
    static constexpr std::size_t membershipLimit = 3;

    std::size_t membershipsLocked(const std::string& nationalId) const;
    bool isActiveAdminLocked(const Organization& org, const std::string& nationalId) const;

    mutable std::mutex m_mutex;
    std::vector<Company> m_registry;
    std::vector<Organization> m_orgs;
};

} // namespace SelvorSim
