#include "UpdateFeed.hpp"

#include <array>
#include <utility>

namespace SelvorSim {
namespace {

constexpr std::array<std::pair<FeedVariant, const char*>, 4> variantNames{{
    {FeedVariant::Signed, "signed"},
    {FeedVariant::Tampered, "tampered"},
    {FeedVariant::Truncated, "truncated"},
    {FeedVariant::Malformed, "malformed"},
}};

} // namespace

std::optional<FeedVariant> feedVariantFromName(std::string_view name) {
    for (const auto& [variant, text] : variantNames) {
        if (name == text)
            return variant;
    }
    return std::nullopt;
}

const char* feedVariantName(FeedVariant variant) {
    for (const auto& [candidate, text] : variantNames) {
        if (candidate == variant)
            return text;
    }
    return "signed";
}

UpdateFeed::State UpdateFeed::current() const {
    std::lock_guard lock(m_mutex);
    return m_state;
}

UpdateFeed::State UpdateFeed::change(std::optional<std::string> version,
                                     std::optional<FeedVariant> variant) {
    std::lock_guard lock(m_mutex);
    if (version)
        m_state.version = std::move(*version);
    if (variant)
        m_state.variant = *variant;
    return m_state;
}

} // namespace SelvorSim
