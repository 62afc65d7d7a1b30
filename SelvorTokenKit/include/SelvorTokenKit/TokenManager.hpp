#pragma once

#include "SelvorTokenKit/Bytes.hpp"
#include "SelvorTokenKit/Card.hpp"
#include "SelvorTokenKit/CardService.hpp"
#include "SelvorTokenKit/Log.hpp"

#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace SelvorTokenKit {

// The entry to the hardware: lists readers and runs a piece of work inside one card session.
// Keeps no state between calls; calls block (run them off the GUI thread).
class TokenManager {
public:
    // The process-wide instance over the system's PC/SC service, created on first use.
    static TokenManager& shared();

    explicit TokenManager(std::shared_ptr<CardService> service);

    [[nodiscard]] std::vector<std::string> getReaderNames() const;
    // True when any reader is listed, whether or not a card answers in it.
    [[nodiscard]] bool hasToken() const;

    // Opens a card session on reader readerIndex, runs body(card) and ends the session exactly
    // once, whether the body returns or throws. No service or an index out of range throws
    // TokenError(readerNotConnected) without touching a card.
    template <typename Body>
    auto withSession(int readerIndex, Body&& body) -> std::invoke_result_t<Body, Card&> {
        std::unique_ptr<Card> card = openSession(readerIndex);
        return std::forward<Body>(body)(*card);
    }

    // The ATR of the card in reader readerIndex; TokenError(cardNotFound) when there is none.
    Bytes getATR(int readerIndex);

private:
    std::unique_ptr<Card> openSession(int readerIndex);

    std::shared_ptr<CardService> m_service;
    Logger m_logger;
};

} // namespace SelvorTokenKit
