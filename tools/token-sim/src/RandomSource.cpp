#include "TokenSim/RandomSource.hpp"

#include <openssl/rand.h>

#include <stdexcept>

namespace TokenSim {

Bytes SystemRandom::next(std::size_t count) {
    Bytes out(count);
    if (RAND_bytes(out.data(), static_cast<int>(count)) != 1) {
        throw std::runtime_error("random source failed");
    }
    return out;
}

Bytes ScriptedRandom::next(std::size_t count) {
    if (m_values.empty() || m_values.front().size() != count) {
        throw std::runtime_error("scripted random value missing or of the wrong length");
    }
    Bytes out = std::move(m_values.front());
    m_values.pop_front();
    return out;
}

} // namespace TokenSim
