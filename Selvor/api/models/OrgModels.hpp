#pragma once

#include "api/models/JsonCoding.hpp"

#include <map>
#include <optional>
#include <string>
#include <vector>

// Answers of the organisation requests.
namespace Selvor {

struct Organization {
    std::string id;
    std::string regNumber;
    std::string name;
    std::string status;
    std::string createdAt;

    static constexpr auto fields() {
        return std::tuple{
            field("id", &Organization::id), field("regNumber", &Organization::regNumber),
            field("name", &Organization::name), field("status", &Organization::status),
            field("createdAt", &Organization::createdAt)};
    }
};

struct OrgMember {
    std::string id;
    std::string orgId;
    std::string userId;
    std::string role;
    std::string status;
    std::string userName;
    std::string nationalId;
    std::string createdAt;

    static constexpr auto fields() {
        return std::tuple{field("id", &OrgMember::id),
                          field("orgId", &OrgMember::orgId),
                          field("userId", &OrgMember::userId),
                          field("role", &OrgMember::role),
                          field("status", &OrgMember::status),
                          field("userName", &OrgMember::userName),
                          field("nationalId", &OrgMember::nationalId),
                          field("createdAt", &OrgMember::createdAt)};
    }
};

struct OrgLookupInfo {
    std::string name;
    std::optional<std::string> ceo;
    std::optional<std::string> phone;

    static constexpr auto fields() {
        return std::tuple{field("name", &OrgLookupInfo::name), field("ceo", &OrgLookupInfo::ceo),
                          field("phone", &OrgLookupInfo::phone)};
    }
};

struct OrgListResponse {
    std::vector<Organization> organizations;

    static constexpr auto fields() {
        return std::tuple{field("organizations", &OrgListResponse::organizations)};
    }
};

struct OrgMembersResponse {
    std::vector<OrgMember> members;

    static constexpr auto fields() {
        return std::tuple{field("members", &OrgMembersResponse::members)};
    }
};

struct OrgLookupResponse {
    bool found = false;
    std::optional<OrgLookupInfo> organization;

    static constexpr auto fields() {
        return std::tuple{field("found", &OrgLookupResponse::found),
                          field("organization", &OrgLookupResponse::organization)};
    }
};

struct OrgRegisterResponse {
    std::string sessionId;
    std::string verificationCode;

    static constexpr auto fields() {
        return std::tuple{field("sessionId", &OrgRegisterResponse::sessionId),
                          field("verificationCode", &OrgRegisterResponse::verificationCode)};
    }
};

// The member-removal answer: an object whose values are all booleans; keys are kept as sent.
using OrgRemoveMemberResponse = std::map<std::string, bool>;

} // namespace Selvor
