#pragma once

#include "SelvorTokenKit/Bytes.hpp"
#include "SelvorTokenKit/Hex.hpp"

namespace SelvorTokenKit {

// Wipes a secret buffer when the scope ends, however it ends.
class WipeGuard {
public:
    explicit WipeGuard(Bytes& bytes) : m_bytes(bytes) {}
    ~WipeGuard() { wipeBytes(m_bytes); }
    WipeGuard(const WipeGuard&) = delete;
    WipeGuard& operator=(const WipeGuard&) = delete;

private:
    Bytes& m_bytes;
};

} // namespace SelvorTokenKit
