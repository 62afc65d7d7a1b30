#pragma once

#include "TokenSim/CardCrypto.hpp"

#include <deque>

namespace TokenSim {

// Where the card's challenges come from.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual Bytes next(std::size_t count) = 0;
};

// The system's secure generator.
class SystemRandom : public RandomSource {
public:
    Bytes next(std::size_t count) override;
};

// Hands out prepared values in order, for replaying recorded sessions; throws when it runs dry
// or a value has the wrong length.
class ScriptedRandom : public RandomSource {
public:
    explicit ScriptedRandom(std::deque<Bytes> values) : m_values(std::move(values)) {}
    Bytes next(std::size_t count) override;

private:
    std::deque<Bytes> m_values;
};

} // namespace TokenSim
