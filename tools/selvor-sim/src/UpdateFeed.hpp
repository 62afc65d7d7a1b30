#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace SelvorSim {

// How the feed and its package fail, if they do. Signed: all as announced. Tampered: the served
// file has one byte changed. Truncated: it is 1 KiB shorter than announced. Malformed: the feed
// itself is cut off mid-element.
enum class FeedVariant { Signed, Tampered, Truncated, Malformed };

// The variant of that name ("signed", "tampered", "truncated", "malformed"), or nothing.
std::optional<FeedVariant> feedVariantFromName(std::string_view name);
const char* feedVariantName(FeedVariant variant);

// What the update feed announces now; tests switch it while the simulator runs.
class UpdateFeed {
public:
    struct State {
        std::string version;
        FeedVariant variant = FeedVariant::Signed;
    };

    [[nodiscard]] State current() const;
    // Changes what is given, keeps the rest; returns the new state.
    State change(std::optional<std::string> version, std::optional<FeedVariant> variant);

private:
    mutable std::mutex m_mutex;
    State m_state;
};

} // namespace SelvorSim
