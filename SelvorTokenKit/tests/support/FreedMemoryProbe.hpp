#pragma once

#include "SelvorTokenKit/Bytes.hpp"

#include <cstddef>
#include <cstdint>

namespace SelvorTokenKit::Testing {

// Watches every heap block the test process releases (operator delete) while it is alive and
// counts those that still hold the secret bytes at release: a secret wiped before release
// never shows up. Blocks released zeroed are counted too, by size.
class FreedMemoryProbe {
public:
    explicit FreedMemoryProbe(const Bytes& secret);
    ~FreedMemoryProbe();
    FreedMemoryProbe(const FreedMemoryProbe&) = delete;
    FreedMemoryProbe& operator=(const FreedMemoryProbe&) = delete;

    // Released blocks that contained the secret.
    [[nodiscard]] std::size_t leaks() const;
    // Released blocks of exactly this size whose every byte was zero.
    [[nodiscard]] std::size_t zeroedBlocksOfSize(std::size_t size) const;
    // Whether the block at this address was released, and if so whether it was all zeros.
    [[nodiscard]] bool releasedZeroed(const void* address) const;
    [[nodiscard]] bool released(const void* address) const;
};

} // namespace SelvorTokenKit::Testing
