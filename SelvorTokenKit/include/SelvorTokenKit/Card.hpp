#pragma once

#include "SelvorTokenKit/CardTransmitter.hpp"

#include <string>

namespace SelvorTokenKit {

// A card in a reader, inside an open card session.
class Card : public CardTransmitter {
public:
    // The answer-to-reset of the card in the slot; empty when the slot reports none.
    virtual Bytes atr() = 0;
    virtual const std::string& readerName() const = 0;
};

} // namespace SelvorTokenKit
