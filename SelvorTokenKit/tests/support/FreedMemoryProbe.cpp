#include "FreedMemoryProbe.hpp"

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

namespace SelvorTokenKit::Testing {
namespace {

constexpr std::size_t maxRecords = 4096;

struct Release {
    const void* address;
    std::size_t size;
    bool zeroed;
};

// Fixed storage: the probe must not allocate while it observes releases.
struct ProbeState {
    std::atomic<bool> armed{false};
    std::mutex mutex;
    std::uint8_t secret[256];
    std::size_t secretSize = 0;
    std::size_t leaks = 0;
    Release releases[maxRecords];
    std::size_t releaseCount = 0;
};

ProbeState& state() {
    static ProbeState probe;
    return probe;
}

void observe(void* block, std::size_t size) {
    ProbeState& probe = state();
    if (block == nullptr || !probe.armed.load()) {
        return;
    }
    std::lock_guard lock(probe.mutex);
    const auto* bytes = static_cast<const std::uint8_t*>(block);
    if (probe.secretSize > 0 && size >= probe.secretSize &&
        memmem(bytes, size, probe.secret, probe.secretSize) != nullptr) {
        ++probe.leaks;
    }
    if (probe.releaseCount < maxRecords) {
        const bool zeroed = std::all_of(bytes, bytes + size, [](std::uint8_t b) { return b == 0; });
        probe.releases[probe.releaseCount++] = Release{block, size, zeroed};
    }
}

} // namespace

FreedMemoryProbe::FreedMemoryProbe(const Bytes& secret) {
    ProbeState& probe = state();
    std::lock_guard lock(probe.mutex);
    probe.secretSize = std::min(secret.size(), sizeof probe.secret);
    std::copy_n(secret.begin(), probe.secretSize, probe.secret);
    probe.leaks = 0;
    probe.releaseCount = 0;
    probe.armed = true;
}

FreedMemoryProbe::~FreedMemoryProbe() {
    state().armed = false;
}

std::size_t FreedMemoryProbe::leaks() const {
    std::lock_guard lock(state().mutex);
    return state().leaks;
}

std::size_t FreedMemoryProbe::zeroedBlocksOfSize(std::size_t size) const {
    std::lock_guard lock(state().mutex);
    const ProbeState& probe = state();
    return static_cast<std::size_t>(
        std::count_if(probe.releases, probe.releases + probe.releaseCount,
                      [size](const Release& r) { return r.size == size && r.zeroed; }));
}

bool FreedMemoryProbe::released(const void* address) const {
    std::lock_guard lock(state().mutex);
    const ProbeState& probe = state();
    return std::any_of(probe.releases, probe.releases + probe.releaseCount,
                       [address](const Release& r) { return r.address == address; });
}

bool FreedMemoryProbe::releasedZeroed(const void* address) const {
    std::lock_guard lock(state().mutex);
    const ProbeState& probe = state();
    return std::any_of(probe.releases, probe.releases + probe.releaseCount,
                       [address](const Release& r) { return r.address == address && r.zeroed; });
}

} // namespace SelvorTokenKit::Testing

// The test process's global allocation functions, so that releases can be observed.
void* operator new(std::size_t size) {
    if (void* block = std::malloc(size == 0 ? 1 : size)) {
        return block;
    }
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept {
    SelvorTokenKit::Testing::observe(block, block ? malloc_usable_size(block) : 0);
    std::free(block);
}

void operator delete(void* block, std::size_t size) noexcept {
    SelvorTokenKit::Testing::observe(block, size);
    std::free(block);
}
