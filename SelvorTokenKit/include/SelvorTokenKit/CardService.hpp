#pragma once

#include "SelvorTokenKit/Card.hpp"

#include <memory>
#include <string>
#include <vector>

namespace SelvorTokenKit {

// The smart-card service behind the token manager: lists readers and opens card sessions.
class CardService {
public:
    virtual ~CardService() = default;

    // Reader names in the service's order; empty when no service or no reader is available.
    virtual std::vector<std::string> readerNames() = 0;

    // Opens a card session on the named reader; the session ends when the card is destroyed.
    // Throws TokenError(cardNotFound) when the reader holds no usable card, PcscError otherwise.
    virtual std::unique_ptr<Card> connect(const std::string& readerName) = 0;
};

// The system's PC/SC service (pcscd). A missing service reads as "no readers".
std::shared_ptr<CardService> makePcscCardService();

} // namespace SelvorTokenKit
