#pragma once

#include <cstdint>

namespace TokenSim::StatusWord {

inline constexpr std::uint16_t success = 0x9000;
inline constexpr std::uint16_t authenticationFailed = 0x6300;
inline constexpr std::uint16_t wrongLength = 0x6700;
inline constexpr std::uint16_t securityNotSatisfied = 0x6982;
inline constexpr std::uint16_t pinBlocked = 0x6983;
inline constexpr std::uint16_t conditionsNotSatisfied = 0x6985;
inline constexpr std::uint16_t noCurrentFile = 0x6986;
inline constexpr std::uint16_t secureMessagingDataWrong = 0x6988;
inline constexpr std::uint16_t wrongData = 0x6A80;
inline constexpr std::uint16_t fileNotFound = 0x6A82;
inline constexpr std::uint16_t notEnoughMemory = 0x6A84;
inline constexpr std::uint16_t wrongParameters = 0x6A86;
inline constexpr std::uint16_t referenceNotFound = 0x6A88;
inline constexpr std::uint16_t offsetOutsideFile = 0x6B00;
inline constexpr std::uint16_t insNotSupported = 0x6D00;
inline constexpr std::uint16_t claNotSupported = 0x6E00;
inline constexpr std::uint16_t technicalProblem = 0x6F00;

// 63 Cx: a wrong PIN with x tries left.
constexpr std::uint16_t retriesLeft(int tries) {
    return static_cast<std::uint16_t>(0x63C0 | (tries & 0x0F));
}

} // namespace TokenSim::StatusWord
