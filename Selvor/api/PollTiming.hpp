#pragma once

#include <chrono>

namespace Selvor {

// Timing of the polling flows (sign-in, director confirmation, cloud signing). Production values
// by default; tests shrink them to milliseconds.
struct PollTiming {
    std::chrono::milliseconds pollInterval{std::chrono::seconds(2)};
    std::chrono::milliseconds deadline{std::chrono::seconds(300)};
    std::chrono::milliseconds successPause{std::chrono::seconds(1)};
    std::chrono::milliseconds countdownTick{std::chrono::seconds(1)};
};

} // namespace Selvor
