#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace SelvorSim {

struct Person {
    std::string nationalId;
    std::string userId;
    std::string fullName;
    std::string email;
    std::string kycLevel;
    std::string status;
    std::string createdAt;
};

// Two Cyrillic capital letters (Mongolian Ө and Ү included) followed by eight digits.
bool isRegisterNumber(std::string_view text);

// Seven digits, the form of a company's state register number.
bool isCompanyNumber(std::string_view text);

// A stable 64-bit hash, so a register number always yields the same generated data.
std::uint64_t stableHash(std::string_view text);

// The people every simulator run knows, with hand-written names.
std::vector<Person> seededPeople();

// A plausible person for any well-formed register number; the penultimate digit gives the
// gender as on real register numbers (odd: male).
Person generatedPerson(std::string_view nationalId);

// A company name for a register number that is not in the seeded registry.
std::string generatedCompanyName(std::string_view regNumber);

} // namespace SelvorSim
